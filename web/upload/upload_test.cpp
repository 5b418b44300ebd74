// Upload against bodies as browsers post them, with drive d mapped onto a temporary folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "multipart_body.h"
#include "page_fixture.h"
#include "upload/system_init.h"

namespace upload {
namespace {

using automation::Text;
using testing::MultipartBody;

const Text kOk = u"OK";
const Text kExists =
    u"对不起，目标文件在上载的目录中已经存在，如果需要覆盖，请将[overwrite]属性定义为[2]。(Sorry,"
    u"the file which you want to upload has already exists.if you want to overwrite it ,please "
    u"define the property of [overwrite] to [2])";
const Text kEmptyContent = u"警告：一文件的内容为空。(warning: Content of a file is empty.)";
const Text kTooMany =
    u"对不起，文件总数不得超过255(Sorry ,the count of the files must not be over 255.)";
const Text kNothingSelected =
    u"对不起，您没有选择文件上传.(Sorry,you have not selected a file to upload.)";
const Text kPath = u"对不起，路径必须为绝对路径.(Sorry,the path must be a absolute path)";

Text tooLarge(const Text& file) {
  return u"对不起，文件名为[" + file + u"] 的文件大小超出了范围。(Sorry ,the size of file [" +
         file + u"] is beyond.)";
}

Text descriptionOf(void (*raise)()) {
  try {
    raise();
  } catch (const automation::AutomationError& e) {
    return e.description();
  }
  return u"";
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

MultipartBody fields(int n) {
  MultipartBody body;
  for (int i = 0; i < n; ++i) body.field("f" + std::to_string(i), "v");
  return body;
}

class UploadTest : public ::testing::Test {
 protected:
  UploadTest() {
    setenv("BALANCE_DRIVE_D", drive.path().c_str(), 1);
    std::filesystem::create_directory(folder());
  }
  ~UploadTest() override { unsetenv("BALANCE_DRIVE_D"); }

  std::filesystem::path folder() const { return drive.file("upload"); }

  Text post(const MultipartBody& body, const Text& path = u"d:\\upload\\",
            std::int16_t overwrite = 0, std::int32_t maxSize = 0) {
    return post(body.bytes(), path, overwrite, maxSize);
  }
  Text post(const std::string& body, const Text& path = u"d:\\upload\\", std::int16_t overwrite = 0,
            std::int32_t maxSize = 0) {
    page = test_support::makePage();
    page.request->setBody(body, "multipart/form-data; boundary=x");
    receiver.OnStartPage(page.contextVariant());
    return receiver.Upload(maxSize, path, overwrite);
  }

  // Regular files anywhere under the mapped drive.
  std::vector<std::filesystem::path> filesOnDrive() const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(drive.path())) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    return files;
  }

