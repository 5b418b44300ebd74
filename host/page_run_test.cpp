// Page binding: OnStartPage with the scripting context when Server.CreateObject makes an
// object, OnEndPage for each of them when the page ends, failed or not.
#include "page_runner.h"

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
  PageResponse r = site.page(
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
  PageResponse r = site.page("<% var a = Server.CreateObject('test.Probe');\nnoSuchFunction(); %>");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->where.line, 2);
  EXPECT_EQ(pageEvents(), (Events{"start 1", "context ok", "end 1"}));
}

TEST_F(PageEvents, EndPageRunsAfterResponseEnd) {
  site.page("<% var a = Server.CreateObject('test.Probe'); Response.End(); %>");
  EXPECT_EQ(pageEvents(), (Events{"start 1", "context ok", "end 1"}));
}

TEST_F(PageEvents, FailingEndPageFailsThePageButOthersStillEnd) {
  PageResponse r = site.page(
      "<% var a = Server.CreateObject('test.Probe'); a.FailAtEnd();\n"
      "var b = Server.CreateObject('test.Probe'); %>done");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.status, 500);
  EXPECT_EQ(r.failure->summary(), "error 80040001: end failed (t.asp)");
  EXPECT_TRUE(r.body.starts_with("done"));
  EXPECT_EQ(pageEvents(),
            (Events{"start 1", "context ok", "start 2", "context ok", "end 1", "end 2"}));
}

TEST_F(PageEvents, UnknownProgIdFailsWithInvalidClassString) {
  PageResponse r = site.page("x<% Server.CreateObject('balance.Nothing'); %>");
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->code, static_cast<automation::HRESULT>(0x800401F3));
  EXPECT_TRUE(pageEvents().empty());
}

TEST(PageRunner, ErrorBlockFollowsTheOutputAndNamesTheIncludeLine) {
  TestSite site;
  site.write("inc/lib.inc", "<%\nfunction broken() {\n  return missing.value;\n}\n%>");
  site.write("p.asp", "<!--#include file=\"inc/lib.inc\"-->\nbefore <% broken(); %> after");
  PageResponse r = site.run("p.asp");
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

TEST(PageRunner, RequestObjectsSeeTheRequest) {
  TestSite site;
  site.write("r.asp",
             "<%@ CodePage=65001 %><%= Request.QueryString('q') %>|<%= Request.Form('f') %>|"
             "<%= Request('f') %>|<%= Request.ServerVariables('URL') %>|"
             "<%= Request.ServerVariables('HTTP_X_TEST') %>|<%= Request.Cookies('c') %>|"
             "<%= Request.TotalBytes %>|<%= Request.ServerVariables('REQUEST_METHOD') %>|"
             "<% var n = Request.TotalBytes; var raw = Request.BinaryRead(n); %><%= raw.length %>");
  PageRequest req;
  req.method = "POST";
  req.url = "/r.asp";
  req.query = "q=%E4%B8%AD";
  req.body = "f=1&f=2";
  req.contentType = "application/x-www-form-urlencoded";
  req.headers = {{"X-Test", "yes"}, {"Cookie", "a=b; c=d%20e"}};
  PageResponse r = site.run("r.asp", req);
  EXPECT_FALSE(r.failure) << r.failure->summary();
  EXPECT_EQ(r.body, "中|1, 2|1, 2|/r.asp|yes|d e|7|POST|7");
  EXPECT_EQ(r.headers.front(),
            (std::pair<std::string, std::string>("Content-Type", "text/html; charset=utf-8")));
}

TEST(PageRunner, ApplicationLockOfAFailedPageIsReleased) {
  TestSite site;
  EXPECT_TRUE(site.page("<% Application.Lock(); Application.Lock(); noSuch(); %>").failure);
  std::thread other([&site] {
    PageResponse r = site.page(
        "<% Application.Lock(); Application('n') = 1; Application.Unlock(); "
        "Application.Unlock(); %><%= Application('N') %>");
    EXPECT_EQ(r.body, "1");
  });
  other.join();
}

TEST(PageRunner, Gbk936PagesAreSentInGbk) {
  TestSite site;
  site.write("g.asp", "<%@ CodePage=936 %>" + automation::encodeCodePage(u"中", 936) +
                          "<%= Server.MapPath('x.txt') == Server.MapPath('/x.txt') %>");
  PageResponse r = site.run("g.asp");
  EXPECT_EQ(r.body, automation::encodeCodePage(u"中", 936) + "True");
  EXPECT_EQ(r.headers.front().second, "text/html; charset=gbk");
}

}  // namespace
}  // namespace host
