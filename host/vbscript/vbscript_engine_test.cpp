// VBScript pages in the host: the default language of pages without a directive, page text
// inside blocks, includes and server script blocks, the page objects (Session item assignment
// kept across requests), components bound to the page, arguments written back through
// components, errors with the line the author wrote, Response.End, the deadline, global.asa.
#include <gtest/gtest.h>

#include <sstream>

#include "render_command.h"
#include "test_site.h"

namespace host {
namespace {

using host_test::Client;
using host_test::pageEvents;
using host_test::TestSite;
using host_test::TestSiteOptions;
using Events = std::vector<std::string>;

TestSiteOptions inVBScript(std::vector<std::pair<std::string, std::string>> files = {}) {
  TestSiteOptions options;
  options.settings = [](SiteSettings& s) { s.defaultLanguage = "vbscript"; };
  options.files = std::move(files);
  return options;
}

TEST(VBScriptPages, APageWithoutDirectiveIsVBScriptUnlessTheHostSaysOtherwise) {
  TestSite site;
  site.write("p.asp", "<%= \"a\" & \"b\" %>");
  auto render = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", site.root().string()});
    args.push_back("p.asp");
    std::ostringstream out, err;
    EXPECT_EQ(runRender(args, site.registry(), out, err), 0) << err.str();
    return out.str();
  };
  EXPECT_EQ(render({}), "ab");
  EXPECT_EQ(render({"--default-language", "JScript"}), "0");  // "a" & "b" in JScript
  site.write("p.asp", "<%@ Language=\"VBScript\" %><%= \"a\" & \"b\" %>");
  EXPECT_EQ(render({"--default-language", "jscript"}), "ab");
}

TEST(VBScriptPages, PageTextInsideBlocksIncludesAndScriptBlocks) {
  TestSite site(inVBScript());
  site.write("inc/list.inc",
             "<% Sub Item(v) %><li><%= v %></li><% End Sub\nConst kTitle = \"T\" %>");
  site.write("p.asp",
             "<!--#include file=\"inc/list.inc\"-->\n<h1><%= kTitle %></h1>\n"
             "<% If Request.QueryString(\"n\") > 1 Then %><ul><%\n"
             "  For i = 1 To Request.QueryString(\"n\")\n    Item i * Twice(1)\n  Next %></ul>"
             "<% Else %>none<% End If %>\n"
             "<script language=\"VBScript\" runat=\"server\">\n"
             "Function Twice(x)\n  Twice = x * 2\nEnd Function\n</script>");
  EXPECT_EQ(site.run("p.asp", host_test::at("/p.asp?n=3")).body,
            "\n<h1>T</h1>\n<ul><li>2</li><li>4</li><li>6</li></ul>\n");
  EXPECT_EQ(site.run("p.asp", host_test::at("/p.asp?n=1")).body, "\n<h1>T</h1>\nnone\n");
}

TEST(VBScriptPages, SessionItemsAreAssignedAndKeptBetweenRequests) {
  TestSite site(inVBScript());
  site.write("count.asp",
             "<% Session(\"n\") = Session(\"n\") + 1\nSession.Contents(\"last\") = Now()\n"
             "Response.Write Session(\"n\") & \"/\" & TypeName(Session(\"last\")) %>");
  Client a(site), b(site);
  EXPECT_EQ(a.run("count.asp").body, "1/Date");
  EXPECT_EQ(a.run("count.asp").body, "2/Date");
  EXPECT_EQ(b.run("count.asp").body, "1/Date");
}

TEST(VBScriptPages, ServerCreateObjectBindsThePagePlainCreateObjectDoesNot) {
  host_test::clearPageEvents();
  TestSite site(inVBScript());
  HttpReply r = site.page(
      "<% Set a = Server.CreateObject(\"test.Probe\")\nSet b = CreateObject(\"test.Probe\")\n"
      "a(\"k\") = \"v\"\nb.Name = \"plain\"\n"
      "Response.Write a(\"k\") & b.Name & a.Bag(2) & a.Bag.Count\n"
      "For Each x In a.Bag: Response.Write \",\" & x: Next %>");
  EXPECT_FALSE(r.failure);
  EXPECT_EQ(r.body, "vplainb3,a,b,3");
  EXPECT_EQ(pageEvents(), (Events{"start 1", "context ok", "end 1"}));
  HttpReply unknown = site.page(
      "<% On Error Resume Next\nSet x = CreateObject(\"no.Such\")\n"
      "Response.Write Err.Number %>");
  EXPECT_EQ(unknown.body, "429");
}

TEST(VBScriptPages, ArgumentsPassedByReferenceAreWrittenBack) {
  TestSite site(inVBScript());
  HttpReply r = site.page(
      "<% Set p = Server.CreateObject(\"test.Probe\")\ns = \"  padded  \"\np.Tidy s\n"
      "kept = \"  kept  \"\np.Tidy (kept)\n"
      "Response.Write \"[\" & s & \"][\" & kept & \"]\" %>");
  EXPECT_FALSE(r.failure) << r.body;
  // A parenthesized argument is an expression: passed by value, as VBScript has it.
  EXPECT_EQ(r.body, "[padded][  kept  ]");
}

TEST(VBScriptPages, ErrorsNameTheLineAndReachOnErrorResumeNext) {
  TestSite site(inVBScript());
  site.write("inc/bad.inc", "<%\nx = 1\ny = \"a\" * 2 %>");
  HttpReply r = site.page("kept\n<!--#include file=\"inc/bad.inc\"-->");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.status, 500);
  EXPECT_EQ(failureSummary(*r.failure), "error 800A000D: Type mismatch (inc/bad.inc:3)");
  EXPECT_TRUE(r.body.starts_with("kept\n")) << r.body;
  EXPECT_NE(r.body.find("inc/bad.inc:3"), std::string::npos);

