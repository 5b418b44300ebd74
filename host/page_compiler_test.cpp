// The page compiler: pieces per language with the file and line each starts at, includes,
// server script blocks, the page directive, global.asa, and what is refused.
#include "page_compiler.h"

#include <gtest/gtest.h>

#include "jscript/jscript_engine.h"
#include "test_site.h"

namespace host {
namespace {

using host_test::TestSite;
using Kind = CodePiece::Kind;

// An engine that only has a name: the compiler asks no more of it.
class NamedEngine : public ScriptEngine {
 public:
  std::vector<std::string> names() const override { return {"otherscript", "other"}; }
  std::shared_ptr<const CompiledScript> compile(const ScriptSource&) const override {
    return nullptr;
  }
  std::unique_ptr<ScriptInstance> instantiate(const CompiledScript&, ScriptSite&) const override {
    return nullptr;
  }
};

class PageCompiler : public ::testing::Test {
 protected:
  PageCompiler() {
    engines.add(std::make_shared<jscript::JScriptEngine>());
    engines.add(std::make_shared<NamedEngine>());
  }
  PageSource compile(const std::string& page, PageKind kind = PageKind::Page) {
    return compilePage(site.root(), page, {&engines, "jscript", kind});
  }
  void expectError(const std::string& page, const std::string& message, const std::string& file,
                   int line, PageKind kind = PageKind::Page) {
    try {
      compile(page, kind);
      ADD_FAILURE() << "compiled " << page;
    } catch (const PageCompileError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
      EXPECT_EQ(e.where().file, file) << e.what();
      EXPECT_EQ(e.where().line, line) << e.what();
    }
  }

