// The session store: tokens, storing only what a page used, expiry by each session's own
// timeout, sessions in use never expiring, abandoned sessions leaving.
#include "session_store.h"

#include <gtest/gtest.h>

namespace host {
namespace {

using automation::Variant;

TEST(SessionStore, StoredSessionsAreFoundByTheirToken) {
  SessionStore store(20);
  auto entry = store.create();
  EXPECT_EQ(entry->token, "") << "not stored yet";
  EXPECT_EQ(entry->session->Timeout, 20);
  entry->session->set(u"k", Variant(1));
  store.store(entry);
  EXPECT_EQ(entry->token.size(), 32u);
  EXPECT_EQ(entry->token.find_first_not_of("0123456789abcdef"), std::string::npos);
  store.release(entry);
  auto again = store.find(entry->token);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(automation::equals(again->session->get(u"k"), Variant(1)));
  store.release(again);
  EXPECT_EQ(store.find("0123456789abcdef0123456789abcdef"), nullptr);
  EXPECT_EQ(store.find(""), nullptr);
  auto other = store.create();
  store.store(other);
  EXPECT_NE(other->token, entry->token);
}

TEST(SessionStore, AtTheCapTheSessionIdleLongestGoes) {
  SessionStore store(20, {2, {}});
  auto first = store.create();
  auto second = store.create();
  auto third = store.create();
  EXPECT_EQ(store.store(first), nullptr);
  store.release(first);
  EXPECT_EQ(store.store(second), nullptr);  // still held by its request
  EXPECT_EQ(store.store(third), first);
  EXPECT_FALSE(first->stored);
  EXPECT_EQ(store.find(first->token), nullptr);
  EXPECT_EQ(store.size(), 2u);
  auto fourth = store.create();
  EXPECT_EQ(store.store(fourth), nullptr) << "every stored session is in use: none is ended";
  EXPECT_EQ(store.size(), 3u);
}

TEST(SessionStore, SessionsAreMadeWithTheStoresLimits) {
  SessionStore store(20, {0, {100, 0}});
  auto entry = store.create();
  EXPECT_THROW(entry->session->set(u"k", Variant(automation::Text(60, u'x'))),
               automation::AutomationError);
  EXPECT_TRUE(entry->session->get(u"k").isEmpty());
}

TEST(SessionStore, IdleSessionsExpireAfterTheirOwnTimeout) {
  SessionStore store(20);
  auto shortLived = store.create();
  shortLived->session->Timeout = 1;
  auto longLived = store.create();
  for (auto& e : {shortLived, longLived}) {
    store.store(e);
    store.release(e);
  }
  auto later = SessionStore::Clock::now() + std::chrono::minutes(2);
  EXPECT_TRUE(store.takeExpired(later, std::chrono::hours(1)).empty()) << "checked too soon";
  auto ended = store.takeExpired(later, {});
  ASSERT_EQ(ended.size(), 1u);
  EXPECT_EQ(ended[0], shortLived);
  EXPECT_EQ(store.size(), 1u);
  EXPECT_EQ(store.find(shortLived->token), nullptr);
  EXPECT_EQ(store.takeAll().size(), 1u);
  EXPECT_EQ(store.size(), 0u);
}

TEST(SessionStore, SessionInUseDoesNotExpireAndAbandonedOnesGo) {
  SessionStore store(1);
  auto busy = store.create();
  store.store(busy);
  EXPECT_TRUE(store.takeExpired(SessionStore::Clock::now() + std::chrono::hours(1), {}).empty());
  busy->session->Abandon();
  store.release(busy);
  EXPECT_EQ(store.size(), 0u);
  EXPECT_EQ(store.find(busy->token), nullptr);
}

}  // namespace
}  // namespace host
