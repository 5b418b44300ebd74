#include "automation/text.h"

#include <gtest/gtest.h>

namespace automation {
namespace {

TEST(Text, TrimsSpacesOnly) {
  EXPECT_EQ(trim(u"  a b  "), u"a b");
  EXPECT_EQ(trim(u"\ta\t"), u"\ta\t");
  EXPECT_EQ(trim(u"\u3000a"), u"\u3000a");
  EXPECT_EQ(trim(u"   "), u"");
}

TEST(Text, FindsWithOneBasedPositions) {
  EXPECT_EQ(find(u"select id from t", u"from"), 11);
  EXPECT_EQ(find(u"select id from t", u"where"), 0);
  EXPECT_EQ(find(u"abcabc", u"bc", 3), 5);
  EXPECT_EQ(find(u"abc", u"c", 9), 0);
}

TEST(Text, SplitsKeepingEmptyPieces) {
  EXPECT_EQ(split(u"a,,b,", u","), (std::vector<Text>{u"a", u"", u"b", u""}));
  EXPECT_TRUE(split(u"", u",").empty());
  EXPECT_EQ(split(u"a", u","), (std::vector<Text>{u"a"}));
  EXPECT_EQ(split(u"where a=1 and b=2", u" and "), (std::vector<Text>{u"where a=1", u"b=2"}));
}

TEST(Text, ReplacesAndCutsLikeTheRuntime) {
  EXPECT_EQ(replaceAll(u"it's Tom's", u"'", u"`"), u"it`s Tom`s");
  EXPECT_EQ(mid(u"select id,name from t", 8, 7), u"id,name");
  EXPECT_EQ(mid(u"abc", 5), u"");
  EXPECT_EQ(right(u"abcdef", 2), u"ef");
  EXPECT_EQ(lower(u"SELECT ID FROM Person"), u"select id from person");
}

// What iconv gives, without iconv: one U+FFFD per byte that starts no valid sequence, "?" for
// an unpaired surrogate.
TEST(Text, ConvertsUtf8AsIconvDoes) {
  EXPECT_EQ(fromUtf8("a\xF0\x9F\x98\x80z"), u"a\U0001F600z");
  EXPECT_EQ(fromUtf8("\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80|\xE4\xB8"),
            u"\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD");
  EXPECT_EQ(toUtf8(u"\U0001F600\u00e9"), "\xF0\x9F\x98\x80\xC3\xA9");
  EXPECT_EQ(toUtf8(Text{u'a', char16_t{0xD800}, u'b', char16_t{0xDC00}}), "a?b?");
  EXPECT_EQ(decodeCodePage(toUtf8(u"编号"), 65001), u"编号");
}

TEST(Text, ConvertsCodePages) {
  EXPECT_EQ(fromUtf8("编号"), u"编号");
  EXPECT_EQ(toUtf8(u"姓名"), "姓名");
  EXPECT_EQ(decodeCodePage("\xD6\xD0\xCE\xC4", 936), u"中文");
  EXPECT_EQ(encodeCodePage(u"中文", 936), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(decodeCodePage("a\xD6", 936), u"a\uFFFD");  // a lead byte without its trail
}

}  // namespace
}  // namespace automation
