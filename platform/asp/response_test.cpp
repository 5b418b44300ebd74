#include "asp/response.h"

#include <gtest/gtest.h>

#include <ctime>

#include "asp/http_dates.h"

namespace asp {
namespace {

using automation::InvokeKind;
using automation::toText;
using automation::toUtf8;

void put(automation::Dispatch& d, automation::TextView member, std::vector<Variant> args) {
  d.invoke(member, InvokeKind::PropertyPut, std::move(args));
}
Variant call(automation::Dispatch& d, automation::TextView member, std::vector<Variant> args = {}) {
  return d.invoke(member, InvokeKind::Method, std::move(args));
}

Text header(const Response& r, TextView name) {
  for (const auto& [n, v] : r.headers()) {
    if (n == name) return v;
  }
  return u"(none)";
}

TEST(Response, FlushedOutputStaysSentAndClearDropsOnlyTheRest) {
  Response r;
  Text sent;
  int calls = 0;
  r.setFlushSink([&](Response& self, Text text, std::string) {
    if (calls++ == 0) EXPECT_TRUE(self.headersSent());
    sent += text;
  });
  r.Write(Variant(u"head|"));
  call(r, u"Flush");
  r.Write(Variant(u"dropped"));
  call(r, u"Clear");
  r.Write(Variant(u"tail"));
  EXPECT_EQ(sent, u"head|");
  EXPECT_EQ(r.text(), u"tail");
  // Headers are out: the page can no longer change them.
  EXPECT_THROW(put(r, u"Status", {Variant(u"404 Not Found")}), automation::AutomationError);
  EXPECT_THROW(call(r, u"AddHeader", {Variant(u"X"), Variant(u"1")}), automation::AutomationError);
  EXPECT_THROW(put(r, u"Cookies", {Variant(u"c"), Variant(u"v")}), automation::AutomationError);
}

TEST(Response, WithoutASinkFlushedTextIsKeptButNotCleared) {
  Response r;
  r.write(u"kept ");
  r.Flush();
  r.write(u"gone");
  r.Clear();
  EXPECT_EQ(r.text(), u"kept ");
}

TEST(Response, UnbufferedWritesGoStraightToTheSink) {
  Response r;
  std::vector<Text> chunks;
  r.setFlushSink([&](Response&, Text text, std::string) { chunks.push_back(text); });
  put(r, u"Buffer", {Variant(false)});
  r.Write(Variant(u"a"));
  r.Write(Variant(u"b"));
  EXPECT_EQ(chunks, (std::vector<Text>{u"a", u"b"}));
  EXPECT_THROW(call(r, u"Clear"), automation::AutomationError);
  EXPECT_THROW(call(r, u"Flush"), automation::AutomationError);
}

// The write check sees the reply's size in UTF-8 bytes, whichever way the text's ASCII and
// wider characters fall against the units the count takes four at a time.
TEST(Response, WriteCheckCountsUtf8BytesAtEveryOffset) {
  for (std::size_t offset = 0; offset < 6; ++offset) {
    Response r;
    std::size_t seen = 0;
    r.setWriteCheck([&](std::size_t bytes) { seen = bytes; });
    const Text text = Text(offset, u'a') + u"中文\u00e9abcdefg\U0001F600h";
    r.write(text);
    r.write(text);
    EXPECT_EQ(seen, 2 * (offset + 6 + 2 + 7 + 4 + 1)) << offset;
  }
}

TEST(Response, CachingHeadersFollowExpiresAndCacheControl) {
  Response r;
  EXPECT_EQ(header(r, u"Expires"), u"(none)");
  put(r, u"CacheControl", {Variant(u"no-cache")});
  std::time_t before = std::time(nullptr);
  put(r, u"Expires", {Variant(-1)});
  std::time_t after = std::time(nullptr);
  EXPECT_EQ(header(r, u"Cache-Control"), u"no-cache");
  EXPECT_EQ(automation::toInt32(r.invoke(u"Expires", InvokeKind::PropertyGet)), -1);
  Text expires = header(r, u"Expires");
  EXPECT_TRUE(expires == httpDate(before - 60) || expires == httpDate(after - 60))
      << toUtf8(expires);
  // The sooner of Expires and ExpiresAbsolute wins.
  put(r, u"ExpiresAbsolute", {Variant(automation::Date::fromParts(2001, 1, 2, 3, 4, 5))});
  EXPECT_EQ(header(r, u"Expires"),
            httpDate(fromLocalDate(automation::Date::fromParts(2001, 1, 2, 3, 4, 5))));
  EXPECT_TRUE(httpDate(0) == u"Thu, 01 Jan 1970 00:00:00 GMT");
}

TEST(Response, CookiesAreEncodedWithKeysAndAttributes) {
  Response r;
  r.CodePage = 936;
  put(r, u"Cookies", {Variant(u"name"), Variant(u"张 三;x=1")});
  Variant user = r.invoke(u"Cookies", InvokeKind::PropertyGet, {Variant(u"user")});
  put(*user.object(), u"", {Variant(u"id"), Variant(7)});
  put(*user.object(), u"", {Variant(u"k&"), Variant(u"a=b")});
  put(*user.object(), u"Path", {Variant(u"/app; secure")});
  put(*user.object(), u"Domain", {Variant(u"example.org")});
  put(*user.object(), u"Secure", {Variant(true)});
  put(*user.object(), u"HttpOnly", {Variant(true)});
  put(*user.object(), u"Expires", {Variant(automation::Date::fromParts(2030, 1, 1))});
  EXPECT_TRUE(automation::toBool(user.object()->invoke(u"HasKeys", InvokeKind::PropertyGet)));

  std::vector<Text> cookies;
  for (const auto& [n, v] : r.headers()) {
    if (n == u"Set-Cookie") cookies.push_back(v);
  }
  ASSERT_EQ(cookies.size(), 2u);
  EXPECT_EQ(cookies[0], u"name=%D5%C5+%C8%FD%3Bx%3D1; path=/");
  EXPECT_EQ(cookies[1], u"user=id=7&k%26=a%3Db; expires=" +
                            cookieDate(fromLocalDate(automation::Date::fromParts(2030, 1, 1))) +
                            u"; domain=example.org; path=/app; secure; HttpOnly");
  // A plain value replaces the keys.
  put(r, u"Cookies", {Variant(u"USER"), Variant(u"v")});
  EXPECT_EQ(r.headers().back().second.substr(0, 7), u"user=v;");
  auto names = r.cookies().enumerate();
  ASSERT_TRUE(names);
  EXPECT_EQ(names->size(), 2u);
}

TEST(Response, ClientConnectionIsAskedOfTheHost) {
  Response r;
  EXPECT_TRUE(automation::toBool(r.invoke(u"IsClientConnected", InvokeKind::PropertyGet)));
  r.setClientConnected([] { return false; });
  EXPECT_FALSE(automation::toBool(r.invoke(u"IsClientConnected", InvokeKind::PropertyGet)));
}

}  // namespace
}  // namespace asp
