// Page runs: OnStartPage with the scripting context when Server.CreateObject makes an object,
// OnEndPage for each of them when the page ends, failed or not; the request's objects; pages run
// inside pages (Server.Execute, Server.Transfer) and the custom error page.
#include "page_run.h"

#include <gtest/gtest.h>

#include <thread>

#include "test_site.h"

namespace host {
namespace {

using host_test::pageEvents;
using host_test::TestSite;
using Events = std::vector<std::string>;

class PageEvents : public ::testing::Test {
 protected:
  void SetUp() override { host_test::clearPageEvents(); }
  TestSite site;
};

TEST_F(PageEvents, StartAtCreationEndAfterThePageInCreationOrder) {
  HttpReply r = site.page(
      "<% var a = Server.CreateObject('test.Probe');\n"
      "var plain = Server.CreateObject('test.Plain');\n"
      "var b = Server.CreateObject('TEST.PROBE');\n"
      "Response.Write(plain.Echo('p') + a.Echo('a')); %>");
  EXPECT_FALSE(r.failure);
  EXPECT_EQ(r.body, "pa");
  EXPECT_EQ(pageEvents(),
            (Events{"start 1", "context ok", "start 2", "context ok", "end 1", "end 2"}));
}

TEST_F(PageEvents, EndPageRunsWhenThePageFails) {
  HttpReply r = site.page("<% var a = Server.CreateObject('test.Probe');\nnoSuchFunction(); %>");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->where.line, 2);
  EXPECT_EQ(pageEvents(), (Events{"start 1", "context ok", "end 1"}));
}

TEST_F(PageEvents, EndPageRunsAfterResponseEnd) {
  site.page("<% var a = Server.CreateObject('test.Probe'); Response.End(); %>");
  EXPECT_EQ(pageEvents(), (Events{"start 1", "context ok", "end 1"}));
}

TEST_F(PageEvents, FailingEndPageFailsThePageButOthersStillEnd) {
  HttpReply r = site.page(
      "<% var a = Server.CreateObject('test.Probe'); a.FailAtEnd();\n"
      "var b = Server.CreateObject('test.Probe'); %>done");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.status, 500);
  EXPECT_EQ(failureSummary(*r.failure), "error 80040001: end failed (t.asp)");
  EXPECT_TRUE(r.body.starts_with("done"));
  EXPECT_EQ(pageEvents(),
            (Events{"start 1", "context ok", "start 2", "context ok", "end 1", "end 2"}));
}

TEST_F(PageEvents, UnknownProgIdFailsWithInvalidClassString) {
  HttpReply r = site.page("x<% Server.CreateObject('balance.Nothing'); %>");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->code, static_cast<automation::HRESULT>(0x800401F3));
  EXPECT_TRUE(pageEvents().empty());
}

TEST(PageRun, ErrorBlockFollowsTheOutputAndNamesTheIncludeLine) {
  TestSite site;
  site.write("inc/lib.inc", "<%\nfunction broken() {\n  return missing.value;\n}\n%>");
  site.write("p.asp", "<!--#include file=\"inc/lib.inc\"-->\nbefore <% broken(); %> after");
  HttpReply r = site.run("p.asp");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.status, 500);
  EXPECT_EQ(r.failure->where.file, "inc/lib.inc");
  EXPECT_EQ(r.failure->where.line, 3);
  std::string block =
      "<div class=hostError style='border:1px solid #c00;color:#c00;"
      "background:#fff;padding:4px;margin:4px;font:12px monospace'>error 800A1391: "
      "identifier &#39;missing&#39; undefined (inc/lib.inc:3)</div>\r\n";
  EXPECT_EQ(r.body, "\nbefore \r\n" + block);
}

TEST(PageRun, RequestObjectsSeeTheRequest) {
  TestSite site;
  site.write("r.asp",
             "<%@ CodePage=65001 %><%= Request.QueryString('q') %>|<%= Request.Form('f') %>|"
             "<%= Request('f') %>|<%= Request.ServerVariables('URL') %>|"
             "<%= Request.ServerVariables('HTTP_X_TEST') %>|<%= Request.Cookies('c') %>|"
             "<%= Request.TotalBytes %>|<%= Request.ServerVariables('REQUEST_METHOD') %>|"
             "<% var n = Request.TotalBytes; var raw = Request.BinaryRead(n); %><%= raw.length %>");
  PageRequest req;
  req.method = "POST";
  req.target = "/r.asp?q=%E4%B8%AD";
  req.body = "f=1&f=2";
  req.contentType = "application/x-www-form-urlencoded";
  req.headers = {{"X-Test", "yes"}, {"Cookie", "a=b; c=d%20e"}};
  HttpReply r = site.run("r.asp", req);
  EXPECT_FALSE(r.failure) << failureSummary(*r.failure);
  EXPECT_EQ(r.body, "中|1, 2|1, 2|/r.asp|yes|d e|7|POST|7");
  EXPECT_EQ(r.headers.front(),
            (std::pair<std::string, std::string>("Content-Type", "text/html; charset=utf-8")));
}

TEST(PageRun, ApplicationLockOfAFailedPageIsReleased) {
  TestSite site;
  EXPECT_TRUE(site.page("<% Application.Lock(); Application.Lock(); noSuch(); %>").failure);
  std::thread other([&site] {
    HttpReply r = site.page(
        "<% Application.Lock(); Application('n') = 1; Application.Unlock(); "
        "Application.Unlock(); %><%= Application('N') %>");
    EXPECT_EQ(r.body, "1");
  });
  other.join();
}

