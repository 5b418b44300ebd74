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

}  // namespace
}  // namespace host
