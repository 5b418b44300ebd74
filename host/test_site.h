// A site in a temporary folder for the host's tests: pages and files written from strings, the
// test classes registered, and requests sent through the site's own request path. A Client
// keeps the session cookie between its requests, as a browser does.
#pragma once

#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "page_fixture.h"
#include "site.h"
#include "test_objects.h"

namespace host_test {

struct TestSiteOptions {
  std::chrono::milliseconds timeout = std::chrono::seconds(90);
  std::function<void(host::SiteSettings&)> settings;        // changes to the defaults
  std::function<void(automation::ClassRegistry&)> classes;  // beside the test classes
  // Files written before the site starts (schema.sql, global.asa).
  std::vector<std::pair<std::string, std::string>> files;
};

inline TestSiteOptions withSettings(std::function<void(host::SiteSettings&)> change) {
  TestSiteOptions options;
  options.settings = std::move(change);
  return options;
}

inline TestSiteOptions withTimeout(std::chrono::milliseconds timeout) {
  TestSiteOptions options;
  options.timeout = timeout;
  return options;
}

// A request for `target` (path and query).
inline host::PageRequest at(std::string target) {
  host::PageRequest request;
  request.target = std::move(target);
  return request;
}

class TestSite {
 public:
  explicit TestSite(TestSiteOptions options = {}) : root_(dir_.path() / "site") {
    std::filesystem::create_directories(root_);
    for (const auto& [name, content] : options.files) write(name, content);
    host::SiteSettings settings;
    settings.root = root_;  // its default data folder, site-data, beside it
    settings.scriptTimeout = options.timeout;
    settings.executor.workers = 4;
    // The host's tests were written in JScript; a page in VBScript says so, or its test sets
    // the default.
    settings.defaultLanguage = "jscript";
    if (options.settings) options.settings(settings);
    automation::ClassRegistry registry;
    registerTestClasses(registry);
    if (options.classes) options.classes(registry);
    site_ = std::make_unique<host::Site>(settings, std::move(registry));
  }
  explicit TestSite(std::chrono::milliseconds timeout) : TestSite(withTimeout(timeout)) {}

  void write(const std::string& relative, const std::string& content) const {
    auto file = root_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
  }

  // Runs `page`, with the request's target defaulting to the page's path.
  host::HttpReply run(const std::string& page, host::PageRequest request = {}) {
    request.page = page;
    if (request.target.empty()) request.target = "/" + page;
    return site_->handle(std::move(request));
  }
  // Writes `source` as t.asp and runs it.
  host::HttpReply page(const std::string& source) {
    write("t.asp", source);
    return run("t.asp");
  }
  // Sends a request as the HTTP edge would: the target decides what runs.
  host::HttpReply get(const std::string& target, host::Headers headers = {}) {
    host::PageRequest request;
    request.target = target;
    request.headers = std::move(headers);
    return site_->handle(std::move(request));
  }

  const std::filesystem::path& root() const { return root_; }
  host::Site& site() { return *site_; }
  const automation::ClassRegistry& registry() const { return site_->registry(); }

 private:
  test_support::TempDir dir_;
  std::filesystem::path root_;
  std::unique_ptr<host::Site> site_;
};

// Requests of one user: the session cookie the site set goes with the next request.
class Client {
 public:
  explicit Client(TestSite& site) : site_(site) {}

  host::HttpReply run(const std::string& page, host::PageRequest request = {}) {
    if (!cookie_.empty()) request.headers.emplace_back("Cookie", cookie_);
    host::HttpReply reply = site_.run(page, std::move(request));
    for (const auto& [name, value] : reply.headers) {
      if (name == "Set-Cookie") cookie_ = value.substr(0, value.find(';'));
    }
    return reply;
  }
  const std::string& cookie() const { return cookie_; }

 private:
  TestSite& site_;
  std::string cookie_;
};

inline std::string header(const host::HttpReply& reply, const std::string& name) {
  for (const auto& [key, value] : reply.headers) {
    if (key == name) return value;
  }
  return {};
}

}  // namespace host_test
