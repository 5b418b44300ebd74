#include "body_buffer.h"

#include <gtest/gtest.h>

#include "automation/error.h"

namespace upload {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }
std::string textOf(ByteSpan b) { return {b.begin(), b.end()}; }

TEST(BodyBufferTest, ALargeTakeHandsOverTheBufferAndKeepsWhatFollows) {
  BodyBuffer body(bytesOf("head[0123456789]tail"));
  EXPECT_EQ(body.take(0, 4), bytesOf("head"));  // small: a copy
  EXPECT_EQ(textOf(body.from(0)), "head[0123456789]tail");

  EXPECT_EQ(body.take(5, 10), bytesOf("0123456789"));  // half or more: the buffer itself
  EXPECT_EQ(body.size(), 20);
  EXPECT_EQ(textOf(body.from(15)), "]tail");
  EXPECT_EQ(textOf(body.slice(16, 4)), "tail");
  EXPECT_THROW(body.from(14), automation::AutomationError);  // given away
  EXPECT_EQ(body.take(15, 5), bytesOf("]tail"));             // only once
  EXPECT_EQ(textOf(body.from(15)), "]tail");
}

TEST(BodyBufferTest, PositionsOutsideTheBodyFail) {
  BodyBuffer body(bytesOf("abc"));
  EXPECT_TRUE(body.from(3).empty());
  EXPECT_THROW(body.from(4), automation::AutomationError);
  EXPECT_THROW(body.from(-1), automation::AutomationError);
  EXPECT_THROW(body.slice(1, 3), automation::AutomationError);
  EXPECT_THROW(body.slice(1, -1), automation::AutomationError);
}

}  // namespace
}  // namespace upload
