#include "asp/session.h"

#include <gtest/gtest.h>

#include "asp/response.h"
#include "asp/server.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace asp {
namespace {

TEST(Session, KeysIgnoreCaseAndKeepTheirFirstSpelling) {
  Session s;
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

TEST(Session, ContentsCountsIndexesRemovesAndEnumerates) {
  auto s = std::make_shared<Session>();
  s->set(u"b", Variant(2));
  s->set(u"a", Variant(1));
  s->set(u"c", Variant(3));
  using automation::InvokeKind;
  Variant contents = s->invoke(u"Contents", InvokeKind::PropertyGet);
  auto& c = *contents.object();
  EXPECT_EQ(automation::toInt32(c.invoke(u"Count", InvokeKind::PropertyGet)), 3);
  EXPECT_EQ(automation::toInt32(c.invoke(u"", InvokeKind::PropertyGet, {Variant(1)})), 2);
  EXPECT_EQ(automation::toText(c.invoke(u"Key", InvokeKind::PropertyGet, {Variant(2)})), u"a");
  c.invoke(u"Remove", InvokeKind::Method, {Variant(u"A")});
  c.invoke(u"Remove", InvokeKind::Method, {Variant(1)});  // by number: "b"
  auto keys = c.enumerate();
  ASSERT_TRUE(keys);
  ASSERT_EQ(keys->size(), 1u);
  EXPECT_EQ(automation::toText(keys->front()), u"c");
  EXPECT_EQ(automation::toInt32(s->invoke(u"Contents", InvokeKind::PropertyGet, {Variant(u"C")})),
            3);
  c.invoke(u"RemoveAll", InvokeKind::Method);
  EXPECT_EQ(s->items().size(), 0u);
}

TEST(Session, ValuesBeyondTheLimitsAreRefusedAndNothingIsStored) {
  Session s;
  s.setLimits({1000, 1500});
  s.set(u"a", Variant(Text(400, u'a')));  // 2 + 16 + 800 bytes
  try {
    s.set(u"choseItem", Variant(Text(30000, u'x')));
    ADD_FAILURE() << "a 60 KB value was kept";
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(e.code(), automation::hr::kFail);
    EXPECT_NE(e.description().find(u"choseItem"), Text::npos);
  }
  EXPECT_TRUE(s.get(u"choseItem").isEmpty());
  // Each value fits, both together do not: the old value stays.
  s.set(u"b", Variant(u"small"));
  EXPECT_THROW(s.set(u"b", Variant(Text(400, u'b'))), automation::AutomationError);
  EXPECT_EQ(s.get(u"b").text(), u"small");
  s.set(u"A", Variant(u"replaced"));  // a value replaced is not counted twice
  s.set(u"b", Variant(Text(400, u'b')));
  EXPECT_EQ(s.items().size(), 2u);
  // Arrays count element by element; Contents goes through the same check.
  Variant::Array big(100, Variant(Text(10, u'x')));
  EXPECT_THROW(s.set(u"c", Variant(big)), automation::AutomationError);
  EXPECT_THROW(Contents<Session>(std::shared_ptr<Session>(&s, [](Session*) {}))
                   .invoke(u"Item", automation::InvokeKind::PropertyPut,
                           {Variant(u"d"), Variant(Text(600, u'd'))}),
               automation::AutomationError);
}

TEST(Session, HasNumericIdsAndPageSettings) {
  Session a, b;
  EXPECT_GT(a.SessionID(), 0);
  EXPECT_NE(a.SessionID(), b.SessionID());
  using automation::InvokeKind;
  EXPECT_EQ(a.invoke(u"SessionID", InvokeKind::PropertyGet).type(), automation::VarType::I4);
  a.invoke(u"CodePage", InvokeKind::PropertyPut, {Variant(936)});
  a.invoke(u"LCID", InvokeKind::PropertyPut, {Variant(1033)});
  EXPECT_EQ(a.CodePage, 936);
  EXPECT_EQ(a.LCID, 1033);
}

// Pages on many threads read and write the application without Lock; under ThreadSanitizer a
// write that is not guarded shows here.
TEST(Application, PagesOnManyThreadsReadAndWriteItSafely) {
  auto app = std::make_shared<Application>();
  std::vector<std::thread> pages;
  for (int t = 0; t < 4; ++t) {
    pages.emplace_back([app, t] {
      for (int i = 0; i < 200; ++i) {
        app->set(u"k" + automation::fromUtf8(std::to_string((t * 7 + i) % 13)), Variant(i));
        app->get(u"k3");
        app->items();
        if (i % 50 == 0) app->remove(u"k1");
      }
    });
  }
  for (auto& page : pages) page.join();
  EXPECT_LE(app->items().size(), 13u);
  EXPECT_GE(app->items().size(), 12u);
}

TEST(Application, LockHoldsBackWritesOfOtherPagesUntilReleased) {
  Application app;
  app.Lock();
  app.set(u"n", Variant(1));  // the locking page itself writes freely
  std::atomic<bool> written{false};
  std::thread other([&] {
    app.set(u"n", Variant(2));
    written = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(written);
  EXPECT_EQ(automation::toInt32(app.get(u"n")), 1);  // reads are not held back
  app.Lock();
  app.Unlock();  // still locked once
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(written);
  app.releaseLocks();  // the page ends
  other.join();
  EXPECT_EQ(automation::toInt32(app.get(u"n")), 2);
}

TEST(Application, UnlockOfAnotherThreadReleasesNothing) {
  Application app;
  app.Lock();
  std::thread([&] { app.Unlock(); }).join();
  std::atomic<bool> written{false};
  std::thread writer([&] {
    app.set(u"k", Variant(1));
    written = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(written);
  app.Unlock();
  writer.join();
  EXPECT_TRUE(written);
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
