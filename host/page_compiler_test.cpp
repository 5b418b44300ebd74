#include "page_compiler.h"

#include <gtest/gtest.h>

#include "test_site.h"

namespace host {
namespace {

using host_test::TestSite;

// The script line holding `marker`, 1-based.
int scriptLineOf(const CompiledSource& c, std::u16string_view marker) {
  std::size_t at = c.script.find(marker);
  EXPECT_NE(at, Text::npos) << automation::toUtf8(marker);
  return 1 + static_cast<int>(std::count(c.script.begin(), c.script.begin() + at, u'\n'));
}

TEST(PageCompiler, TextCodeAndExpressionBlocks) {
  TestSite site;
  site.write("a.asp",
             "<%@ Language=\"JScript\" CodePage=65001 %>\r\n<p>\r\n<% var n = 1 %>"
             "<b><%= n + 1; %></b>\n<% if (n) { %>yes<% } %>\n");
  CompiledSource c = compilePage(site.root(), "a.asp");
  EXPECT_EQ(c.codePage, 65001);
  ASSERT_EQ(c.chunks.size(), 5u);
  EXPECT_EQ(c.chunks[0], u"\r\n<p>\r\n");
  EXPECT_EQ(c.chunks[1], u"<b>");
  EXPECT_EQ(c.chunks[2], u"</b>\n");
  EXPECT_EQ(c.chunks[3], u"yes");
  EXPECT_EQ(c.chunks[4], u"\n");
  EXPECT_NE(c.script.find(u"$$write( n + 1);"), Text::npos);
  EXPECT_EQ(c.locate(scriptLineOf(c, u"var n")).line, 3);
  EXPECT_EQ(c.locate(scriptLineOf(c, u"if (n)")).line, 4);
  EXPECT_EQ(c.locate(scriptLineOf(c, u"var n")).file, "a.asp");
}

TEST(PageCompiler, LinesOfLongCodeBlocksAndItemAssignments) {
  TestSite site;
  site.write("a.asp", "x\n<%\nvar a = 1;\nSession(\"k\") =\n  2;\nvar marker;\n%>\n");
  CompiledSource c = compilePage(site.root(), "a.asp");
  EXPECT_NE(c.script.find(u"Session.$$put(\"k\","), Text::npos);
  EXPECT_EQ(c.locate(scriptLineOf(c, u"var a")).line, 3);
  EXPECT_EQ(c.locate(scriptLineOf(c, u"var marker")).line, 6);
}

TEST(PageCompiler, IncludesByFileAndVirtualPathFoundCaseInsensitively) {
  TestSite site;
  site.write("Include/Conn.inc", "<% var conn = 1; %>\n<!--#include virtual=\"/lib/f.inc\"-->");
  site.write("lib/f.inc", "\n<% var inF = 2; %>");
  site.write("pages/p.asp",
             "top\n<!-- #include file=\"../include/conn.inc\" -->\n<% var after; %>");
  CompiledSource c = compilePage(site.root(), "pages/p.asp");
  ASSERT_EQ(c.files, (std::vector<std::string>{"pages/p.asp", "include/conn.inc", "lib/f.inc"}));
  EXPECT_EQ(c.dependencies.size(), 3u);
  SourceLocation inConn = c.locate(scriptLineOf(c, u"var conn"));
  EXPECT_EQ(inConn.file, "include/conn.inc");
  EXPECT_EQ(inConn.line, 1);
  SourceLocation inF = c.locate(scriptLineOf(c, u"var inF"));
  EXPECT_EQ(inF.file, "lib/f.inc");
  EXPECT_EQ(inF.line, 2);
  SourceLocation after = c.locate(scriptLineOf(c, u"var after"));
  EXPECT_EQ(after.file, "pages/p.asp");
  EXPECT_EQ(after.line, 3);
}

TEST(PageCompiler, PlainCommentsStayText) {
  TestSite site;
  site.write("a.asp", "<!-- note --><!--#include nothing-->");
  CompiledSource c = compilePage(site.root(), "a.asp");
  ASSERT_EQ(c.chunks.size(), 1u);
  EXPECT_EQ(c.chunks[0], u"<!-- note --><!--#include nothing-->");
}

void expectCompileError(TestSite& site, const std::string& page, const std::string& message,
                        const std::string& file, int line) {
  try {
    compilePage(site.root(), page);
    ADD_FAILURE() << "compiled " << page;
  } catch (const PageCompileError& e) {
    EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    EXPECT_EQ(e.where().file, file);
    EXPECT_EQ(e.where().line, line);
  }
}

TEST(PageCompiler, IncludeCyclesMissingFilesAndEscapesAreErrors) {
  TestSite site;
  site.write("a.inc", "\n<!--#include file=\"b.inc\"-->");
  site.write("b.inc", "<!--#include file=\"A.INC\"-->");
  site.write("cycle.asp", "<!--#include file=\"a.inc\"-->");
  expectCompileError(site, "cycle.asp", "include cycle", "b.inc", 1);
  site.write("missing.asp", "x\n<!--#include file=\"nope.inc\"-->");
  expectCompileError(site, "missing.asp", "not found", "missing.asp", 2);
  site.write("escape.asp", "<!--#include file=\"../../etc/passwd\"-->");
  expectCompileError(site, "escape.asp", "outside the site root", "escape.asp", 1);
  site.write("open.asp", "a\nb <% var x = 1;\n");
  expectCompileError(site, "open.asp", "missing %>", "open.asp", 2);
  site.write("vb.asp", "<%@ Language=VBScript %>");
  expectCompileError(site, "vb.asp", "unsupported script language", "vb.asp", 1);
}

TEST(PageCompiler, SameIncludeTwiceIsNoCycle) {
  TestSite site;
  site.write("x.inc", "x");
  site.write("a.asp", "<!--#include file=\"x.inc\"--><!--#include file=\"x.inc\"-->");
  EXPECT_EQ(compilePage(site.root(), "a.asp").chunks.size(), 2u);
}

TEST(PageCompiler, CodePage936PagesAreDecodedAsGbk) {
  TestSite site;
  site.write("g.asp", "<%@ CodePage=936 %>" + automation::encodeCodePage(u"中文", 936));
  CompiledSource c = compilePage(site.root(), "g.asp");
  EXPECT_EQ(c.codePage, 936);
  ASSERT_EQ(c.chunks.size(), 1u);
  EXPECT_EQ(c.chunks[0], u"中文");
}

}  // namespace
}  // namespace host