  HttpReply compile = site.page("<% x = 1 %>\n\n<% If x Then\n y = ( %>");
  ASSERT_TRUE(compile.failure);
  EXPECT_EQ(compile.failure->category, u"Microsoft VBScript compilation error");
  EXPECT_EQ(compile.failure->where.line, 4);

  HttpReply caught = site.page(
      "<% On Error Resume Next\nSet p = Server.CreateObject(\"test.Probe\")\n"
      "p.Fail &h80040005, \"bad thing\"\nResponse.Write Hex(Err.Number) & \" \" & Err.Source & "
      "\": \" & Err.Description\nErr.Clear\nOn Error GoTo 0\np.Fail 5, \"uncaught\" %>");
  ASSERT_TRUE(caught.failure);
  EXPECT_TRUE(caught.body.starts_with("80040005 Probe: bad thing")) << caught.body;
  EXPECT_EQ(caught.failure->where.line, 7);
  EXPECT_EQ(caught.failure->category, u"Probe");
}

TEST(VBScriptPages, AnErrorInAnExecutedPageNamesItsOwnLine) {
  TestSite site(inVBScript());
  site.write("inner.asp", "<% Option Explicit\nundeclared = 2 %>");
  HttpReply r = site.page("a<% Server.Execute \"inner.asp\" %>b");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(failureSummary(*r.failure),
            "error 800A01F4: Variable is undefined: 'undeclared' (inner.asp:2)");
  EXPECT_TRUE(r.body.starts_with("a\r\n<div class=hostError")) << r.body;
}

TEST(VBScriptPages, ResponseEndStopsQuietlyAndComponentsStillEnd) {
  host_test::clearPageEvents();
  TestSite site(inVBScript());
  HttpReply r = site.page(
      "<% On Error Resume Next\nSet a = Server.CreateObject(\"test.Probe\")\n"
      "Response.Write \"one\"\nResponse.End\nResponse.Write \"two\" %>three");
  EXPECT_FALSE(r.failure);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "one");
  EXPECT_EQ(pageEvents(), (Events{"start 1", "context ok", "end 1"}));
}

TEST(VBScriptPages, ARunawayPageStopsAtTheDeadline) {
  TestSiteOptions options = inVBScript();
  options.timeout = std::chrono::milliseconds(200);
  TestSite quick(options);
  HttpReply r = quick.page("<% On Error Resume Next\nDo\n  n = n + 1\nLoop %>");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.status, 500);
  EXPECT_EQ(r.failure->where.file, "t.asp");
  EXPECT_NE(r.failure->description.find(u"time"), Text::npos);
}

TEST(VBScriptPages, GlobalAsaEventsInVBScript) {
  TestSite site(inVBScript({{"global.asa",
                             "<script language=\"VBScript\" runat=\"server\">\n"
                             "Sub Application_OnStart\n  Application(\"visits\") = 0\nEnd Sub\n"
                             "Sub Session_OnStart\n  Application.Lock\n"
                             "  Application(\"visits\") = Application(\"visits\") + 1\n"
                             "  Application.Unlock\n  Session(\"n\") = Application(\"visits\")\n"
                             "End Sub\n</script>\n"}}));
  site.write("show.asp", "<%= Session(\"n\") %>/<%= Application(\"visits\") %>");
  Client a(site), b(site);
  EXPECT_EQ(a.run("show.asp").body, "1/1");
  EXPECT_EQ(b.run("show.asp").body, "2/2");
  EXPECT_EQ(a.run("show.asp").body, "1/2");
}

}  // namespace
}  // namespace host
