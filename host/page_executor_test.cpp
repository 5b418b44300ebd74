// The page executor: work of one key runs one piece at a time and in order, other keys in
// parallel; the bounds refuse at once; stop lets accepted work finish.
#include "page_executor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <numeric>
#include <thread>

namespace host {
namespace {

TEST(PageExecutor, OneKeyRunsInOrderOneAtATime) {
  PageExecutor executor({4, 100, 100});
  std::mutex m;
  std::vector<int> order;
  std::atomic<int> inside = 0, most = 0;
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(executor.submit("k", [&, i] {
      int now = ++inside;
      most = std::max(most.load(), now);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      {
        std::lock_guard lock(m);
        order.push_back(i);
      }
      --inside;
    }));
  }
  executor.stop();
  EXPECT_EQ(most.load(), 1);
  std::vector<int> expected(20);
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(order, expected);
  EXPECT_EQ(executor.pending(), 0u);
}

TEST(PageExecutor, DifferentKeysAndNoKeyRunTogether) {
  PageExecutor executor({3, 100, 100});
  std::promise<void> release;
  std::shared_future<void> go = release.get_future().share();
  std::atomic<int> started = 0;
  for (const char* key : {"a", "b", ""}) {
    ASSERT_TRUE(executor.submit(key, [&, go] {
      ++started;
      go.wait();
    }));
  }
  for (int i = 0; i < 200 && started < 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(started.load(), 3);
  EXPECT_EQ(executor.running(), 3u);
  release.set_value();
}

TEST(PageExecutor, BoundsRefuseAndStopRefusesLaterWork) {
  PageExecutor executor({1, 3, 2});
  std::promise<void> release;
  std::shared_future<void> go = release.get_future().share();
  auto hold = [go] { go.wait(); };
  EXPECT_TRUE(executor.submit("a", hold));
  EXPECT_TRUE(executor.submit("a", hold));
  EXPECT_FALSE(executor.submit("a", hold)) << "two of key a already";
  EXPECT_TRUE(executor.submit("b", hold));
  EXPECT_FALSE(executor.submit("c", hold)) << "three pending in all";
  EXPECT_EQ(executor.pending(), 3u);
  release.set_value();
  executor.stop();
  EXPECT_EQ(executor.pending(), 0u);
  EXPECT_FALSE(executor.submit("a", [] {}));
}

}  // namespace
}  // namespace host
