#include "asp/session.h"

#include <gtest/gtest.h>

#include "asp/response.h"
#include "asp/server.h"

namespace asp {
namespace {

TEST(Session, KeysIgnoreCaseAndKeepTheirFirstSpelling) {
  Session s(u"id1");
  s.set(u"strOrder", Variant(u"name"));
  s.set(u"STRORDER", Variant(u"id"));
  EXPECT_EQ(s.get(u"strorder").text(), u"id");
  EXPECT_TRUE(s.get(u"strOrder2").isEmpty());
  auto items = s.contents().items();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].first, u"strOrder");
}

TEST(Session, ScriptsReachValuesThroughTheDefaultMember) {
  Session s;
  s.invoke(u"", automation::InvokeKind::PropertyPut, {Variant(u"k"), Variant(5)});
  EXPECT_EQ(
      automation::toInt32(s.invoke(u"", automation::InvokeKind::PropertyGet, {Variant(u"K")})), 5);
}

TEST(Response, WritesTextAndEndsWithRedirect) {
  Response r;
  r.Write(Variant(u"a"));
  r.Write(Variant::null());
  r.Write(Variant(12));
  EXPECT_EQ(r.text(), u"a12");
  EXPECT_THROW(r.Redirect(u"/x.asp"), ResponseEnd);
  EXPECT_EQ(r.Status, u"302 Object moved");
  EXPECT_EQ(r.headers().back().second, u"/x.asp");
}

TEST(Server, EncodesForUrlsAndHtml) {
  Server s(nullptr, nullptr, 936);
  EXPECT_EQ(s.URLEncode(u"a b&中"), u"a+b%26%D6%D0");
  EXPECT_EQ(Server::HTMLEncode(u"<a href='x'>&</a>"), u"&lt;a href=&#39;x&#39;&gt;&amp;&lt;/a&gt;");
}

}  // namespace
}  // namespace asp