  test_support::TempDir drive;
  test_support::Page page;
  SystemInit receiver;
};

TEST_F(UploadTest, FieldsGiveTheirTextAndByteSize) {
  EXPECT_EQ(post(MultipartBody().field("a", "abc").field("cn", "\xD6\xD0\xCE\xC4")), kOk);
  EXPECT_EQ(receiver.count(), 2);
  EXPECT_EQ(receiver.Form(u"a").text(), u"abc");
  EXPECT_EQ(receiver.Size(u"a"), 3);
  EXPECT_EQ(receiver.Form(u"cn").text(), u"中文");
  EXPECT_EQ(receiver.Size(u"cn"), 4);
  EXPECT_EQ(receiver.FileName(u"cn"), u"");
}

TEST_F(UploadTest, CountsDecideBeforeAnyPart) {
  EXPECT_EQ(post(std::string("--x\r\nno parts here\r\n--x--\r\n")), kNothingSelected);
  EXPECT_EQ(receiver.count(), 0);
  EXPECT_EQ(post(std::string()), kNothingSelected);

  EXPECT_EQ(post(fields(255)), kOk);
  EXPECT_EQ(receiver.Form(u"f254").text(), u"v");

  EXPECT_EQ(post(fields(256)), kTooMany);
  EXPECT_EQ(receiver.count(), 256);
}

TEST_F(UploadTest, EarlyStopKeepsTheOldTablesBehindTheNewCount) {
  ASSERT_EQ(post(MultipartBody().field("a", "old").field("b", "2")), kOk);
  EXPECT_EQ(post(fields(256)), kTooMany);
  EXPECT_EQ(receiver.Form(u"a").text(), u"old");  // found before the end of the old tables
  try {
    receiver.Size(u"f0");
    FAIL() << "a lookup past the tables must fail";
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(e.code(), automation::hr::kSubscriptOutOfRange);
  }

  SystemInit fresh;
  fresh.OnStartPage(page.contextVariant());
  page.request->setBody(fields(256).bytes(), "multipart/form-data");
  EXPECT_EQ(fresh.Upload(), kTooMany);
  EXPECT_THROW(fresh.FileName(u"f0"), automation::AutomationError);
}

TEST_F(UploadTest, FilesAreWrittenUnderTheirBaseNames) {
  const auto body = MultipartBody()
                        .field("title", "t")
                        .file("doc", "C:\\docs\\a.txt", "first\r\nline")
                        .file("plain", "b.txt", "second", "text/plain");
  EXPECT_EQ(post(body), kOk);
  EXPECT_EQ(receiver.FileName(u"doc"), u"a.txt");
  EXPECT_EQ(receiver.FileName(u"plain"), u"b.txt");
  EXPECT_EQ(readFile(folder() / "a.txt"), "first\r\nline");
  EXPECT_EQ(readFile(folder() / "b.txt"), "second");
  EXPECT_EQ(receiver.Size(u"doc"), 11);
  const auto& bytes = receiver.Form(u"plain").bytes();
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second");
}

TEST_F(UploadTest, ALargeFileAmongFields) {
  const std::string large(50000, '\xD6');
  EXPECT_EQ(post(MultipartBody().field("a", "1").file("f", "f.bin", large).field("b", "2"),
                 u"d:\\upload\\", 0, 1 << 20),
            kOk);
  const auto& bytes = receiver.Form(u"f").bytes();
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), large);
  EXPECT_EQ(readFile(folder() / "f.bin"), large);
  EXPECT_EQ(receiver.Form(u"b").text(), u"2");
}

TEST_F(UploadTest, OneByteFileIsStoredWithAWarning) {
  EXPECT_EQ(post(MultipartBody().file("f", "one.txt", "x")), kEmptyContent);
  EXPECT_EQ(readFile(folder() / "one.txt"), "x");
  EXPECT_EQ(receiver.Size(u"f"), 1);
}

TEST_F(UploadTest, TooLargeFileIsWrittenEmptyAndKeepsItsSize) {
  EXPECT_EQ(
      post(MultipartBody().file("f", "big.bin", std::string(20, 'b')), u"d:\\upload\\", 0, 10),
      tooLarge(u"big.bin"));
  EXPECT_TRUE(std::filesystem::exists(folder() / "big.bin"));
  EXPECT_EQ(readFile(folder() / "big.bin"), "");
  EXPECT_EQ(receiver.Size(u"f"), 20);
  EXPECT_TRUE(receiver.Form(u"f").bytes().empty());

  writeFile(folder() / "big.bin", "kept");
  EXPECT_EQ(
      post(MultipartBody().file("f", "big.bin", std::string(20, 'b')), u"d:\\upload\\", 2, 10),
      tooLarge(u"big.bin"));
  EXPECT_EQ(readFile(folder() / "big.bin"), "kept");
}

TEST_F(UploadTest, TheLastNotedProblemIsReported) {
  const auto body = [](const std::string& first, const std::string& second) {
    return MultipartBody().file("a", "a.bin", first).file("b", "b.bin", second);
  };
  EXPECT_EQ(post(body(std::string(20, 'a'), "1"), u"d:\\upload\\", 2, 10), kEmptyContent);
  EXPECT_EQ(post(body("1", std::string(20, 'a')), u"d:\\upload\\", 2, 10), tooLarge(u"b.bin"));
  // The path problem, noted first, loses to any part's problem.
  receiver.UpToFile(2);
  EXPECT_EQ(post(body("1", "22"), u"upload\\", 2), kEmptyContent);
}

TEST_F(UploadTest, OverwriteModes) {
  writeFile(folder() / "b.txt", "old");
  const auto body = MultipartBody().file("a", "a.txt", "new a").file("b", "b.txt", "new b");
  EXPECT_EQ(post(body, u"d:\\upload\\", 1), kExists);
  EXPECT_EQ(readFile(folder() / "a.txt"), "new a");  // earlier parts stay written
  EXPECT_EQ(readFile(folder() / "b.txt"), "old");
  EXPECT_THROW(receiver.FileName(u"a"), automation::AutomationError);  // tables not replaced

  EXPECT_EQ(post(body, u"d:\\upload\\", 2), kOk);
  EXPECT_EQ(readFile(folder() / "b.txt"), "new b");
  EXPECT_THAT(filesOnDrive(), ::testing::SizeIs(2));  // no temporary files left behind
}

