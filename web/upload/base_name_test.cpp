#include "base_name.h"

#include <gtest/gtest.h>

namespace upload {
namespace {

TEST(BaseNameTest, PlainNamesKeepTheirLastComponent) {
  EXPECT_EQ(baseName(u"C:\\docs\\a.txt"), u"a.txt");
  EXPECT_EQ(baseName(u"a.txt"), u"a.txt");
  EXPECT_EQ(baseName(u"c:a.txt"), u"a.txt");
  EXPECT_EQ(baseName(u"C:\\docs\\"), u"");
  EXPECT_EQ(baseName(u"中文.doc"), u"中文.doc");
}

TEST(BaseNameTest, NamesThatWouldLeaveTheFolderAreCutOrRefused) {
  EXPECT_EQ(baseName(u"../../etc/x"), u"x");
  EXPECT_EQ(baseName(u"a/../../b"), u"b");
  EXPECT_EQ(baseName(u".."), std::nullopt);
  EXPECT_EQ(baseName(u"a\\.."), std::nullopt);
  EXPECT_EQ(baseName(u"."), std::nullopt);
  EXPECT_EQ(baseName(automation::Text(u"a\0b", 3)), std::nullopt);
  EXPECT_EQ(baseName(u"a\rb"), std::nullopt);
  EXPECT_EQ(baseName(u"...x"), u"...x");
}

}  // namespace
}  // namespace upload
