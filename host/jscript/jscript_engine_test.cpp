// The script side of the host: marshalling in both directions, object wrappers, automation
// errors in scripts, the execution deadline, Response.End and the fresh global environment.
#include "script_runtime.h"

#include <gtest/gtest.h>

#include "test_site.h"

namespace host {
namespace {

using host_test::TestSite;

std::string body(TestSite& site, const std::string& source) {
  PageResponse r = site.page(source);
  EXPECT_FALSE(r.failure) << r.failure->summary();
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
  auto session = std::make_shared<asp::Session>();
  site.write("s.asp",
             "<% Session(\"n\") = (Session(\"n\") || 0) + 1; Application('a') = 'app';\n"
             "%><%= Session('N') %> <%= Session.Contents('n') %> <%= Application(\"A\") %>");
  EXPECT_EQ(site.run("s.asp", {}, session).body, "1 1 app");
  EXPECT_EQ(site.run("s.asp", {}, session).body, "2 2 app");
  EXPECT_TRUE(automation::equals(session->get(u"n"), automation::Variant(2)));
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
  PageResponse r = site.page(
      "one\n<% var p = Server.CreateObject('test.Probe');\n\n"
      "p.Fail(-2147221503, 'went <wrong>'); %>never");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.status, 500);
  EXPECT_EQ(r.failure->summary(), "error 80040001: went <wrong> (t.asp:4)");
  EXPECT_TRUE(r.body.starts_with("one\n")) << r.body;
  EXPECT_NE(r.body.find("error 80040001: went &lt;wrong&gt; (t.asp:4)"), std::string::npos);
  EXPECT_EQ(r.body.find("never"), std::string::npos);
}

TEST(ScriptErrors, SyntaxErrorsAndThrownValues) {
  TestSite site;
  PageResponse syntax = site.page("a\n<% var = ; %>");
  ASSERT_TRUE(syntax.failure);
  EXPECT_EQ(syntax.failure->code, static_cast<automation::HRESULT>(0x800A03EA));
  EXPECT_EQ(syntax.failure->where.line, 2);
  PageResponse thrown = site.page("<%\nfunction f() {\n  throw 'plain';\n}\nf(); %>");
  ASSERT_TRUE(thrown.failure);
  EXPECT_EQ(thrown.failure->summary(), "error 800A139E: plain (t.asp:3)");
}

TEST(ScriptRuntime, RunawayScriptStopsAtTheDeadline) {
  TestSite site(std::chrono::milliseconds(300));
  auto started = Clock::now();
  PageResponse r = site.page(
      "a<% try { for (;;) {} } catch (e) { Response.Write('caught'); }\n"
      "for (;;) {} %>");
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(10));
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
  PageResponse moved = site.page("<% Response.Redirect('/elsewhere'); %>x");
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

}  // namespace
}  // namespace host
