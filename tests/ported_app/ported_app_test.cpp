// The ported-application check: site/ holds pages written the way classic JScript applications
// are (a header include that sets Response.Buffer, Expires and CacheControl, a list drawn with
// rs.Fields loops, a form posting back to itself with Request.Form(...).Count checks, an
// ADODB.Command insert with parameters, a Scripting.Dictionary, global.asa counters). The host
// runs them unchanged; expected/ holds the pages they must give, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>

#include "ado/ado.h"
#include "page_fixture.h"
#include "registration.h"
#include "scripting/registration.h"
#include "site.h"
#include "static_files.h"

namespace {

namespace fs = std::filesystem;
using host::HttpReply;
using host::PageRequest;

fs::path sourceFolder() {
  const char* source = std::getenv("BALANCE_SOURCE_DIR");
  return fs::path(source ? source : ".") / "tests" / "ported_app";
}

std::string expected(const std::string& name) {
  auto text = host::readWholeFile(sourceFolder() / "expected" / name);
  EXPECT_TRUE(text) << name;
  return text.value_or("");
}

std::string header(const HttpReply& reply, const std::string& name) {
  for (const auto& [key, value] : reply.headers) {
    if (key == name) return value;
  }
  return {};
}

class PortedApplication : public ::testing::Test {
 protected:
  PortedApplication() {
    fs::copy(sourceFolder() / "site", dir.path() / "site", fs::copy_options::recursive);
    automation::ClassRegistry registry;
    balance::registerBalanceClasses(registry);
    ado::registerClasses(registry);
    scripting::registerClasses(registry, 936);
    host::SiteSettings settings;
    settings.root = dir.path() / "site";
    settings.dataFolder = dir.path() / "data";
    site = std::make_unique<host::Site>(settings, std::move(registry));
  }

  // One browser: its session cookie goes with every request.
  struct Browser {
    host::Site& site;
    std::string cookie;

    HttpReply send(PageRequest request) {
      if (!cookie.empty()) request.headers.emplace_back("Cookie", cookie);
      HttpReply reply = site.handle(std::move(request));
      std::string set = header(reply, "Set-Cookie");
      if (!set.empty()) cookie = set.substr(0, set.find(';'));
      return reply;
    }
    HttpReply get(const std::string& target) {
      PageRequest request;
      request.target = target;
      return send(std::move(request));
    }
    HttpReply post(const std::string& target, const std::string& form) {
      PageRequest request;
      request.method = "POST";
      request.target = target;
      request.body = form;
      request.contentType = "application/x-www-form-urlencoded";
      request.headers.emplace_back("Content-Type", request.contentType);
      return send(std::move(request));
    }
  };

  test_support::TempDir dir;
  std::unique_ptr<host::Site> site;
};

void expectPage(const HttpReply& reply, const std::string& file) {
  EXPECT_EQ(reply.status, 200) << file;
  EXPECT_FALSE(reply.failure) << file << ": " << host::failureSummary(*reply.failure);
  EXPECT_EQ(reply.body, expected(file)) << file;
}

TEST_F(PortedApplication, ThePagesRunUnchanged) {
  Browser browser{*site, ""};
  HttpReply list = browser.get("/list.asp");
  expectPage(list, "list.html");
  EXPECT_EQ(header(list, "Cache-Control"), "no-cache");
  EXPECT_EQ(header(list, "Pragma"), "no-cache");
  EXPECT_NE(header(list, "Expires"), "");
  EXPECT_NE(browser.cookie, "") << "global.asa counts sessions, so the session is kept";

  expectPage(browser.get("/edit.asp"), "edit.html");
  expectPage(browser.post("/edit.asp", "title=&author=%E6%96%BD%E8%80%90%E5%BA%B5&year=abc"),
             "edit-errors.html");
  HttpReply saved = browser.post(
      "/edit.asp",
      "title=%E6%B0%B4%E6%B5%92%E4%BC%A0&author=%E6%96%BD%E8%80%90%E5%BA%B5&year=1589");
  EXPECT_EQ(saved.status, 302);
  EXPECT_EQ(header(saved, "Location"), "list.asp");
  expectPage(browser.get("/list.asp"), "list-after.html");
  expectPage(browser.get("/stats.asp"), "stats.html");

  Browser second{*site, ""};
  expectPage(second.get("/stats.asp"), "stats-second-visitor.html");
}

TEST_F(PortedApplication, InjectedTextStaysData) {
  Browser browser{*site, ""};
  HttpReply saved =
      browser.post("/edit.asp", "title=x%27%29%3B+drop+table+book%3B--&author=a&year=1");
  EXPECT_EQ(saved.status, 302);
  HttpReply list = browser.get("/list.asp");
  EXPECT_NE(list.body.find("<td>x&#39;); drop table book;--</td>"), std::string::npos) << list.body;
}

}  // namespace