  TestSite site;
  ScriptEngines engines;
};

// "kind@file:line text" for each piece, literal pieces showing their chunk.
std::vector<std::string> describe(const PageSource& page, const ScriptSource& script) {
  std::vector<std::string> out;
  for (const CodePiece& p : script.pieces) {
    SourceLocation at = script.locate(p.origin);
    std::string kind = p.kind == Kind::Code ? "code" : p.kind == Kind::Literal ? "text" : "expr";
    Text text = p.kind == Kind::Literal ? page.chunks[p.chunk] : p.text;
    out.push_back(kind + "@" + at.file + ":" + std::to_string(at.line) + " " +
                  automation::toUtf8(text));
  }
  return out;
}

TEST_F(PageCompiler, TextCodeAndExpressionPiecesInPageOrder) {
  site.write("a.asp",
             "<%@ Language=\"JScript\" CodePage=65001 %>\r\n<p>\r\n<% var n = 1 %>"
             "<b><%= n + 1; %></b>\n<% if (n) { %>yes<% } %>\n");
  PageSource page = compile("a.asp");
  EXPECT_EQ(page.codePage, 65001);
  EXPECT_EQ(page.language, "jscript");
  ASSERT_EQ(page.scripts.size(), 1u);
  EXPECT_EQ(describe(page, page.scripts[0]),
            (std::vector<std::string>{"text@a.asp:1 \r\n<p>\r\n", "code@a.asp:3  var n = 1 ",
                                      "text@a.asp:3 <b>", "expr@a.asp:3  n + 1; ",
                                      "text@a.asp:3 </b>\n", "code@a.asp:4  if (n) { ",
                                      "text@a.asp:4 yes", "code@a.asp:4  } ", "text@a.asp:4 \n"}));
}

TEST_F(PageCompiler, IncludesByFileAndVirtualPathFoundCaseInsensitively) {
  site.write("Include/Conn.inc", "<% var conn = 1; %>\n<!--#include virtual=\"/lib/f.inc\"-->");
  site.write("lib/f.inc", "\n<% var inF = 2; %>");
  site.write("pages/p.asp",
             "top\n<!-- #include file=\"../include/conn.inc\" -->\n<% var after; %>");
  PageSource page = compile("pages/p.asp");
  ASSERT_EQ(page.files, (std::vector<std::string>{"pages/p.asp", "include/conn.inc", "lib/f.inc"}));
  EXPECT_EQ(page.dependencies.size(), 3u);
  EXPECT_EQ(
      describe(page, page.scripts[0]),
      (std::vector<std::string>{
          "text@pages/p.asp:1 top\n", "code@include/conn.inc:1  var conn = 1; ",
          "text@include/conn.inc:1 \n", "text@lib/f.inc:1 \n", "code@lib/f.inc:2  var inF = 2; ",
          "text@pages/p.asp:2 \n", "code@pages/p.asp:3  var after; "}));
}

TEST_F(PageCompiler, ServerScriptBlocksGoToTheirLanguage) {
  site.write("lib/x.js", "function fromFile() {}");
  site.write("s.asp",
             "a<script runat=\"server\">\nfunction same() {}\n</script>b\n"
             "<SCRIPT LANGUAGE=Other RUNAT=SERVER>other code</SCRIPT>"
             "<script>client <%= 1 %></script>\n"
             "<script runat=server language=javascript src=\"lib/x.js\"></script><% done %>");
  PageSource page = compile("s.asp");
  ASSERT_EQ(page.scripts.size(), 2u);
  EXPECT_EQ(page.scripts[0].language, "other");
  EXPECT_EQ(describe(page, page.scripts[0]), (std::vector<std::string>{"code@s.asp:4 other code"}));
  EXPECT_EQ(page.scripts[1].language, "jscript");
  EXPECT_EQ(describe(page, page.scripts[1]),
            (std::vector<std::string>{
                "text@s.asp:1 a", "text@s.asp:3 b\n", "text@s.asp:4 <script>client ",
                "expr@s.asp:4  1 ", "text@s.asp:4 </script>\n", "code@s.asp:5  done ",
                "code@s.asp:1 \nfunction same() {}\n", "code@lib/x.js:1 function fromFile() {}"}));
}

TEST_F(PageCompiler, PlainCommentsStayText) {
  site.write("a.asp", "<!-- note --><!--#include nothing--><scripted>");
  PageSource page = compile("a.asp");
  ASSERT_EQ(page.chunks.size(), 1u);
  EXPECT_EQ(page.chunks[0], u"<!-- note --><!--#include nothing--><scripted>");
}

TEST_F(PageCompiler, GlobalAsaHoldsScriptBlocksOnly) {
  site.write("global.asa",
             "<!-- events -->\n<script language=JScript runat=server>\n"
             "function Application_OnStart() {}\n</script>\n");
  PageSource global = compile("global.asa", PageKind::GlobalAsa);
  ASSERT_EQ(global.scripts.size(), 1u);
  EXPECT_EQ(describe(global, global.scripts[0]),
            (std::vector<std::string>{"code@global.asa:2 \nfunction Application_OnStart() {}\n"}));
  site.write("bad.asa", "\n<% x %>");
  expectError("bad.asa", "only <script runat=\"server\"> blocks", "bad.asa", 2,
              PageKind::GlobalAsa);
}

TEST_F(PageCompiler, IncludeCyclesMissingFilesAndEscapesAreErrors) {
  site.write("a.inc", "\n<!--#include file=\"b.inc\"-->");
  site.write("b.inc", "<!--#include file=\"A.INC\"-->");
  site.write("cycle.asp", "<!--#include file=\"a.inc\"-->");
  expectError("cycle.asp", "include cycle", "b.inc", 1);
  site.write("missing.asp", "x\n<!--#include file=\"nope.inc\"-->");
  expectError("missing.asp", "not found", "missing.asp", 2);
  site.write("escape.asp", "<!--#include file=\"../../etc/passwd\"-->");
  expectError("escape.asp", "outside the site root", "escape.asp", 1);
  site.write("open.asp", "a\nb <% var x = 1;\n");
  expectError("open.asp", "missing %>", "open.asp", 2);
  site.write("py.asp", "<%@ Language=Python %>");
  expectError("py.asp", "unsupported script language python", "py.asp", 1);
  site.write("block.asp", "\n<script runat=server language=perl>1</script>");
  expectError("block.asp", "unsupported script language perl", "block.asp", 2);
  site.write("unclosed.asp", "<script runat=server>var a;");
  expectError("unclosed.asp", "missing </script>", "unclosed.asp", 1);
}

TEST_F(PageCompiler, AnUnknownCodePageIsACompileError) {
  for (const char* page : {"<%@ CodePage=972 %>x", "<%@ CodePage=abc %>x", "<%@ CodePage=-1 %>x"}) {
    site.write("p.asp", page);
    expectError("p.asp", "invalid code page", "p.asp", 1);
  }
}

TEST_F(PageCompiler, SameIncludeTwiceIsNoCycle) {
  site.write("x.inc", "x");
  site.write("a.asp", "<!--#include file=\"x.inc\"--><!--#include file=\"x.inc\"-->");
  EXPECT_EQ(compile("a.asp").chunks.size(), 2u);
}

TEST_F(PageCompiler, CodePage936PagesAreDecodedAsGbk) {
  site.write("g.asp", "<%@ CodePage=936 %>" + automation::encodeCodePage(u"中文", 936));
  PageSource page = compile("g.asp");
  EXPECT_EQ(page.codePage, 936);
  ASSERT_EQ(page.chunks.size(), 1u);
  EXPECT_EQ(page.chunks[0], u"中文");
}

}  // namespace
}  // namespace host
