#include "asp/request.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace asp {
namespace {

using automation::InvokeKind;
using automation::toInt32;
using automation::toText;

// A member reached by name, as a script reaches it.
Variant get(automation::Dispatch& d, automation::TextView member, std::vector<Variant> args = {}) {
  return d.invoke(member, InvokeKind::PropertyGet, std::move(args));
}
automation::Dispatch& obj(const Variant& v) { return *v.object(); }

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

TEST(Request, ScriptsSeeEachKeyAsAListOfItsValues) {
  Request r;
  r.setBody("k=a&K=b&x=1&empty=", "application/x-www-form-urlencoded");
  Variant k = get(r, u"Form", {Variant(u"k")});
  EXPECT_EQ(toInt32(get(obj(k), u"Count")), 2);
  EXPECT_EQ(toText(get(obj(k), u"Item", {Variant(1)})), u"a");
  EXPECT_EQ(toText(get(obj(k), u"", {Variant(2)})), u"b");
  EXPECT_EQ(toText(k), u"a, b");  // the default value joins them
  EXPECT_THROW(get(obj(k), u"Item", {Variant(3)}), automation::AutomationError);

  Variant absent = get(r, u"Form", {Variant(u"nope")});
  EXPECT_EQ(toInt32(get(obj(absent), u"Count")), 0);
  EXPECT_TRUE(get(obj(absent), u"Item").isEmpty());
  EXPECT_EQ(toInt32(get(obj(get(r, u"Form", {Variant(u"empty")})), u"Count")), 1);

  // The C++ API keeps giving the joined text and an empty variant for an absent key.
  EXPECT_EQ(r.Form(u"k").text(), u"a, b");
  EXPECT_TRUE(r.Form(u"nope").isEmpty());
}

TEST(Request, CollectionsCountIndexAndEnumerateTheirKeys) {
  Request r;
  r.setQueryString("b=2&a=1&B=3");
  Variant qs = get(r, u"QueryString");
  EXPECT_EQ(toInt32(get(obj(qs), u"Count")), 2);
  EXPECT_EQ(toText(get(obj(qs), u"Key", {Variant(1)})), u"b");
  EXPECT_EQ(toText(get(obj(qs), u"Item", {Variant(1)})), u"2, 3");
  EXPECT_EQ(toText(get(obj(qs), u"Item", {Variant(u"A")})), u"1");
  EXPECT_EQ(toText(qs), u"b=2&a=1&B=3");  // the collection itself reads as the raw text
  auto keys = obj(qs).enumerate();
  ASSERT_TRUE(keys);
  ASSERT_EQ(keys->size(), 2u);
  EXPECT_EQ(toText((*keys)[1]), u"a");
  // Request(key) finds the list where the key comes first; an absent key is empty.
  EXPECT_EQ(toInt32(get(obj(get(r, u"", {Variant(u"b")})), u"Count")), 2);
  EXPECT_TRUE(get(r, u"", {Variant(u"zz")}).isEmpty());
}

TEST(Request, CookiesCarryKeys) {
  Request r;
  r.addCookieHeader("user=name=%E5%BC%A0&id=7; plain=a%20b%3Bc; =skipped; lang=zh");
  EXPECT_EQ(r.Cookies(u"PLAIN").text(), u"a b;c");
  Variant user = get(r, u"Cookies", {Variant(u"user")});
  EXPECT_TRUE(toInt32(get(obj(user), u"HasKeys")) != 0);
  EXPECT_EQ(toText(get(obj(user), u"", {Variant(u"name")})), u"张");
  EXPECT_EQ(toText(get(obj(user), u"", {Variant(u"ID")})), u"7");
  EXPECT_EQ(toText(get(obj(user), u"", {Variant(u"none")})), u"");
  EXPECT_EQ(toText(user), u"name=张&id=7");
  EXPECT_FALSE(automation::toBool(get(obj(get(r, u"Cookies", {Variant(u"plain")})), u"HasKeys")));
  Variant all = get(r, u"Cookies");
  EXPECT_EQ(toInt32(get(obj(all), u"Count")), 3);
  EXPECT_EQ(toText(get(obj(all), u"Key", {Variant(3)})), u"lang");
  // An absent cookie is an empty one, not an error.
  EXPECT_EQ(toText(get(r, u"Cookies", {Variant(u"absent")})), u"");
}

TEST(Request, DescribeGivesTheServerVariablesOfTheClassicHost) {
  Request r;
  HttpRequestInfo info;
  info.method = "POST";
  info.path = "/person/list.asp";
  info.query = "a=1";
  info.https = true;
  info.serverName = "intranet";
  info.serverPort = 443;
  info.remoteAddress = "10.1.2.3";
  info.headers = {{"User-Agent", "test"}, {"Cookie", "c=v"}};
  r.describe(info);
  EXPECT_EQ(r.ServerVariables(u"https").text(), u"on");
  EXPECT_EQ(r.ServerVariables(u"SERVER_PORT_SECURE").text(), u"1");
  EXPECT_EQ(r.ServerVariables(u"URL").text(), u"/person/list.asp");
  EXPECT_EQ(r.ServerVariables(u"HTTP_USER_AGENT").text(), u"test");
  EXPECT_EQ(r.ServerVariables(u"ALL_RAW").text(), u"User-Agent: test\r\nCookie: c=v\r\n");
  EXPECT_EQ(r.ServerVariables(u"LOGON_USER").text(), u"");  // known, unused
  EXPECT_TRUE(r.ServerVariables(u"NO_SUCH").isEmpty());
  EXPECT_EQ(r.Cookies(u"c").text(), u"v");
  Variant sv = get(r, u"ServerVariables");
  auto names = obj(sv).enumerate();
  ASSERT_TRUE(names);
  EXPECT_EQ(toText(names->front()), u"ALL_HTTP");
  EXPECT_EQ(toText(names->back()), u"HTTP_COOKIE");
  EXPECT_EQ(toInt32(get(obj(get(obj(sv), u"", {Variant(u"no_such")})), u"Count")), 0);
}

// The variables are made only when first read; what was set before or after describe() keeps
// the order of the calls, and the collection a script took sees them all.
TEST(Request, ServerVariablesSetAroundDescribeKeepTheOrderOfTheCalls) {
  Request r;
  r.setServerVariable(u"url", u"/before.asp");
  r.setServerVariable(u"custom", u"1");
  HttpRequestInfo info;
  info.path = "/described.asp";
  info.headers = {{"X-Tag", "a"}, {"X-Tag", "b"}};
  r.describe(info);
  EXPECT_EQ(r.ServerVariables(u"URL").text(), u"/described.asp");
  EXPECT_EQ(r.ServerVariables(u"CUSTOM").text(), u"1");
  EXPECT_EQ(r.ServerVariables(u"HTTP_X_TAG").text(), u"b");
  r.describe(info);
  r.setServerVariable(u"PATH_INFO", u"/after");
  Variant sv = get(r, u"ServerVariables");
  EXPECT_EQ(toText(get(obj(sv), u"", {Variant(u"path_info")})), u"/after");
  EXPECT_EQ(toText(get(obj(sv), u"", {Variant(u"url")})), u"/described.asp");
  auto names = obj(sv).enumerate();
  ASSERT_TRUE(names);
  EXPECT_EQ(std::count_if(names->begin(), names->end(),
                          [](const Variant& n) { return toText(n) == u"URL"; }),
            1);
}

}  // namespace
}  // namespace asp
