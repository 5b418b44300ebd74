// global.asa: Application_OnStart once before the first page, Session_OnStart for each new
// session, Session_OnEnd when a session is abandoned or the site closes, Application_OnEnd last.
#include <gtest/gtest.h>

#include <thread>

#include "test_site.h"

namespace host {
namespace {

using host_test::Client;
using host_test::header;
using host_test::TestSite;
using host_test::TestSiteOptions;

constexpr char kEvents[] = R"(<!-- the application's events -->
<script language="JScript" runat="server">
function Application_OnStart() {
  Application("started") = (Application("started") || 0) + 1;
  Application("visits") = 0;
  Application("ended") = "";
}
function Session_OnStart() {
  Application.Lock();
  Application("visits") = Application("visits") + 1;
  Application.Unlock();
  Session("n") = Application("visits");
  if (Request.QueryString("go") == "away") Response.Redirect("/elsewhere.asp");
}
function Session_OnEnd() {
  Application("ended") = Application("ended") + Session("n") + ";";
}
function Application_OnEnd() {
  Server.CreateObject("test.Probe").Name = "last";
}
</script>
)";

TestSiteOptions withEvents() {
  TestSiteOptions options;
  options.files = {{"global.asa", kEvents}};
  return options;
}

TEST(GlobalAsa, EventsRunOnceEachInTheirOrder) {
  host_test::clearPageEvents();
  TestSite site(withEvents());
  site.write("show.asp",
             "<%= Application('started') %>|<%= Session('n') %>|<%= Application('visits') %>|"
             "<%= Application('ended') %>");
  site.write("bye.asp", "<% Session.Abandon(); %>bye");
  Client a(site), b(site);
  HttpReply first = a.run("show.asp");
  EXPECT_EQ(first.body, "1|1|1|");
  EXPECT_NE(header(first, "Set-Cookie"), "") << "a session with events is kept";
  EXPECT_EQ(a.run("show.asp").body, "1|1|1|");
  EXPECT_EQ(b.run("show.asp").body, "1|2|2|");
  EXPECT_EQ(a.run("bye.asp").body, "bye");
  // Session_OnEnd runs once the abandoning page's reply is out.
  auto& application = *site.site().application();
  for (int i = 0;
       i < 200 && application.get(u"ended").isText() && application.get(u"ended").text().empty();
       ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(b.run("show.asp").body, "1|2|2|1;");
  EXPECT_EQ(a.run("show.asp").body, "1|3|3|1;") << "the abandoned session's cookie starts anew";

  site.site().shutdown();
  std::string ended = automation::toUtf8(automation::toText(application.get(u"ended")));
  EXPECT_TRUE(ended == "1;2;3;" || ended == "1;3;2;") << ended;
  EXPECT_EQ(host_test::pageEvents(), (std::vector<std::string>{"start 1", "context ok", "end 1"}))
      << "Application_OnEnd ran last, with its components ended";
}

TEST(GlobalAsa, SessionOnStartMayRedirectAndItsErrorsFailThePage) {
  TestSite site(withEvents());
  site.write("p.asp", "page");
  HttpReply moved = site.run("p.asp", host_test::at("/p.asp?go=away"));
  EXPECT_EQ(moved.status, 302);
  EXPECT_EQ(header(moved, "Location"), "/elsewhere.asp");
  EXPECT_EQ(moved.body.find("page"), std::string::npos);

  site.write("global.asa",
             "<script runat=server>\nfunction Session_OnStart() {\n  null.x;\n}\n</script>");
  HttpReply failed = site.run("p.asp");
  EXPECT_EQ(failed.status, 500);
  ASSERT_TRUE(failed.failure);
  EXPECT_EQ(failed.failure->where.file, "global.asa");
  EXPECT_EQ(failed.failure->where.line, 3);
}

TEST(GlobalAsa, ASiteWithoutItRunsAsBefore) {
  TestSite site;
  EXPECT_EQ(site.page("<%= typeof Application('started') %>").body, "undefined");
  site.site().shutdown();
}

}  // namespace
}  // namespace host
