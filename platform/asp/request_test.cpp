#include "asp/request.h"

#include <gtest/gtest.h>

namespace asp {
namespace {

TEST(Request, DecodesQueryStringsInTheirCodePage) {
  Request utf8;
  utf8.setQueryString("name=%E5%BC%A0%E4%B8%89&x=a+b%21&empty=");
  EXPECT_EQ(utf8.QueryString(u"name").text(), u"张三");
  EXPECT_EQ(utf8.QueryString(u"X").text(), u"a b!");
  EXPECT_EQ(utf8.QueryString(u"empty").text(), u"");
  EXPECT_TRUE(utf8.QueryString(u"absent").isEmpty());
  EXPECT_EQ(utf8.QueryStringAll(), u"name=%E5%BC%A0%E4%B8%89&x=a+b%21&empty=");

  Request gbk;
  gbk.setCodePage(936);
  gbk.setQueryString("name=%D5%C5%C8%FD");
  EXPECT_EQ(gbk.QueryString(u"name").text(), u"张三");
}

TEST(Request, JoinsRepeatedKeysAndReadsTheFormFirstInItem) {
  Request r;
  r.setQueryString("choseItem=id&page=2");
  r.setBody("choseItem=name&CHOSEITEM=dept&action=list2", "application/x-www-form-urlencoded");
  EXPECT_EQ(r.Form(u"choseItem").text(), u"name, dept");
  EXPECT_EQ(r.QueryString(u"choseitem").text(), u"id");
  EXPECT_EQ(r.Item(u"choseItem").text(), u"id");  // QueryString comes first
  EXPECT_EQ(r.Item(u"action").text(), u"list2");
  EXPECT_EQ(r.TotalBytes(), 42);
}

TEST(Request, ReadsTheRawBodyInPieces) {
  Request r;
  r.setBody("--b\r\nabc", "multipart/form-data; boundary=b");
  EXPECT_TRUE(r.Form(u"abc").isEmpty());  // not an url-encoded body
  std::int32_t n = 3;
  auto first = r.BinaryRead(n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(std::string(first.begin(), first.end()), "--b");
  n = 100;
  auto rest = r.BinaryRead(n);
  EXPECT_EQ(n, 5);
  EXPECT_EQ(std::string(rest.begin(), rest.end()), "\r\nabc");
  n = 10;
  EXPECT_TRUE(r.BinaryRead(n).empty());
  EXPECT_EQ(n, 0);
}

TEST(Request, AWholeBodyReadConsumesTheBodyButKeepsItsFormAndSize) {
  Request r;
  r.setBody("name=%E5%BC%A0&x=1", "application/x-www-form-urlencoded");
  std::int32_t n = r.TotalBytes();
  auto all = r.BinaryRead(n);
  EXPECT_EQ(std::string(all.begin(), all.end()), "name=%E5%BC%A0&x=1");
  EXPECT_EQ(r.TotalBytes(), 18);
  EXPECT_EQ(r.Form(u"name").text(), u"张");
  n = 5;
  EXPECT_TRUE(r.BinaryRead(n).empty());
}

TEST(Request, ServerVariablesIgnoreCaseAndMalformedEscapesStayLiteral) {
  Request r;
  r.setServerVariable(u"url", u"/person/index.asp");
  EXPECT_EQ(r.ServerVariables(u"URL").text(), u"/person/index.asp");
  r.setQueryString("a=%zz%4&b=100%");
  EXPECT_EQ(r.QueryString(u"a").text(), u"%zz%4");
  EXPECT_EQ(r.QueryString(u"b").text(), u"100%");
}

}  // namespace
}  // namespace asp
