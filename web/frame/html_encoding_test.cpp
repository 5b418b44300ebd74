#include "frame/html_encoding.h"

#include <gtest/gtest.h>

namespace frame {
namespace {

TEST(HtmlEncodingTest, ElementTextStopsOnlyMarkupOpeners) {
  EXPECT_EQ(htmlText(u"<script>alert(1)</script>"), u"&lt;script>alert(1)&lt;/script>");
  EXPECT_EQ(htmlText(u"<img src=x onerror=alert(1)>"), u"&lt;img src=x onerror=alert(1)>");
  EXPECT_EQ(htmlText(u"<!-- x --><?php"), u"&lt;!-- x -->&lt;?php");
  // Comparisons and plain text, as SQL in a trace carries them, stay byte for byte.
  EXPECT_EQ(htmlText(u"planStartTime<='2001-05-31' and a < b and c<>d"),
            u"planStartTime<='2001-05-31' and a < b and c<>d");
  EXPECT_EQ(htmlText(u"张三 & 李四 \"x\" 'y' <"), u"张三 & 李四 \"x\" 'y' <");
  EXPECT_EQ(htmlText(u""), u"");
}

TEST(HtmlEncodingTest, AttributeValueEncodesItsOwnQuoteOnly) {
  EXPECT_EQ(htmlAttribute(u"it's \"x\" <b>"), u"it&#39;s \"x\" <b>");
  EXPECT_EQ(htmlAttribute(u"it's \"x\"", u'"'), u"it's &quot;x&quot;");
  EXPECT_EQ(htmlAttribute(u"?action=list&page=2"), u"?action=list&page=2");
}

TEST(HtmlEncodingTest, ScriptStringCannotEndTheLiteralOrTheScript) {
  EXPECT_EQ(scriptString(u"a'b\\c"), u"a\\'b\\\\c");
  EXPECT_EQ(scriptString(u"a\"b'", u'"'), u"a\\\"b'");
  EXPECT_EQ(scriptString(u"x</script><script>y"), u"x<\\/script><script>y");
  EXPECT_EQ(scriptString(u"line\r\nnext\u2028"), u"line\\r\\nnext\\u2028");
  EXPECT_EQ(scriptString(u"人员管理 a/b <c"), u"人员管理 a/b <c");
}

TEST(HtmlEncodingTest, AppendingKeepsWhatWasThere) {
  Text out = u"<td>";
  appendHtmlText(out, u"<b>");
  out += u"</td>";
  EXPECT_EQ(out, u"<td>&lt;b></td>");
}

}  // namespace
}  // namespace frame