TEST_F(UploadTest, MemoryOnlyWritesNothing) {
  writeFile(folder() / "a.txt", "old");
  receiver.UpToFile(2);
  EXPECT_EQ(
      post(MultipartBody().file("a", "a.txt", "new").file("c", "c.txt", "cc"), u"d:\\upload\\", 1),
      kOk);
  EXPECT_EQ(readFile(folder() / "a.txt"), "old");
  EXPECT_FALSE(std::filesystem::exists(folder() / "c.txt"));
  const auto& bytes = receiver.Form(u"c").bytes();
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "cc");
}

TEST_F(UploadTest, BareFolderIsRelativeToTheWorkingDirectory) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(drive.path());
  const Text result = post(MultipartBody().file("a", "a.txt", "rel"), u"upload");
  std::filesystem::current_path(previous);
  EXPECT_EQ(result, kPath);
  EXPECT_EQ(readFile(folder() / "a.txt"), "rel");
}

TEST_F(UploadTest, DriveFolderWithoutFinalBackslash) {
  EXPECT_EQ(post(MultipartBody().file("a", "a.txt", "aa").file("b", "b.txt", "bb"), u"d:\\upload"),
            kOk);
  EXPECT_EQ(readFile(folder() / "a.txt"), "aa");
  EXPECT_EQ(readFile(folder() / "b.txt"), "bb");
}

TEST_F(UploadTest, EmptyFileInput) {
  const auto body = MultipartBody().field("t", "x").file("file1", "", "");
  const Text written = post(body);
  EXPECT_THAT(automation::toUtf8(written),
              ::testing::StartsWith("Cannot write the file d:\\upload\\"));
  EXPECT_TRUE(filesOnDrive().empty());

  // In memory only, the empty content noted after the empty file name is what is reported.
  receiver.UpToFile(2);
  EXPECT_EQ(post(body), kEmptyContent);
  EXPECT_EQ(receiver.FileName(u"file1"), u"");
}

TEST_F(UploadTest, EmptyFileNameIsReportedWithTheFieldName) {
  receiver.UpToFile(2);
  EXPECT_EQ(post(MultipartBody().file("file1", "", "content")),
            u"对不起，[file1]表单项中的文件名为空。(Sorry,item [file1] is empty.)");
}

TEST_F(UploadTest, NameMarkerInsideFileContentEndsInAFailure) {
  const auto body = MultipartBody().file("a", "a.txt", "x; name=\"y").file("b", "b.txt", "bb");
  EXPECT_EQ(post(body), descriptionOf(automation::throwInvalidProcedureCall));
  EXPECT_EQ(receiver.count(), 3);
  EXPECT_EQ(readFile(folder() / "a.txt"), "x; name=\"y");
  EXPECT_EQ(readFile(folder() / "b.txt"), "bb");
  EXPECT_THROW(receiver.Form(u"a"), automation::AutomationError);
}

TEST_F(UploadTest, NewFileNameSendsEveryFileToOneName) {
  receiver.NewFileName(u"same.bin");
  EXPECT_EQ(post(MultipartBody().file("a", "a.txt", "first").file("b", "b.txt", "second"),
                 u"d:\\upload\\", 2),
            kOk);
  EXPECT_EQ(readFile(folder() / "same.bin"), "second");
  EXPECT_EQ(receiver.FileName(u"a"), u"a.txt");
  EXPECT_THAT(filesOnDrive(), ::testing::SizeIs(1));
}

TEST_F(UploadTest, SettersOverrideTheArguments) {
  receiver.MaxSize(-1);
  EXPECT_EQ(post(MultipartBody().file("a", "a.txt", "aa")), tooLarge(u"a.txt"));

  SystemInit other;
  other.Path(u"upload");  // no drive letter: stored as "", the argument decides
  other.OverWrite(3);     // stored as 0: the argument decides
  other.UpToFile(0);      // stored as 1: files are written
  writeFile(folder() / "a.txt", "old");
  page = test_support::makePage();
  page.request->setBody(MultipartBody().file("a", "a.txt", "new").bytes(), "multipart/form-data");
  other.OnStartPage(page.contextVariant());
  EXPECT_EQ(other.Upload(0, u"d:\\upload\\", 2), kOk);
  EXPECT_EQ(readFile(folder() / "a.txt"), "new");

  other.Path(u"d:\\upload\\sub");
  other.OverWrite(1);
  std::filesystem::create_directory(folder() / "sub");
  writeFile(folder() / "sub" / "a.txt", "old");
  page.request->setBody(MultipartBody().file("a", "a.txt", "sub").bytes(), "multipart/form-data");
  EXPECT_EQ(other.Upload(0, u"d:\\upload\\", 2), kExists);
  EXPECT_EQ(readFile(folder() / "sub" / "a.txt"), "old");
}

