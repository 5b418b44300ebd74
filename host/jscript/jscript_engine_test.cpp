// The JScript engine: marshalling in both directions, object wrappers and member proxies,
// automation errors in scripts, the execution deadline, Response.End and the fresh global
// environment.
#include "jscript/jscript_engine.h"

#include <gtest/gtest.h>

#include "test_site.h"

#include <algorithm>

namespace host::jscript {
namespace {

using host::HttpReply;
using host::SiteSettings;
using host_test::TestSite;

std::string body(TestSite& site, const std::string& source) {
  HttpReply r = site.page(source);
  EXPECT_FALSE(r.failure) << failureSummary(*r.failure);
  return r.body;
}

TEST(Marshalling, ScriptValuesBecomeVariants) {
  TestSite site;
  EXPECT_EQ(body(site,
                 "<% var p = Server.CreateObject('test.Probe'); var t = [ p.TypeOf('s'), "
                 "p.TypeOf(5), p.TypeOf(-2147483648), p.TypeOf(2147483648), p.TypeOf(2.5), "
                 "p.TypeOf(true), p.TypeOf(null), p.TypeOf(undefined), p.TypeOf(new Date()), "
                 "p.TypeOf(new Uint8Array(2)), p.TypeOf(p), p.TypeOf(p.Self()) ]; %>"
                 "<%= t.join(',') %>"),
            "8,3,3,5,5,11,1,0,7,8209,9,9");
}

// Booleans are written as the variant conversion writes them: True and False.
TEST(Marshalling, VariantsBecomeScriptValues) {
  TestSite site;
  EXPECT_EQ(body(site,
                 "<% var p = Server.CreateObject('test.Probe'); var d = p.Make('date'); "
                 "var b = p.Make('bytes'); var a = p.Make('array'); %>"
                 "<%= typeof p.Make('i2') %> <%= p.Make('i4') %> <%= p.Make('r8') %> "
                 "<%= p.Make('bool') === true %> <%= p.Make('null') === null %> "
                 "<%= p.Make('empty') === undefined %> <%= p.Make('text') %> "
                 "<%= d instanceof Date %> <%= [d.getFullYear(), d.getMonth() + 1, d.getDate(), "
                 "d.getHours(), d.getMinutes(), d.getSeconds()].join('-') %> "
                 "<%= b instanceof Uint8Array %> <%= [b.length, b[0], b[2]].join('-') %> "
                 "<%= Array.isArray(a) %> <%= a[0] + a[1] %>"),
            "number 70000 2.5 True True True 文字 True 2024-2-29-13-45-10 True 3-1-255 True 1b");
}

TEST(Marshalling, RoundTripsKeepValues) {
  TestSite site;
  EXPECT_EQ(
      body(site,
           "<% var p = Server.CreateObject('test.Probe'); var d = new Date(2020, 0, 2, 3, 4, 5);"
           " var u = p.Echo(new Uint8Array([9, 8])); %>"
           "<%= p.Echo(d).getTime() === d.getTime() %> <%= p.Echo('\\u00e9\\ud83d\\ude00') === "
           "'\\u00e9\\ud83d\\ude00' %> <%= p.Echo(1.5) %> <%= u[0] * 10 + u[1] %>"),
      "True True 1.5 98");
}

TEST(ObjectWrappers, PropertiesMethodsAndDefaultMember) {
  TestSite site;
  EXPECT_EQ(body(site,
                 "<% var p = Server.CreateObject('test.Probe');\n"
                 "var before = p.NAME;\n"
                 "p.Name = 'renamed';\n"
                 "p('k') = 5;\n"
                 "p(\"k\") += 2;\n"
                 "p.Item('j') = 'x';\n"
                 "%><%= before %> <%= p.name %> <%= p('k') %> <%= p.Item('j') %> <%= p.Count() %> "
                 "<%= p.Count(10) %> <%= p.Self().Name %>"),
            "probe renamed 7 x 2 12 renamed");
}

TEST(ObjectWrappers, SessionAndApplicationItems) {
  TestSite site;
  host_test::Client client(site);
  site.write("s.asp",
             "<% Session(\"n\") = (Session(\"n\") || 0) + 1; Application('a') = 'app';\n"
             "%><%= Session('N') %> <%= Session.Contents('n') %> <%= Application(\"A\") %>");
  EXPECT_EQ(client.run("s.asp").body, "1 1 app");
  EXPECT_EQ(client.run("s.asp").body, "2 2 app");
  EXPECT_TRUE(
      automation::equals(site.site().application()->get(u"a"), automation::Variant(u"app")));
}

TEST(ScriptErrors, AutomationErrorsAreCatchableWithNumberAndDescription) {
  TestSite site;
  EXPECT_EQ(body(site,
                 "<% var p = Server.CreateObject('test.Probe');\n"
                 "try { p.Fail(-2147467259, 'boom'); } catch (e) {\n"
                 "  Response.Write(e.number + '|' + e.description + '|' + (e instanceof Error));\n"
                 "}\n"
                 "try { p.NoSuchMember(); } catch (e) { Response.Write('|' + (e.number >>> "
                 "0).toString(16)); }\n"
                 "try { Server.CreateObject('no.Such'); } catch (e) { Response.Write('|' + "
                 "(e.number >>> 0).toString(16)); }\n"
                 "%>"),
            "-2147467259|boom|true|80020006|800401f3");
}

TEST(ScriptErrors, UncaughtAutomationErrorNamesTheLine) {
  TestSite site;
  HttpReply r = site.page(
      "one\n<% var p = Server.CreateObject('test.Probe');\n\n"
      "p.Fail(-2147221503, 'went <wrong>'); %>never");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.status, 500);
  EXPECT_EQ(failureSummary(*r.failure), "error 80040001: went <wrong> (t.asp:4)");
  EXPECT_TRUE(r.body.starts_with("one\n")) << r.body;
  EXPECT_NE(r.body.find("error 80040001: went &lt;wrong&gt; (t.asp:4)"), std::string::npos);
  EXPECT_EQ(r.body.find("never"), std::string::npos);
}

TEST(ScriptErrors, SyntaxErrorsAndThrownValues) {
  TestSite site;
  HttpReply syntax = site.page("a\n<% var = ; %>");
  ASSERT_TRUE(syntax.failure);
  EXPECT_EQ(syntax.failure->code, static_cast<automation::HRESULT>(0x800A03EA));
  EXPECT_EQ(syntax.failure->where.line, 2);
  HttpReply thrown = site.page("<%\nfunction f() {\n  throw 'plain';\n}\nf(); %>");
  ASSERT_TRUE(thrown.failure);
  EXPECT_EQ(failureSummary(*thrown.failure), "error 800A139E: plain (t.asp:3)");
}

TEST(ScriptRuntime, RunawayScriptStopsAtTheDeadline) {
  TestSite site(std::chrono::milliseconds(300));
  auto started = std::chrono::steady_clock::now();
  HttpReply r = site.page(
      "a<% try { for (;;) {} } catch (e) { Response.Write('caught'); }\n"
      "for (;;) {} %>");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->description, u"script timed out");
  EXPECT_EQ(r.body.find("caught"), std::string::npos);
  EXPECT_TRUE(r.body.starts_with("a"));
  // The heap runs the next page normally.
  EXPECT_EQ(body(site, "<%= 1 + 1 %>"), "2");
}

