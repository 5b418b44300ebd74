#include "code_page.h"

#include <gtest/gtest.h>

#include <random>

#include "automation/error.h"

namespace upload {
namespace {

using automation::Text;

std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

TEST(CodePageTest, DecodesLeadAndTrailPairs) {
  const AnsiCodePage page(936);
  EXPECT_EQ(page.decode(bytesOf("ab \xD6\xD0\xCE\xC4!")), u"ab 中文!");
  EXPECT_EQ(page.decode(bytesOf("a\xD6")), u"a\uFFFD");    // a lead byte at the end
  EXPECT_EQ(page.decode(bytesOf("\x81 x")), u"\uFFFDx");   // unmapped: the trail is consumed
  EXPECT_EQ(page.decode(bytesOf("\x80\x41")), u"\uFFFD");  // 0x80 is a lead byte too
  EXPECT_EQ(page.decode(bytesOf("\x81\x40")), u"\u4E02");
  EXPECT_EQ(page.decode({}), u"");
}

TEST(CodePageTest, EncodesOneByteOrThePagesPair) {
  const AnsiCodePage page(936);
  EXPECT_EQ(page.encode(u"; name=\""), bytesOf("; name=\""));
  EXPECT_EQ(page.encode(u"中a"), bytesOf("\xD6\xD0"
                                         "a"));
  EXPECT_EQ(page.encode(u"\u0E01"), bytesOf("\x01"));  // not in the page: its low 8 bits
}

TEST(CodePageTest, UnknownCodePageFails) {
  EXPECT_THROW(AnsiCodePage(12345), automation::AutomationError);
}

std::size_t countInText(const Text& text, const Text& marker) {
  std::size_t n = 0;
  for (auto at = text.find(marker); at != Text::npos; at = text.find(marker, at + 1)) ++n;
  return n;
}

TEST(CodePageTest, CountingOnBytesMatchesCountingOnTheDecodedText) {
  EXPECT_EQ(countInDecoded(bytesOf("\x81; name="), "; name="), 0u);
  EXPECT_EQ(countInDecoded(bytesOf("\x81\x81; name="), "; name="), 1u);
  EXPECT_EQ(countInDecoded(bytesOf("x\x81"), "; name="), 0u);

  const AnsiCodePage page(936);
  const std::string pieces[] = {"; name=", ";", " name=", "\x81", "\xD6\xD0", "a", "\xFF", "\r\n"};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string body;
    const int length = static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) body += pieces[random() % std::size(pieces)];
    const auto bytes = bytesOf(body);
    ASSERT_EQ(countInDecoded(bytes, "; name="), countInText(page.decode(bytes), u"; name="))
        << body;
  }
}

}  // namespace
}  // namespace upload
