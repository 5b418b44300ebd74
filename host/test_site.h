// A site in a temporary folder for the host's tests: pages and files written from strings,
// and a page runner over it with the test classes registered.
#pragma once

#include <fstream>
#include <memory>
#include <string>

#include "asp/session.h"
#include "page_fixture.h"
#include "page_runner.h"
#include "test_objects.h"

namespace host_test {

class TestSite {
 public:
  explicit TestSite(std::chrono::milliseconds timeout = std::chrono::seconds(90)) {
    registerTestClasses(registry_);
    application_ = std::make_shared<asp::Application>();
    runner_ = std::make_unique<host::PageRunner>(host::SiteSettings{dir_.path(), timeout},
                                                 registry_, application_);
  }

  void write(const std::string& relative, const std::string& content) const {
    auto file = dir_.path() / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
  }

  // Runs `page` (written first when `source` is given) in `session` or a fresh one.
  host::PageResponse run(const std::string& page, host::PageRequest request = {},
                         std::shared_ptr<asp::Session> session = nullptr) {
    if (request.url.empty()) request.url = "/" + page;
    if (!session) session = std::make_shared<asp::Session>();
    return runner_->run(page, request, session);
  }
  host::PageResponse page(const std::string& source) {
    write("t.asp", source);
    return run("t.asp");
  }

  const std::filesystem::path& root() const { return dir_.path(); }
  host::PageRunner& runner() { return *runner_; }
  const automation::ClassRegistry& registry() const { return registry_; }
  asp::Application& application() { return *application_; }

 private:
  test_support::TempDir dir_;
  automation::ClassRegistry registry_;
  std::shared_ptr<asp::Application> application_;
  std::unique_ptr<host::PageRunner> runner_;
};

}  // namespace host_test