TEST(ScriptRuntime, ResponseEndStopsThePageWithoutError) {
  TestSite site;
  EXPECT_EQ(body(site,
                 "a<% try { Response.End(); } catch (e) { Response.Write('b'); }\n"
                 "Response.Write('c'); %>d"),
            "a");
  HttpReply moved = site.page("<% Response.Redirect('/elsewhere'); %>x");
  EXPECT_EQ(moved.status, 302);
  EXPECT_FALSE(moved.failure);
  EXPECT_NE(std::find(moved.headers.begin(), moved.headers.end(),
                      std::pair<std::string, std::string>("Location", "/elsewhere")),
            moved.headers.end());
}

TEST(ScriptRuntime, EveryRequestGetsFreshGlobals) {
  TestSite site;
  site.write("g.asp",
             "<%= typeof leftOver %> <%= typeof declared %> <%= typeof f %> <%= typeof this.mark %>"
             "<% leftOver = 1; var declared = 2; function f() {} this.mark = 3; %>"
             " <%= Math.max(1, 4) %> <%= JSON.stringify({a: [1]}) %>");
  EXPECT_EQ(site.run("g.asp").body, "undefined undefined function undefined 4 {\"a\":[1]}");
  // From the cached bytecode this time, on the same heap.
  EXPECT_EQ(site.run("g.asp").body, "undefined undefined function undefined 4 {\"a\":[1]}");
}

// One worker, so one heap: each run of a page is a closure of the same loaded program, and
// what one run declares must not be what the next run, or a run nested in it, finds.
TEST(ScriptRuntime, APagesGlobalsNeverReachTheNextPage) {
  TestSite site(host_test::withSettings([](SiteSettings& s) { s.executor.workers = 1; }));
  site.write("g.asp",
             "[<%= typeof secret %> <%= typeof keep %> <%= typeof count %>]"
             "<% var secret = Request.QueryString('s') + ''; function keep() { return secret; }"
             " count = (typeof count == 'number' ? count : 0) + 1; %>");
  site.write("outer.asp",
             "<% var secret = 'outer'; Server.Execute('g.asp'); Server.Execute('g.asp'); %>"
             "<%= secret %> <%= typeof count %>");
  PageRequest first;
  first.target = "/g.asp?s=first";
  EXPECT_EQ(site.run("g.asp", first).body, "[undefined function undefined]");
  EXPECT_EQ(site.run("g.asp").body, "[undefined function undefined]");
  EXPECT_EQ(site.run("outer.asp").body,
            "[undefined function undefined][undefined function undefined]outer undefined");
  EXPECT_EQ(site.run("g.asp").body, "[undefined function undefined]");
}

