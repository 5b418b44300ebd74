// A test that hangs, as a deadlocked one would: ctest must end it at its timeout.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(HangingTest, NeverEnds) {
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}
