// The site's request path: what is never served, case-insensitive paths, folders, sessions and
// their cookie, the one-at-a-time rule for the requests of a session (whose waiting requests hold
// no worker) and the bounds that answer 503.
#include "site.h"

#include <gtest/gtest.h>

#include <thread>

#include "site_paths.h"
#include "site_routes.h"
#include "test_site.h"

namespace host {
namespace {

using host_test::header;
using host_test::TestSite;

class SiteRequests : public ::testing::Test {
 public:
  SiteRequests() {
    site.write("index.asp", "home");
    site.write("Include/Style.css", "body{}");
    site.write("person/index.asp", "<% var secret = 'source'; %>person page");
    site.write("person/lib.inc", "<% var secret = 1; %>");
    site.write("data/site.db", "SQLite");
    site.write("app.db", "SQLite");
    site.write("app.db-wal", "x");
    site.write("other.sqlite", "x");
    site.write("schema.sql.txt", "x");
    site.write("global.asa", "<script runat=server>var secret;</script>");
    site.write(".hidden", "x");
    site.write("empty/readme.txt", "text");
  }

  TestSite site;
};

TEST_F(SiteRequests, StaticFilesAreFoundCaseInsensitively) {
  for (const char* target : {"/include/style.css", "/INCLUDE/STYLE.CSS", "/Include/Style.css",
                             "/person/../include/style.css", "/include//style.css?v=1"}) {
    HttpReply r = site.get(target);
    EXPECT_EQ(r.status, 200) << target;
    EXPECT_EQ(r.body, "body{}") << target;
    EXPECT_EQ(r.headers.front().second, "text/css; charset=utf-8") << target;
  }
}

TEST_F(SiteRequests, AKeptFileIsNeverSentStale) {
  EXPECT_EQ(site.get("/include/style.css").body, "body{}");
  site.write("Include/Style.css", "body{color:red}");
  EXPECT_EQ(site.get("/include/style.css").body, "body{color:red}");
  std::filesystem::remove(site.root() / "Include/Style.css");
  EXPECT_EQ(site.get("/include/style.css").status, 404);
}

TEST_F(SiteRequests, AKnownPageIsFollowedWhenItChanges) {
  EXPECT_EQ(site.get("/person/").body, "person page");
  std::filesystem::remove(site.root() / "person/index.asp");
  site.write("person/default.asp", "default page");
  EXPECT_EQ(site.get("/person/").body, "default page");
  std::filesystem::remove(site.root() / "person/default.asp");
  EXPECT_EQ(site.get("/person/").status, 404);
}

TEST_F(SiteRequests, NothingOutsideTheRootNorPrivateFilesIsServed) {
  for (const char* target :
       {"/../outside.txt", "/%2e%2e/outside.txt", "/person/%2E%2E/%2e%2e/outside.txt",
        "/..%2foutside.txt", "/data/site.db", "/DATA/SITE.DB", "/app.db", "/APP.DB", "/app.db-wal",
        "/other.sqlite", "/global.asa", "/GLOBAL.ASA", "/.hidden", "/person/lib.inc",
        "/person/LIB.INC", "/include/style.css%00.txt", "/include\\style.css", "/nope.txt"}) {
    HttpReply r = site.get(target);
    EXPECT_TRUE(r.status == 404 || r.status == 400) << target << " gave " << r.status;
    EXPECT_EQ(r.body.find("SQLite"), std::string::npos) << target;
    EXPECT_EQ(r.body.find("secret"), std::string::npos) << target;
  }
}

TEST_F(SiteRequests, OnlyKnownKindsOfFileAreServedNeverEditorCopies) {
  for (const char* name : {"index.asp~", "include/conn.inc.bak", "person/.index.asp.swp",
                           "person/index.asp.swp", "index.asp.orig", "tools/make_images.py",
                           "notes.md", "run.sh", "Include/Style.css~", "#index.asp#"}) {
    site.write(name, "<% var secret; %>");
  }
  for (const char* target : {"/index.asp~", "/include/conn.inc.bak", "/person/.index.asp.swp",
                             "/person/index.asp.swp", "/index.asp.orig", "/tools/make_images.py",
                             "/notes.md", "/run.sh", "/include/style.css~", "/%23index.asp%23"}) {
    HttpReply r = site.get(target);
    EXPECT_EQ(r.status, 404) << target;
    EXPECT_EQ(r.body.find("secret"), std::string::npos) << target;
  }
  site.write("images/a.GIF", "GIF89a");
  site.write("fonts/f.woff2", "wOF2");
  site.write("docs/a.pdf", "%PDF");
  for (auto [target, type] : std::vector<std::pair<std::string, std::string>>{
           {"/images/a.gif", "image/gif"},
           {"/fonts/f.woff2", "font/woff2"},
           {"/docs/a.pdf", "application/pdf"},
           {"/empty/readme.txt", "text/plain; charset=utf-8"}}) {
    HttpReply r = site.get(target);
    EXPECT_EQ(r.status, 200) << target;
    EXPECT_EQ(header(r, "Content-Type"), type) << target;
  }
}

TEST_F(SiteRequests, SymbolicLinksNeverLeadOutOfTheRoot) {
  test_support::TempDir outside;
  std::ofstream(outside.path() / "secret.txt") << "secret";
  std::ofstream(outside.path() / "run.asp") << "<%= 'secret' + ' ran' %>";
  namespace fs = std::filesystem;
  fs::create_directory_symlink(outside.path(), site.root() / "linked");
  fs::create_symlink(outside.path() / "run.asp", site.root() / "run.asp");
  fs::create_symlink(outside.path() / "secret.txt", site.root() / "secret.txt");
  for (const char* target :
       {"/linked/secret.txt", "/linked/run.asp", "/run.asp", "/secret.txt", "/linked/"}) {
    HttpReply r = site.get(target);
    EXPECT_EQ(r.status, 404) << target;
    EXPECT_EQ(r.body.find("secret"), std::string::npos) << target;
  }
  EXPECT_FALSE(resolveSitePath(site.root(), "linked/run.asp"));
  // A link that stays inside the root is followed.
  fs::create_directory_symlink(site.root() / "Include", site.root() / "styles");
  EXPECT_EQ(site.get("/styles/style.css").body, "body{}");
}

TEST_F(SiteRequests, AFoldersRedirectNeverLeadsOffTheSite) {
  site.write("images/a.gif", "GIF89a");
  for (auto [target, location] : std::vector<std::pair<std::string, std::string>>{
           {"//evil.example/../images", "/images/"},
           {"//evil.example/%2e%2e/images?x=1", "/images/?x=1"},
           {"/./images", "/images/"},
           {"/person/../images", "/images/"}}) {
    HttpReply r = site.get(target);
    EXPECT_EQ(r.status, 301) << target;
    EXPECT_EQ(header(r, "Location"), location) << target;
  }
}

TEST_F(SiteRequests, PagesRunAndTheirSourceIsNeverSent) {
  for (const char* target : {"/person/index.asp", "/PERSON/INDEX.ASP", "/person/", "/Person/"}) {
    HttpReply r = site.get(target);
    EXPECT_EQ(r.status, 200) << target;
    EXPECT_EQ(r.body, "person page") << target;
    EXPECT_EQ(r.body.find("secret"), std::string::npos) << target;
  }
  EXPECT_EQ(site.get("/").body, "home");
}

TEST_F(SiteRequests, FoldersRedirectToTheirSlashAndAreNeverListed) {
  HttpReply r = site.get("/person?x=1");
  EXPECT_EQ(r.status, 301);
  EXPECT_EQ(header(r, "Location"), "/person/?x=1");
  EXPECT_EQ(site.get("/empty/").status, 404);
  EXPECT_EQ(site.get("/", {}).status, 200);
  PageRequest put;
  put.method = "PUT";
  put.target = "/index.asp";
  EXPECT_EQ(site.site().handle(put).status, 405);
}

TEST_F(SiteRequests, ASessionIsKeptOnlyOnceAPageUsedIt) {
  site.write("count.asp", "<% Session('n') = (Session('n') || 0) + 1; %><%= Session('n') %>");
  site.write("plain.asp", "<%= Session('n') %>.");
  HttpReply untouched = site.get("/plain.asp");
  EXPECT_EQ(header(untouched, "Set-Cookie"), "");
  EXPECT_EQ(site.site().sessions().size(), 0u);

  HttpReply first = site.get("/count.asp");
  std::string cookie = header(first, "Set-Cookie");
  EXPECT_NE(cookie.find("; HttpOnly"), std::string::npos);
  std::string pair = cookie.substr(0, cookie.find(';'));
  HttpReply second = site.get("/count.asp", {{"Cookie", "other=1; " + pair}});
  EXPECT_EQ(second.body, "2");
  EXPECT_EQ(header(second, "Set-Cookie"), "");
  EXPECT_EQ(site.get("/plain.asp", {{"Cookie", pair}}).body, "2.");
  EXPECT_EQ(site.get("/count.asp").body, "1");  // no cookie, new session
  EXPECT_EQ(site.site().sessions().size(), 2u);
}

TEST_F(SiteRequests, AFlushingPageSendsItsNewSessionsCookieWithTheFirstPart) {
  site.write("late.asp", "a<% Response.Flush(); Session('late') = 'kept'; %>");
  site.write("read.asp", "<%= Session('late') %>");
  HttpReply flushed = site.get("/late.asp");
  EXPECT_EQ(flushed.body, "a");
  std::string cookie = header(flushed, "Set-Cookie");
  ASSERT_NE(cookie, "");
  EXPECT_EQ(site.get("/read.asp", {{"Cookie", cookie.substr(0, cookie.find(';'))}}).body, "kept");
}

// A session's cookie, made by a page that stores something in it.
std::string newSession(TestSite& site) {
  site.write("touch.asp", "<% Session('x') = 1; %>");
  std::string cookie = header(site.get("/touch.asp"), "Set-Cookie");
  return cookie.substr(0, cookie.find(';'));
}

// Whether `reached` becomes true within a few seconds: the executor's counts as requests sent
// from other threads arrive, however loaded the machine is.
template <typename Condition>
bool soon(Condition reached) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!reached()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// Requests sent from threads of their own, so that they run (or wait) at once.
struct Concurrent {
  std::vector<std::thread> threads;
  std::vector<std::string> bodies;
  std::vector<int> statuses;
  explicit Concurrent(std::size_t n) : bodies(n), statuses(n) {}
  void send(TestSite& site, std::size_t i, const std::string& target, const std::string& cookie) {
    threads.emplace_back([&site, this, i, target, cookie] {
      HttpReply r = site.get(target, {{"Cookie", cookie}});
      bodies[i] = r.body;
      statuses[i] = r.status;
    });
  }
  ~Concurrent() { join(); }  // also when a failed assertion leaves the test early
  void join() {
    for (auto& t : threads) {
      if (t.joinable()) t.join();
    }
  }
};

TEST_F(SiteRequests, ARenewedSessionGoesOnUnderANewTokenAndTheOldOneIsWorthNothing) {
  std::string before = newSession(site);
  site.write("renew.asp", "<% Session('who') = 'me'; Session.Renew(); %><%= Session.SessionID %>");
  site.write("read.asp", "<%= Session('x') %>,<%= Session('who') %>,<%= Session.SessionID %>");
  HttpReply renewed = site.get("/renew.asp", {{"Cookie", before}});
  std::string cookie = header(renewed, "Set-Cookie");
  ASSERT_NE(cookie, "");
  EXPECT_NE(cookie.find("; HttpOnly"), std::string::npos);
  std::string after = cookie.substr(0, cookie.find(';'));
  EXPECT_NE(after, before);
  EXPECT_EQ(site.get("/read.asp", {{"Cookie", after}}).body, "1,me," + renewed.body);
  EXPECT_EQ(site.get("/read.asp", {{"Cookie", before}}).body.substr(0, 2), ",,");
  EXPECT_EQ(site.site().sessions().size(), 1u);

  // Once the head is out no cookie can follow: the session ends rather than stay on the old
  // token.
  site.write("late.asp", "a<% Response.Flush(); Session.Renew(); %>");
  HttpReply late = site.get("/late.asp", {{"Cookie", after}});
  EXPECT_EQ(header(late, "Set-Cookie"), "");
  EXPECT_EQ(site.get("/read.asp", {{"Cookie", after}}).body.substr(0, 2), ",,");
  EXPECT_EQ(site.site().sessions().size(), 0u);

  // A new session has a token of its own already: renewing it just keeps it.
  site.write("fresh.asp", "<% Session('who') = 'new'; Session.Renew(); %>");
  std::string fresh = header(site.get("/fresh.asp"), "Set-Cookie");
  ASSERT_NE(fresh, "");
  EXPECT_EQ(site.get("/read.asp", {{"Cookie", fresh.substr(0, fresh.find(';'))}}).body.substr(0, 5),
            ",new,");
}

TEST_F(SiteRequests, RequestsOfOneSessionRunOneAtATimeOthersInParallel) {
  site.write("meet.asp", "<%= Server.CreateObject('test.Probe').Rendezvous(2, 1500) %>");
  std::string a = newSession(site);
  std::string b = newSession(site);
  host_test::resetRendezvous();
  Concurrent same(2);
  same.send(site, 0, "/meet.asp", a);
  same.send(site, 1, "/meet.asp", a);
  same.join();
  EXPECT_EQ(same.bodies, (std::vector<std::string>{"False", "False"}));
  host_test::resetRendezvous();
  Concurrent different(2);
  different.send(site, 0, "/meet.asp", a);
  different.send(site, 1, "/meet.asp", b);
  different.join();
  EXPECT_EQ(different.bodies, (std::vector<std::string>{"True", "True"}));
}

TEST_F(SiteRequests, ARequestWaitingUnderATokenThatWasRenewedMeanwhileRunsWithoutTheSession) {
  std::string before = newSession(site);
  // slow.asp renews, meets the test, then holds until the test meets it again.
  site.write("slow.asp",
             "<% Session.Renew(); var p = Server.CreateObject('test.Probe');"
             " p.Rendezvous(2, 5000); p.Rendezvous(2, 5000); %>");
  site.write("read.asp", "<%= Session('x') %>.");
  host_test::resetRendezvous();
  Concurrent both(2);
  both.send(site, 0, "/slow.asp", before);
  ASSERT_TRUE(host_test::rendezvous(2, 5000));  // the renewal is asked for
  both.send(site, 1, "/read.asp", before);
  ASSERT_TRUE(soon([&] { return site.site().executor().pending() == 2; }));  // read.asp waits
  ASSERT_TRUE(host_test::rendezvous(2, 5000));
  both.join();
  EXPECT_EQ(both.bodies[1], ".");
}

TEST(SiteExecutor, WaitingRequestsOfASessionHoldNoWorker) {
  TestSite site(host_test::withSettings([](SiteSettings& s) { s.executor.workers = 2; }));
  site.write("meet.asp", "<%= Server.CreateObject('test.Probe').Rendezvous(2, 5000) %>");
  site.write("quick.asp", "quick");
  std::string a = newSession(site);
  std::string b = newSession(site);
  host_test::resetRendezvous();
  PageExecutor& executor = site.site().executor();
  Concurrent requests(5);
  requests.send(site, 0, "/meet.asp", a);  // the slow page of session a, on one worker
  ASSERT_TRUE(soon([] { return host_test::insideRendezvous() == 1; }));
  for (std::size_t i = 1; i <= 3; ++i) requests.send(site, i, "/quick.asp", a);  // wait for it
  ASSERT_TRUE(soon([&] { return executor.pending() == 4; }));
  EXPECT_EQ(executor.running(), 1u);
  requests.send(site, 4, "/meet.asp", b);  // needs the second worker to meet the first page
  requests.join();
  EXPECT_EQ(requests.bodies, (std::vector<std::string>{"True", "quick", "quick", "quick", "True"}));
}

TEST(SiteExecutor, BeyondTheBoundsRequestsAreRefusedAtOnce) {
  TestSite site(host_test::withSettings([](SiteSettings& s) {
    s.executor.workers = 2;
    s.executor.maxPending = 3;
    s.executor.maxPerKey = 2;
  }));
  site.write("hold.asp", "<%= Server.CreateObject('test.Probe').Rendezvous(9, 1500) %>");
  std::string a = newSession(site);
  host_test::resetRendezvous();
  Concurrent requests(3);
  requests.send(site, 0, "/hold.asp", a);
  requests.send(site, 1, "/hold.asp", a);
  ASSERT_TRUE(soon(
      [&] { return host_test::insideRendezvous() == 1 && site.site().executor().pending() == 2; }));
  HttpReply perSession = site.get("/hold.asp", {{"Cookie", a}});
  EXPECT_EQ(perSession.status, 503);
  EXPECT_EQ(header(perSession, "Retry-After"), "1");
  requests.send(site, 2, "/hold.asp", "");
  ASSERT_TRUE(soon([] { return host_test::insideRendezvous() == 2; }));
  EXPECT_EQ(site.get("/hold.asp").status, 503);          // three pending in all
  EXPECT_EQ(site.get("/include/none.css").status, 404);  // files never wait for pages
  requests.join();
  EXPECT_EQ(requests.statuses, (std::vector<int>{200, 200, 200}));
  EXPECT_EQ(site.get("/hold.asp", {{"Cookie", a}}).status, 200);
}

TEST(SiteLimits, QueryStringsAndUrlEncodedBodiesBeyondTheFormLimitAreRefused) {
  TestSite site(host_test::withSettings([](SiteSettings& s) { s.maxFormBytes = 100; }));
  site.write("p.asp", "<%= Request.QueryString('q').Count %>|<%= Request.TotalBytes %>");
  std::string q = "q=" + std::string(98, 'a');
  EXPECT_EQ(site.get("/p.asp?" + q).body, "1|0");
  HttpReply longQuery = site.get("/p.asp?" + q + "a");
  EXPECT_EQ(longQuery.status, 413);
  EXPECT_EQ(longQuery.body.find("1|"), std::string::npos);
  auto post = [&](const std::string& type, std::size_t size) {
    PageRequest r;
    r.method = "POST";
    r.target = "/p.asp";
    r.contentType = type;
    r.body = std::string(size, 'a');
    return site.site().handle(r);
  };
  EXPECT_EQ(post("application/x-www-form-urlencoded", 100).body, "0|100");
  EXPECT_EQ(post("application/x-www-form-urlencoded", 101).status, 413);
  EXPECT_EQ(post("application/octet-stream", 5000).body, "0|5000");
}

TEST(SiteLimits, CookielessRequestsLeaveAtMostTheCapOfSessions) {
  TestSite site(host_test::withSettings([](SiteSettings& s) { s.maxSessions = 3; }));
  site.write("plain.asp", "<%= Session('n') %>.");
  site.write("count.asp", "<% Session('n') = (Session('n') || 0) + 1; %><%= Session('n') %>");
  for (int i = 0; i < 20; ++i) site.get("/plain.asp");
  EXPECT_EQ(site.site().sessions().size(), 0u);
  std::vector<std::string> cookies;
  for (int i = 0; i < 5; ++i) {
    std::string cookie = header(site.get("/count.asp"), "Set-Cookie");
    cookies.push_back(cookie.substr(0, cookie.find(';')));
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(site.site().sessions().size(), 3u);
  // The two idle longest went; the others go on.
  EXPECT_EQ(site.get("/count.asp", {{"Cookie", cookies[0]}}).body, "1");
  EXPECT_EQ(site.get("/count.asp", {{"Cookie", cookies[4]}}).body, "2");
}

TEST(SiteLimits, AValueBeyondTheSessionLimitFailsThePageAndIsNotKept) {
  TestSite site(host_test::withSettings([](SiteSettings& s) { s.sessionLimits = {1000, 4000}; }));
  site.write("set.asp",
             "<% Session('v') = Request.QueryString('v') + ''; %><%= Session('v').length %>");
  site.write("get.asp", "<%= Session('v') %>");
  EXPECT_EQ(site.get("/set.asp?v=" + std::string(600, 'x')).status, 500);
  EXPECT_EQ(site.site().sessions().size(), 0u);
  HttpReply kept = site.get("/set.asp?v=ok");
  std::string cookie = header(kept, "Set-Cookie");
  cookie = cookie.substr(0, cookie.find(';'));
  HttpReply poisoned = site.get("/set.asp?v=" + std::string(600, 'x'), {{"Cookie", cookie}});
  EXPECT_EQ(poisoned.status, 500);
  EXPECT_TRUE(poisoned.failure);
  EXPECT_EQ(site.get("/get.asp", {{"Cookie", cookie}}).body, "ok");
}

TEST(SiteLimits, TheSessionCookieIsStrictUnlessLaxIsAskedFor) {
  for (bool lax : {false, true}) {
    TestSite site(host_test::withSettings([lax](SiteSettings& s) { s.laxSessionCookie = lax; }));
    site.write("touch.asp", "<% Session('x') = 1; %>");
    std::string cookie = header(site.get("/touch.asp"), "Set-Cookie");
    EXPECT_TRUE(
        cookie.ends_with("; Path=/; HttpOnly; SameSite=" + std::string(lax ? "Lax" : "Strict")))
        << cookie;
  }
}

TEST(SiteLimits, AReplyBeyondItsCapEndsThePageWithAnError) {
  TestSite site(host_test::withSettings([](SiteSettings& s) { s.maxResponseBytes = 10000; }));
  site.write("ok.asp", "<%= 'ok' %>");
  EXPECT_EQ(site.get("/ok.asp").body, "ok");
  for (const char* page :
       {"<% for (var i = 0; i < 100; i++) Response.Write(new Array(1001).join('x')); %>",
        "<% Server.CreateObject('test.Probe').WriteRows('<tr><td>row</td></tr>', 100000, 0) %>",
        "<% Response.Write(new Array(6001).join('x')); Response.Flush();"
        " Response.Write(new Array(6001).join('y')); %>"}) {
    HttpReply r = site.page(page);
    // A page that flushed sent its status with the first part.
    EXPECT_EQ(r.status, std::string_view(page).find("Flush") == std::string::npos ? 500 : 200);
    ASSERT_TRUE(r.failure) << page;
    EXPECT_NE(r.failure->description.find(u"10000 bytes"), Text::npos) << page;
    EXPECT_LT(r.body.size(), 11000u) << page;
    EXPECT_NE(r.body.find("hostError"), std::string::npos) << page;
  }
}

TEST(SiteLimits, TheScriptTimeoutStopsAComponentThatWritesInALoop) {
  TestSite site(std::chrono::milliseconds(300));
  auto started = std::chrono::steady_clock::now();
  // A minute of work, were it not stopped.
  HttpReply r = site.page("<% Server.CreateObject('test.Probe').WriteRows('row', 60000, 1) %>");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_EQ(r.status, 500);
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->description, u"script timed out") << failureSummary(*r.failure);
  EXPECT_LT(r.body.size(), 3 * 3000u);
}

TEST(SiteErrors, DetailsGoOnlyToLoopbackClientsUnlessAsked) {
  for (bool detailed : {false, true}) {
    TestSite site(
        host_test::withSettings([detailed](SiteSettings& s) { s.detailedErrors = detailed; }));
    site.write("fail.asp",
               "before<% Server.CreateObject('test.Probe').Fail(-2147217900, "
               "'no such column: secretColumn'); %>");
    for (const char* address :
         {"127.0.0.1", "::1", "::ffff:127.0.0.1", "203.0.113.9", "::ffff:10.0.0.1"}) {
      PageRequest request = host_test::at("/fail.asp");
      request.remoteAddress = address;
      HttpReply r = site.site().handle(request);
      bool shown = detailed || std::string_view(address).find("127.0.0.1") != std::string::npos ||
                   std::string_view(address) == "::1";
      EXPECT_EQ(r.status, 500) << address;
      EXPECT_TRUE(r.body.starts_with("before\r\n<div class=hostError")) << address;
      EXPECT_EQ(r.body.find("secretColumn") != std::string::npos, shown) << address << r.body;
      EXPECT_EQ(r.body.find("fail.asp:1") != std::string::npos, shown) << address;
      ASSERT_TRUE(r.failure) << "the log has the details always";
      EXPECT_NE(failureSummary(*r.failure).find("secretColumn"), std::string::npos);
    }
  }
}

TEST(UrlPath, PercentDecoding) {
  EXPECT_EQ(decodeUrlPath("/a%20b/%E4%B8%AD"), "/a b/中");
  EXPECT_FALSE(decodeUrlPath("/a%2"));
  EXPECT_FALSE(decodeUrlPath("/a%zz"));
  EXPECT_FALSE(decodeUrlPath("/a%00b"));
}

}  // namespace
}  // namespace host