TEST(ScriptRuntime, ChangedPagesAreCompiledAgain) {
  TestSite site;
  site.write("c.asp", "old");
  EXPECT_EQ(site.run("c.asp").body, "old");
  site.write("c.asp", "new!");
  std::filesystem::last_write_time(
      site.root() / "c.asp",
      std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
  EXPECT_EQ(site.run("c.asp").body, "new!");
}

// The program line of `marker`, 1-based.
int programLineOf(const ProgramText& p, std::u16string_view marker) {
  std::size_t at = p.text.find(marker);
  EXPECT_NE(at, Text::npos) << automation::toUtf8(marker);
  return 1 + static_cast<int>(std::count(p.text.begin(), p.text.begin() + at, u'\n'));
}

TEST(ProgramText, EveryLineMapsBackToThePageLine) {
  ScriptSource source{"jscript",
                      {{CodePiece::Kind::Literal, u"", 0, {0, 1}},
                       {CodePiece::Kind::Code,
                        u"\nvar a = 1;\nSession(\"k\") =\n  2;\nvar marker; // c",
                        0,
                        {0, 2}},
                       {CodePiece::Kind::Expression, u" a + 1; ", 0, {1, 7}},
                       {CodePiece::Kind::Literal, u"", 1, {1, 7}},
                       {CodePiece::Kind::Code, u"var last;", 0, {0, 9}}},
                      {"p.asp", "inc/x.inc"}};
  ProgramText p = programText(source);
  JScriptProgram program("", p.lines, source.files);
  EXPECT_NE(p.text.find(u"Session.$$put(\"k\","), Text::npos);
  EXPECT_NE(p.text.find(u"$$write( a + 1);$$text(1);"), Text::npos) << automation::toUtf8(p.text);
  EXPECT_EQ(program.locate(programLineOf(p, u"var a")).line, 3);
  EXPECT_EQ(program.locate(programLineOf(p, u"var marker")).line, 6);
  SourceLocation expr = program.locate(programLineOf(p, u"$$write"));
  EXPECT_EQ(expr.file, "inc/x.inc");
  EXPECT_EQ(expr.line, 7);
  EXPECT_EQ(program.locate(programLineOf(p, u"var last")).line, 9);
  EXPECT_EQ(program.locate(0).line, 0);
}

TEST(ObjectWrappers, MemberProxiesReadTheMembersValue) {
  TestSite site;
  EXPECT_EQ(body(site,
                 "<% var p = Server.CreateObject('test.Probe'); %>"
                 "<%= p.Bag.Count %> <%= p.Bag(2) %> <%= p.Bag.Item(3) %> <%= p.Bag('1') %> "
                 "<%= p.Bag + '' %> <%= p.Self() === p %> "
                 "<%= p.Self().Bag === p.Bag %> <%= typeof p.Bag.length %>"),
            "3 b 3 a [object Object] True True undefined");
  HttpReply unknown = site.page("<% Server.CreateObject('test.Probe').Bag.Nothing(); %>");
  ASSERT_TRUE(unknown.failure);
  EXPECT_EQ(failureSummary(*unknown.failure), "error 80020006: Unknown name: Nothing (t.asp:1)");
}

TEST(ObjectWrappers, AWrapperLeftOnTheSharedGlobalReachesNothing) {
  TestSite site(host_test::withSettings([](SiteSettings& s) { s.executor.workers = 1; }));
  host_test::Client client(site);
  site.write("leak.asp",
             "<% Session('secret') = 's'; Object.getPrototypeOf(this).leak = Session; %>");
  site.write("use.asp",
             "<% try { Response.Write(leak('secret')); } catch (e) { Response.Write((e.number >>> "
             "0).toString(16)); } %>");
  client.run("leak.asp");
  EXPECT_EQ(site.run("use.asp").body, "800a005b");
  EXPECT_EQ(site.page("<%= typeof Duktape %>").body, "undefined");
}

TEST(ScriptRuntime, ShadowingBuiltInsBreaksNothingOfTheHost) {
  TestSite site;
  EXPECT_EQ(body(site,
                 "<% var p = Server.CreateObject('test.Probe'); Date = 5; JSON = null; Error = 1;"
                 " Object.prototype.toJSON = function () { throw 'x'; }; %>"
                 "<%= p.Make('date').getFullYear() %> <%= p.TypeOf({a: 1}) %> "
                 "<%= p.Echo([1, 2]).length %>"),
            "2024 9 2");
}

}  // namespace
}  // namespace host::jscript