TEST_F(UploadTest, HostileFileNamesStayInTheFolder) {
  const std::string names[] = {"../../etc/x",           "a/../../b", "..",   ".",     "..\\..\\c",
                               std::string("n\0ul", 4), "c\rr",      "d:..", "/abs/e"};
  for (const auto& name : names) {
    post(MultipartBody().file("f", name, "payload"), u"d:\\upload\\", 2);
  }
  for (const auto& file : filesOnDrive()) {
    EXPECT_EQ(file.parent_path(), folder()) << file;
  }
  EXPECT_EQ(readFile(folder() / "x"), "payload");
  EXPECT_EQ(readFile(folder() / "b"), "payload");
  EXPECT_EQ(readFile(folder() / "e"), "payload");
}

// The page writes the answer: names a form posts stand in it as text, never as markup.
TEST_F(UploadTest, MarkupInPostedNamesIsTextInTheAnswer) {
  receiver.UpToFile(2);
  EXPECT_EQ(post(MultipartBody().file("f", "<img src=x onerror=alert(1)>.png", "1234"),
                 u"d:\\upload\\", 0, 2),
            tooLarge(u"&lt;img src=x onerror=alert(1)>.png"));
  EXPECT_EQ(receiver.FileName(u"f"), u"<img src=x onerror=alert(1)>.png");  // the name itself
  EXPECT_EQ(post(MultipartBody().file("<script>alert(1)</script>", "", "content")),
            u"对不起，[&lt;script>alert(1)&lt;/script>]表单项中的文件名为空。(Sorry,item "
            u"[&lt;script>alert(1)&lt;/script>] is empty.)");

  // A failure's description names the file it could not write.
  SystemInit writing;
  std::filesystem::create_directory(folder() / "<svg onload=alert(1)>");
  page = test_support::makePage();
  page.request->setBody(MultipartBody().file("f", "<svg onload=alert(1)>", "content").bytes(),
                        "multipart/form-data");
  writing.OnStartPage(page.contextVariant());
  const Text failure = writing.Upload(0, u"d:\\upload\\", 2);
  EXPECT_NE(failure.find(u"&lt;svg onload=alert(1)>"), Text::npos) << automation::toUtf8(failure);
  EXPECT_EQ(failure.find(u"<svg"), Text::npos);
}

TEST_F(UploadTest, MalformedBodiesEndInAText) {
  const std::string whole =
      MultipartBody().field("a", "1").file("f", "f.txt", "content").field("b", "2").bytes();
  const Text failure = descriptionOf(automation::throwInvalidProcedureCall);
  receiver.UpToFile(2);
  // Every cut of the body either fails or reads the complete parts before the cut correctly.
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const Text result = post(whole.substr(0, n));
    if (result == kNothingSelected || result == failure) continue;
    ASSERT_EQ(result, kOk) << n;
    EXPECT_EQ(receiver.Form(u"a").text(), u"1");
    if (receiver.count() >= 2) {
      EXPECT_EQ(receiver.FileName(u"f"), u"f.txt");
      EXPECT_EQ(receiver.Size(u"f"), 7);
    }
    if (receiver.count() == 3) {
      EXPECT_EQ(receiver.Form(u"b").text(), u"2");
    }
  }
  // A file part whose headers lack the blank line.
  EXPECT_NE(post(std::string("--x\r\n; name=\"f\"; filename=\"a\"\r\n--x--\r\n")), kOk);
  // A body that starts with CR LF has an empty delimiter.
  EXPECT_NE(post(std::string("\r\n; name=\"a\"\r\n\r\nv\r\n")), kOk);
}

TEST_F(UploadTest, BeforePageStartTheFailureIsReturned) {
  SystemInit unbound;
  EXPECT_EQ(unbound.Upload(), descriptionOf(automation::throwObjectNotSet));
  EXPECT_EQ(unbound.count(), 0);
}

}  // namespace
}  // namespace upload