TEST(PageRun, Gbk936PagesAreSentInGbk) {
  TestSite site;
  site.write("g.asp", "<%@ CodePage=936 %>" + automation::encodeCodePage(u"中", 936) +
                          "<%= Server.MapPath('x.txt') == Server.MapPath('/x.txt') %>");
  HttpReply r = site.run("g.asp");
  EXPECT_EQ(r.body, automation::encodeCodePage(u"中", 936) + "True");
  EXPECT_EQ(r.headers.front().second, "text/html; charset=gbk");
}

TEST(PageRun, ExecuteRunsAPageInTheSameRequestAndComesBack) {
  TestSite site;
  site.write("lib/part.asp",
             "[part <%= Request.QueryString('q') %> <%= Server.MapPath('x') == "
             "Server.MapPath('/lib/x') %> <% Session('seen') = 'yes'; %>]");
  site.write("main.asp", "a<% Server.Execute('lib/part.asp'); %>b<%= Session('seen') %>");
  HttpReply r = site.run("main.asp", host_test::at("/main.asp?q=7"));
  EXPECT_FALSE(r.failure);
  EXPECT_EQ(r.body, "a[part 7 True ]byes");
}

TEST(PageRun, TransferEndsTheCallerAndEndInsideEndsBoth) {
  TestSite site;
  site.write("to.asp", "[to]");
  site.write("from.asp", "a<% Server.Transfer('to.asp'); Response.Write('never'); %>never");
  EXPECT_EQ(site.run("from.asp").body, "a[to]");
  site.write("ends.asp", "[e<% Response.End(); %>never]");
  site.write("caller.asp", "a<% Server.Execute('ends.asp'); %>never");
  HttpReply r = site.run("caller.asp");
  EXPECT_FALSE(r.failure);
  EXPECT_EQ(r.body, "a[e");
}

TEST(PageRun, AnErrorInAnExecutedPageNamesItsOwnLine) {
  TestSite site;
  site.write("bad.asp", "x\n<% null.y; %>");
  site.write("caught.asp",
             "<% try { Server.Execute('bad.asp'); } catch (e) { Response.Write('|' + "
             "(e.number >>> 0).toString(16)); } %>");
  HttpReply caught = site.run("caught.asp");
  EXPECT_FALSE(caught.failure);
  EXPECT_EQ(caught.body, "x\n|800a01b6");
  site.write("uncaught.asp", "<%\nServer.Execute('bad.asp'); %>");
  HttpReply r = site.run("uncaught.asp");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->where.file, "bad.asp");
  EXPECT_EQ(r.failure->where.line, 2);
  site.write("loop.asp", "<% Server.Execute('loop.asp'); %>");
  HttpReply loop = site.run("loop.asp");
  ASSERT_TRUE(loop.failure);
  EXPECT_NE(failureSummary(*loop.failure).find("Too many pages"), std::string::npos);
  for (const char* path : {"../outside.asp", "style.css", "missing.asp"}) {
    site.write("p.asp", std::string("<% Server.Execute('") + path + "'); %>");
    EXPECT_TRUE(site.run("p.asp").failure) << path;
  }
}

TEST(PageRun, TheErrorPageGetsTheErrorAndReplacesWhatWasNotSent) {
  TestSite site(host_test::withSettings([](SiteSettings& s) { s.errorPage = "errors/500.asp"; }));
  site.write("errors/500.asp",
             "<% var e = Server.GetLastError(); %>sorry: <%= e.Number %>|<%= e.Description %>|"
             "<%= e.File %>|<%= e.Line %>|<%= e.Category %>");
  site.write("p.asp",
             "written\n<%\nServer.CreateObject('test.Probe').Fail(-2147221503, 'went');"
             " %>");
  HttpReply r = site.run("p.asp");
  EXPECT_EQ(r.status, 500);
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(failureSummary(*r.failure), "error 80040001: went (p.asp:3)");
  EXPECT_EQ(r.body, "sorry: -2147221503|went|/p.asp|3|Probe");
  // Outside an error page there is no error, and an error page that fails shows its own error.
  EXPECT_EQ(site.page("<%= Server.GetLastError().Number %>").body, "0");
  site.write("errors/500.asp", "<% null.x; %>");
  HttpReply both = site.run("p.asp");
  EXPECT_EQ(both.status, 500);
  EXPECT_NE(both.body.find("errors/500.asp:1"), std::string::npos) << both.body;
}

TEST(PageRun, ServerScriptBlocksRunAfterThePageInItsLanguage) {
  TestSite site;
  site.write("s.asp",
             "<script language=\"JScript\" runat=\"server\">\nvar late = 'set';\n"
             "function twice(x) { return x * 2; }\n</script>"
             "<%= twice(21) %> <%= typeof late %><script>client()</script>"
             "<SCRIPT RUNAT=Server src=\"lib/more.js\"></SCRIPT><%= more() %>");
  site.write("lib/more.js", "function more() { return 'more'; }");
  HttpReply r = site.run("s.asp");
  EXPECT_FALSE(r.failure);
  EXPECT_EQ(r.body, "42 undefined<script>client()</script>more");
}

TEST(PageRun, URLPathEncodeFromAPage) {
  TestSite site;
  EXPECT_EQ(site.page("<%= Server.URLPathEncode('/a b/中?x=y z') %>").body,
            "/a%20b/%E4%B8%AD?x=y z");
}

}  // namespace
}  // namespace host
