#include "binary_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "automation/error.h"
#include "file_system_object.h"
#include "page_fixture.h"

namespace fso {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

class BinaryFileTest : public ::testing::Test {
 protected:
  BinaryFileTest() { setenv("BALANCE_DRIVE_D", drive.path().c_str(), 1); }
  ~BinaryFileTest() override { unsetenv("BALANCE_DRIVE_D"); }

  std::string read(const std::string& name) const {
    std::ifstream in(drive.file(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(drive.path()),
                                                  std::filesystem::directory_iterator()));
  }

  test_support::TempDir drive;
};

TEST_F(BinaryFileTest, WritesExactlyTheBytes) {
  const std::string content("a\0b\r\n\xFF", 6);
  EXPECT_TRUE(writeBinaryFile(u"d:\\f.bin", bytesOf(content), Existing::Keep));
  EXPECT_EQ(read("f.bin"), content);
  EXPECT_TRUE(FileSystemObject().FileExists(u"d:\\f.bin"));
  EXPECT_TRUE(FileSystemObject().FileExists(u"D:/F.bin") == false);  // host names keep their case
}

TEST_F(BinaryFileTest, ReplacesOrKeepsAnExistingFile) {
  writeBinaryFile(u"d:\\f.txt", bytesOf("old"), Existing::Keep);
  EXPECT_FALSE(writeBinaryFile(u"d:\\f.txt", bytesOf("new"), Existing::Keep));
  EXPECT_EQ(read("f.txt"), "old");
  EXPECT_TRUE(writeBinaryFile(u"d:\\f.txt", bytesOf("newer"), Existing::Replace));
  EXPECT_EQ(read("f.txt"), "newer");
  EXPECT_EQ(entries(), 1u);  // no temporary file left over
}

TEST_F(BinaryFileTest, FoldersAreNotFiles) {
  std::filesystem::create_directory(drive.file("sub"));
  EXPECT_FALSE(FileSystemObject().FileExists(u"d:\\sub"));
  EXPECT_FALSE(FileSystemObject().FileExists(u"d:\\missing.txt"));
  EXPECT_THROW(writeBinaryFile(u"d:\\sub", bytesOf("x"), Existing::Replace),
               automation::AutomationError);
  EXPECT_THROW(writeBinaryFile(u"d:\\sub\\", {}, Existing::Keep), automation::AutomationError);
  EXPECT_TRUE(std::filesystem::is_empty(drive.file("sub")));
}

TEST_F(BinaryFileTest, AMissingFolderFailsWithoutLeavingAnything) {
  try {
    writeBinaryFile(u"d:\\nowhere\\f.txt", bytesOf("x"), Existing::Replace);
    FAIL() << "writing into a missing folder must fail";
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(automation::toUtf8(e.description()),
              "Cannot write the file d:\\nowhere\\f.txt: No such file or directory");
  }
  EXPECT_EQ(entries(), 0u);
}

}  // namespace
}  // namespace fso
