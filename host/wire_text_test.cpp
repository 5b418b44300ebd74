// UTF-8 for the wire: every length of sequence, and unpaired surrogates as U+FFFD.
#include "wire_text.h"

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(WireText, EncodesEveryRangeAndReplacesUnpairedSurrogates) {
  EXPECT_EQ(toWireUtf8(u"a\u00e9\u4e2d\U0001F600"), "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
  EXPECT_EQ(toWireUtf8(automation::Text(u"\xD800x\xDC00", 3)), "\xEF\xBF\xBDx\xEF\xBF\xBD");
  EXPECT_EQ(toWireUtf8(automation::Text(u"\xD83D", 1)), "\xEF\xBF\xBD");
  EXPECT_EQ(toWireUtf8(u""), "");
}

// ASCII goes four units at a time: every other sequence must still be found wherever it
// falls against those quads, and the length must hold when pairs and unpaired halves mix.
TEST(WireText, SequencesAtEveryOffsetAmongAsciiRuns) {
  const automation::Text pair = u"\U0001F600";
  for (std::size_t offset = 0; offset < 9; ++offset) {
    const automation::Text head(offset, u'a');
    const std::string asciiHead(offset, 'a');
    EXPECT_EQ(toWireUtf8(head + u"\u4e2d" u"ghijklm"), asciiHead + "\xE4\xB8\xAD" "ghijklm");
    EXPECT_EQ(toWireUtf8(head + pair + u"xyzw"), asciiHead + "\xF0\x9F\x98\x80xyzw");
    EXPECT_EQ(toWireUtf8(head + automation::Text(1, u'\xDC00') + pair + u"\u00e9"),
              asciiHead + "\xEF\xBF\xBD\xF0\x9F\x98\x80\xC3\xA9");
  }
}

}  // namespace
}  // namespace host
