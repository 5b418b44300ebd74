// Routing of HTTP requests to pages and files: what is never served, case-insensitive paths,
// folders, and the one-at-a-time rule for the requests of a session.
#include "site_handler.h"

#include <gtest/gtest.h>

#include <thread>

#include "test_site.h"

namespace host {
namespace {

using host_test::TestSite;

class SiteRequests : public ::testing::Test {
 public:
  SiteRequests()
      : handler(site.runner(), sessions, StaticFiles(site.root(), site.root() / "data")) {
    site.write("index.asp", "home");
    site.write("Include/Style.css", "body{}");
    site.write("person/index.asp", "<% var secret = 'source'; %>person page");
    site.write("person/lib.inc", "<% var secret = 1; %>");
    site.write("data/site.db", "SQLite");
    site.write("app.db", "SQLite");
    site.write("app.db-wal", "x");
    site.write("other.sqlite", "x");
    site.write("schema.sql", "create");
    site.write(".hidden", "x");
    site.write("empty/readme.txt", "text");
  }

  HttpReply get(const std::string& target, Headers headers = {}) {
    PageRequest r;
    r.url = target;
    r.headers = std::move(headers);
    return handler.handle(r);
  }

  TestSite site;
  SessionStore sessions;
  SiteHandler handler;
};

TEST_F(SiteRequests, StaticFilesAreFoundCaseInsensitively) {
  for (const char* target : {"/include/style.css", "/INCLUDE/STYLE.CSS", "/Include/Style.css",
                             "/person/../include/style.css", "/include//style.css?v=1"}) {
    HttpReply r = get(target);
    EXPECT_EQ(r.status, 200) << target;
    EXPECT_EQ(r.body, "body{}") << target;
    EXPECT_EQ(r.headers.front().second, "text/css; charset=utf-8") << target;
  }
}

TEST_F(SiteRequests, NothingOutsideTheRootNorPrivateFilesIsServed) {
  for (const char* target :
       {"/../outside.txt", "/%2e%2e/outside.txt", "/person/%2E%2E/%2e%2e/outside.txt",
        "/..%2foutside.txt", "/data/site.db", "/DATA/SITE.DB", "/app.db", "/APP.DB", "/app.db-wal",
        "/other.sqlite", "/schema.sql", "/.hidden", "/person/lib.inc", "/person/LIB.INC",
        "/include/style.css%00.txt", "/include\\style.css", "/nope.txt"}) {
    HttpReply r = get(target);
    EXPECT_TRUE(r.status == 404 || r.status == 400) << target << " gave " << r.status;
    EXPECT_EQ(r.body.find("SQLite"), std::string::npos) << target;
  }
}

TEST_F(SiteRequests, PagesRunAndTheirSourceIsNeverSent) {
  for (const char* target : {"/person/index.asp", "/PERSON/INDEX.ASP", "/person/", "/Person/"}) {
    HttpReply r = get(target);
    EXPECT_EQ(r.status, 200) << target;
    EXPECT_EQ(r.body, "person page") << target;
    EXPECT_EQ(r.body.find("secret"), std::string::npos) << target;
  }
  EXPECT_EQ(get("/").body, "home");
}

TEST_F(SiteRequests, FoldersRedirectToTheirSlashAndAreNeverListed) {
  HttpReply r = get("/person?x=1");
  EXPECT_EQ(r.status, 301);
  EXPECT_EQ(r.headers.back(), (std::pair<std::string, std::string>("Location", "/person/?x=1")));
  EXPECT_EQ(get("/empty/").status, 404);
}

TEST_F(SiteRequests, PagesGetASessionCookieOnce) {
  site.write("count.asp", "<% Session('n') = (Session('n') || 0) + 1; %><%= Session('n') %>");
  HttpReply first = get("/count.asp");
  auto cookie = std::find_if(first.headers.begin(), first.headers.end(),
                             [](const auto& h) { return h.first == "Set-Cookie"; });
  ASSERT_NE(cookie, first.headers.end());
  EXPECT_NE(cookie->second.find("; HttpOnly"), std::string::npos);
  std::string pair = cookie->second.substr(0, cookie->second.find(';'));
  HttpReply second = get("/count.asp", {{"Cookie", "other=1; " + pair}});
  EXPECT_EQ(second.body, "2");
  EXPECT_TRUE(std::none_of(second.headers.begin(), second.headers.end(),
                           [](const auto& h) { return h.first == "Set-Cookie"; }));
  EXPECT_EQ(get("/count.asp").body, "1");  // no cookie, new session
}

// Two requests that wait for each other inside the page: they meet only if they run at once.
std::pair<std::string, std::string> concurrently(SiteRequests& t, SiteHandler& handler,
                                                 const Headers& a, const Headers& b) {
  host_test::resetRendezvous();
  t.site.write("meet.asp", "<%= Server.CreateObject('test.Probe').Rendezvous(2, 1500) %>");
  std::string first, second;
  auto run = [&handler](const Headers& h, std::string& out) {
    PageRequest r;
    r.url = "/meet.asp";
    r.headers = h;
    out = handler.handle(r).body;
  };
  std::thread one(run, std::cref(a), std::ref(first));
  std::thread two(run, std::cref(b), std::ref(second));
  one.join();
  two.join();
  return {first, second};
}

TEST_F(SiteRequests, RequestsOfOneSessionRunOneAtATimeOthersInParallel) {
  std::string id = sessions.acquire("")->id();
  Headers same{{"Cookie", std::string(kSessionCookie) + "=" + id}};
  EXPECT_EQ(concurrently(*this, handler, same, same),
            (std::pair<std::string, std::string>("False", "False")));
  std::string other = sessions.acquire("")->id();
  Headers different{{"Cookie", std::string(kSessionCookie) + "=" + other}};
  EXPECT_EQ(concurrently(*this, handler, same, different),
            (std::pair<std::string, std::string>("True", "True")));
}

TEST_F(SiteRequests, OneSessionCannotQueueMoreThanItsShare) {
  SiteHandler limited(site.runner(), sessions, StaticFiles(site.root(), site.root() / "data"), 1);
  host_test::resetRendezvous();
  site.write("hold.asp", "<%= Server.CreateObject('test.Probe').Rendezvous(2, 600) %>");
  std::string id = sessions.acquire("")->id();
  PageRequest r;
  r.url = "/hold.asp";
  r.headers = {{"Cookie", std::string(kSessionCookie) + "=" + id}};
  std::thread holder([&] { EXPECT_EQ(limited.handle(r).body, "False"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  HttpReply refused = limited.handle(r);
  holder.join();
  EXPECT_EQ(refused.status, 503);
  EXPECT_EQ(limited.handle(r).status, 200);
}

TEST(UrlPath, PercentDecoding) {
  EXPECT_EQ(decodeUrlPath("/a%20b/%E4%B8%AD"), "/a b/中");
  EXPECT_FALSE(decodeUrlPath("/a%2"));
  EXPECT_FALSE(decodeUrlPath("/a%zz"));
  EXPECT_FALSE(decodeUrlPath("/a%00b"));
}

}  // namespace
}  // namespace host
