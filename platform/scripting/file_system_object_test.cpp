#include "scripting/file_system_object.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "page_fixture.h"
#include "scripting/text_stream.h"

namespace scripting {
namespace {

using automation::AutomationError;
using automation::InvokeKind;
using automation::toText;

std::uint32_t errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return static_cast<std::uint32_t>(e.code());
  }
  return 0;
}

class FileSystemObjectTest : public ::testing::Test {
 protected:
  FileSystemObjectTest() {
    std::filesystem::create_directory(root.file("d"));
    setenv("BALANCE_DRIVE_D", root.file("d").c_str(), 1);
  }
  ~FileSystemObjectTest() override { unsetenv("BALANCE_DRIVE_D"); }

  std::string read(const std::string& name) const {
    std::ifstream in(root.file("d") / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(root.file("d") / name, std::ios::binary) << bytes;
  }
  Variant call(automation::Dispatch& d, automation::TextView member,
               std::vector<Variant> args = {}) {
    return d.invoke(member, InvokeKind::Method, std::move(args));
  }

  test_support::TempDir root;
  std::shared_ptr<FileSystemObject> fso = std::make_shared<FileSystemObject>(936);
};

TEST_F(FileSystemObjectTest, WritesAndReadsTextFilesLineByLine) {
  Variant out = call(*fso, u"CreateTextFile", {Variant(u"d:\\notes.txt")});
  call(*out.object(), u"WriteLine", {Variant(u"第一行")});
  call(*out.object(), u"Write", {Variant(u"two")});
  call(*out.object(), u"Close");
  EXPECT_EQ(read("notes.txt"), "\xB5\xDA\xD2\xBB\xD0\xD0\r\ntwo");  // ANSI: code page 936

  Variant in = call(*fso, u"OpenTextFile", {Variant(u"D:/notes.txt")});
  auto& s = *in.object();
  EXPECT_EQ(toText(call(s, u"ReadLine")), u"第一行");
  EXPECT_FALSE(automation::toBool(s.invoke(u"AtEndOfStream", InvokeKind::PropertyGet)));
  EXPECT_EQ(toText(call(s, u"ReadLine")), u"two");
  EXPECT_TRUE(automation::toBool(s.invoke(u"AtEndOfStream", InvokeKind::PropertyGet)));
  EXPECT_EQ(errorOf([&] { call(s, u"ReadLine"); }), 0x800A003Eu);
  EXPECT_EQ(errorOf([&] { call(s, u"Write", {Variant(u"x")}); }), 0x800A0036u);
}

TEST_F(FileSystemObjectTest, AppendsAndReadsUnicodeAndMarkedFiles) {
  write("u8.txt", "\xEF\xBB\xBFhé");
  EXPECT_EQ(
      toText(call(*call(*fso, u"OpenTextFile", {Variant(u"d:\\u8.txt")}).object(), u"ReadAll")),
      u"hé");
  Variant w = call(*fso, u"OpenTextFile",
                   {Variant(u"d:\\w.txt"), Variant(ForAppending), Variant(true), Variant(-1)});
  call(*w.object(), u"Write", {Variant(u"a")});
  call(*w.object(), u"Close");
  w = call(*fso, u"OpenTextFile", {Variant(u"d:\\w.txt"), Variant(ForAppending)});
  EXPECT_EQ(read("w.txt"), std::string("\xFF\xFE"
                                       "a\0",
                                       4));
  EXPECT_EQ(
      toText(call(*call(*fso, u"OpenTextFile", {Variant(u"d:\\w.txt")}).object(), u"ReadAll")),
      u"a");
  EXPECT_EQ(errorOf([&] { call(*fso, u"OpenTextFile", {Variant(u"d:\\none.txt")}); }), 0x800A0035u);
  EXPECT_EQ(errorOf([&] {
              call(*fso, u"CreateTextFile", {Variant(u"d:\\w.txt"), Variant(false)});
            }),
            0x800A003Au);
}

TEST_F(FileSystemObjectTest, FoldersAndExistence) {
  call(*fso, u"CreateFolder", {Variant(u"d:\\docs")});
  write("docs/b.txt", "b");
  write("docs/A.txt", "a");
  EXPECT_TRUE(fso->FolderExists(u"d:\\docs\\"));
  EXPECT_TRUE(fso->FileExists(u"d:\\docs\\a.txt") == false);  // names keep their case
  EXPECT_TRUE(fso->FileExists(u"d:\\docs\\A.txt"));
  EXPECT_FALSE(fso->FolderExists(u"d:\\docs\\A.txt"));
  Variant folder = call(*fso, u"GetFolder", {Variant(u"d:\\docs")});
  Variant files = folder.object()->invoke(u"Files", InvokeKind::PropertyGet);
  EXPECT_EQ(automation::toInt32(files.object()->invoke(u"Count", InvokeKind::PropertyGet)), 2);
  auto each = files.object()->enumerate();
  ASSERT_TRUE(each);
  EXPECT_EQ(toText((*each)[0].object()->invoke(u"Path", InvokeKind::PropertyGet)),
            u"D:\\docs\\A.txt");
  EXPECT_EQ(errorOf([&] { call(*fso, u"CreateFolder", {Variant(u"d:\\docs")}); }), 0x800A003Au);
  call(*fso, u"CreateFolder", {Variant(u"d:\\docs\\sub\\")});
  EXPECT_TRUE(std::filesystem::is_directory(root.file("d") / "docs" / "sub"));
  call(*fso, u"DeleteFolder", {Variant(u"d:\\docs")});
  EXPECT_FALSE(fso->FolderExists(u"d:\\docs"));
  EXPECT_EQ(errorOf([&] { call(*fso, u"DeleteFolder", {Variant(u"d:\\")}); }), 0x800A0046u);
}

TEST_F(FileSystemObjectTest, NothingOutsideAMappedDriveIsReached) {
  write("inside.txt", "x");
  std::ofstream(root.file("outside.txt")) << "secret";
  std::filesystem::create_directory_symlink(root.path(), root.file("d") / "link");
  // ".." stops at the drive's root; a link out of it and paths without a drive are refused.
  EXPECT_TRUE(fso->FileExists(u"d:\\..\\..\\inside.txt"));
  EXPECT_FALSE(fso->FileExists(u"d:\\link\\outside.txt"));
  EXPECT_FALSE(fso->FileExists((automation::fromUtf8(root.file("outside.txt").string()))));
  EXPECT_FALSE(fso->FileExists(u"..\\outside.txt"));
  EXPECT_EQ(errorOf([&] { call(*fso, u"OpenTextFile", {Variant(u"d:\\link\\outside.txt")}); }),
            0x800A004Cu);
  EXPECT_EQ(errorOf([&] { call(*fso, u"CreateTextFile", {Variant(u"/tmp/x.txt")}); }), 0x800A004Cu);
  EXPECT_EQ(errorOf([&] { call(*fso, u"GetFolder", {Variant(u"q:\\")}); }), 0x800A004Cu);
}

TEST(FileSystemObjectPaths, SplitPathsAsTheRuntimeDoes) {
  EXPECT_EQ(FileSystemObject::BuildPath(u"d:\\a", u"b.txt"), u"d:\\a\\b.txt");
  EXPECT_EQ(FileSystemObject::BuildPath(u"d:\\a\\", u"b.txt"), u"d:\\a\\b.txt");
  EXPECT_EQ(FileSystemObject::GetFileName(u"d:\\a\\b.tar.gz"), u"b.tar.gz");
  EXPECT_EQ(FileSystemObject::GetBaseName(u"d:\\a\\b.tar.gz"), u"b.tar");
  EXPECT_EQ(FileSystemObject::GetExtensionName(u"d:\\a\\b.tar.gz"), u"gz");
  EXPECT_EQ(FileSystemObject::GetParentFolderName(u"d:\\a\\b.txt"), u"d:\\a");
  EXPECT_EQ(FileSystemObject::GetParentFolderName(u"d:\\a"), u"d:\\");
  EXPECT_EQ(FileSystemObject::GetParentFolderName(u"d:\\"), u"");
  EXPECT_EQ(FileSystemObject::GetFileName(u"d:\\a\\"), u"a");
}

}  // namespace
}  // namespace scripting
