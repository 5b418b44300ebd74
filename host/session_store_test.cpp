#include "session_store.h"

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(SessionStore, KnownIdsFindTheirSessionUnknownOnesGetANewOne) {
  SessionStore store(20);
  std::string id;
  {
    auto lease = store.acquire("");
    EXPECT_TRUE(lease->isNew());
    id = lease->id();
    lease->session()->set(u"k", automation::Variant(1));
    EXPECT_EQ(lease->session()->Timeout, 20);
  }
  EXPECT_EQ(id.size(), 32u);
  EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
  auto again = store.acquire(id);
  EXPECT_FALSE(again->isNew());
  EXPECT_TRUE(automation::equals(again->session()->get(u"k"), automation::Variant(1)));
  auto other = store.acquire("0123456789abcdef0123456789abcdef");
  EXPECT_TRUE(other->isNew());
  EXPECT_NE(other->id(), id);
}

TEST(SessionStore, IdleSessionsExpireAfterTheirOwnTimeout) {
  SessionStore store(20);
  std::string shortId, longId;
  {
    auto a = store.acquire("");
    a->session()->Timeout = 1;
    shortId = a->id();
    auto b = store.acquire("");
    longId = b->id();
  }
  store.expireIdle(SessionStore::Clock::now() + std::chrono::minutes(2));
  EXPECT_EQ(store.size(), 1u);
  EXPECT_TRUE(store.acquire(shortId)->isNew());
  EXPECT_FALSE(store.acquire(longId)->isNew());
}

TEST(SessionStore, SessionInUseDoesNotExpireAndAbandonedOnesGo) {
  SessionStore store(1);
  auto busy = store.acquire("");
  store.expireIdle(SessionStore::Clock::now() + std::chrono::hours(1));
  EXPECT_EQ(store.size(), 1u);
  std::string id = busy->id();
  busy->session()->Abandon();
  busy.reset();
  EXPECT_EQ(store.size(), 0u);
  EXPECT_TRUE(store.acquire(id)->isNew());
}

}  // namespace
}  // namespace host
