#include "page_fixture.h"

#include <random>

namespace test_support {

std::string Page::outputUtf8() const { return automation::toUtf8(response->text()); }

Page makePage(const PageRequest& r, std::shared_ptr<asp::Session> session) {
  Page p;
  p.request = std::make_shared<asp::Request>();
  p.request->setCodePage(r.codePage);
  p.request->setQueryString(r.query);
  if (!r.form.empty()) p.request->setBody(r.form, "application/x-www-form-urlencoded");
  p.request->setServerVariable(u"URL", r.url);
  p.request->setServerVariable(u"REQUEST_METHOD", r.form.empty() ? u"GET" : u"POST");
  p.response = std::make_shared<asp::Response>();
  p.server = std::make_shared<asp::Server>(nullptr, [](automation::TextView v) { return Text(v); });
  p.session = session ? std::move(session) : std::make_shared<asp::Session>();
  p.application = std::make_shared<asp::Application>();
  p.context = std::make_shared<asp::ScriptingContext>(
      asp::PageObjects{p.request, p.response, p.server, p.session, p.application});
  return p;
}

TempDir::TempDir() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() /
          ("balance-test-" + std::to_string(rd()) + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

Text sqliteConnectionString(const std::filesystem::path& file) {
  return u"Provider=SQLite;Data Source=" + automation::fromUtf8(file.string());
}

}  // namespace test_support
