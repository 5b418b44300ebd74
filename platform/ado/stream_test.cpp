// ADODB.Stream as a download page drives it: a file of a mapped drive read back byte for byte,
// in parts or whole, and nothing reached outside the drives.
#include "ado/stream.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "ado/ado.h"
#include "automation/registry.h"
#include "page_fixture.h"

namespace ado {
namespace {

using automation::InvokeKind;

std::uint32_t errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const automation::AutomationError& e) {
    return static_cast<std::uint32_t>(e.code());
  }
  return 0;
}

class StreamTest : public ::testing::Test {
 protected:
  StreamTest() {
    std::filesystem::create_directories(root.file("d") / "upload");
    setenv("BALANCE_DRIVE_D", root.file("d").c_str(), 1);
    automation::ClassRegistry registry;
    registerClasses(registry);
    stream = registry.create(u"ADODB.Stream");
  }
  ~StreamTest() override { unsetenv("BALANCE_DRIVE_D"); }

  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(root.file("d") / name, std::ios::binary) << bytes;
  }
  Variant call(automation::TextView member, std::vector<Variant> args = {}) {
    return stream->invoke(member, InvokeKind::Method, std::move(args));
  }
  Variant get(automation::TextView member) {
    return stream->invoke(member, InvokeKind::PropertyGet);
  }
  void put(automation::TextView member, Variant value) {
    stream->invoke(member, InvokeKind::PropertyPut, {std::move(value)});
  }
  // Opens a binary stream on a page path.
  void load(automation::TextView path) {
    put(u"Type", Variant(Stream::adTypeBinary));
    call(u"Open");
    call(u"LoadFromFile", {Variant(path)});
  }

  test_support::TempDir root;
  automation::ObjectRef stream;
};

std::string text(const Variant& bytes) { return {bytes.bytes().begin(), bytes.bytes().end()}; }

TEST_F(StreamTest, ReadsAFileBackInPartsAndWhole) {
  const std::string content("a\0\r\n\xff\xfe z", 8);
  write("upload/f.bin", content);
  load(u"D:\\upload\\f.bin");
  EXPECT_EQ(automation::toInt32(get(u"Size")), 8);
  EXPECT_EQ(text(call(u"Read", {Variant(3)})), content.substr(0, 3));
  EXPECT_EQ(automation::toInt32(get(u"Position")), 3);
  EXPECT_FALSE(automation::toBool(get(u"EOS")));
  EXPECT_EQ(text(call(u"Read")), content.substr(3));
  EXPECT_TRUE(automation::toBool(get(u"EOS")));
  EXPECT_TRUE(call(u"Read").isNull());  // nothing left
  put(u"Position", Variant(0));
  EXPECT_EQ(text(call(u"Read", {Variant(100)})), content);
  call(u"Close");
  EXPECT_EQ(automation::toInt32(get(u"State")), 0);
  EXPECT_EQ(errorOf([&] { get(u"Size"); }), 0x800A0E78u);  // closed
}

TEST_F(StreamTest, ReadsOnlyBinaryStreamsOpenedEmpty) {
  write("a.txt", "abc");
  EXPECT_EQ(automation::toInt32(get(u"Type")), Stream::adTypeText);  // ADO's default
  EXPECT_EQ(errorOf([&] { call(u"LoadFromFile", {Variant(u"d:\\a.txt")}); }), 0x800A0E78u);
  call(u"Open");
  call(u"LoadFromFile", {Variant(u"d:\\a.txt")});
  EXPECT_EQ(errorOf([&] { call(u"Read"); }), 0x800A0C93u);  // a text stream
  put(u"Type", Variant(Stream::adTypeBinary));
  EXPECT_EQ(text(call(u"Read", {Variant(1)})), "a");
  EXPECT_EQ(errorOf([&] { put(u"Type", Variant(Stream::adTypeText)); }), 0x800A0C93u);
  EXPECT_EQ(errorOf([&] { call(u"Read", {Variant(-2)}); }), 0x800A0BB9u);
  EXPECT_EQ(errorOf([&] { put(u"Position", Variant(4)); }), 0x800A0BB9u);
  EXPECT_EQ(errorOf([&] { call(u"Open"); }), 0x800A0E79u);
  call(u"Close");
  EXPECT_EQ(errorOf([&] { call(u"Open", {Variant(u"http://example.com/a")}); }), 0x800A0CB3u);
}

TEST_F(StreamTest, NothingOutsideAMappedDriveIsRead) {
  write("inside.txt", "in");
  std::ofstream(root.file("outside.txt")) << "secret";
  std::filesystem::create_directory_symlink(root.path(), root.file("d") / "link");
  std::filesystem::create_symlink(root.file("outside.txt"), root.file("d") / "file-link");
  put(u"Type", Variant(Stream::adTypeBinary));
  call(u"Open");
  for (const automation::Text& path : std::vector<automation::Text>{
           u"d:\\link\\outside.txt", u"d:\\file-link", u"..\\outside.txt", u"outside.txt",
           u"q:\\outside.txt", u"d:\\upload", u"d:\\none.txt",
           automation::fromUtf8(root.file("outside.txt").string())}) {
    EXPECT_EQ(errorOf([&] { call(u"LoadFromFile", {Variant(path)}); }), 0x800A0BBAu)
        << automation::toUtf8(path);
  }
  // ".." stops at the drive's root, so this is the drive's own file.
  call(u"LoadFromFile", {Variant(u"d:\\..\\..\\inside.txt")});
  EXPECT_EQ(text(call(u"Read")), "in");
}

}  // namespace
}  // namespace ado
