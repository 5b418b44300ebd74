// The page path of balance-host without the network: the demo site's static style sheet (the
// floor), a page writing "hello" and the signed-in person list (20 rows through DNA), each sent
// through Site::handle as the HTTP edge sends it, so that the figures hold the page executor's
// hand-off, the request objects, the script run and the reply, but no socket. Times are of the
// whole process (page workers included); the pages are also printed as multiples of the floor.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "ado/ado.h"
#include "median_reporter.h"
#include "password_object.h"
#include "registration.h"
#include "scripting/registration.h"
#include "site.h"

namespace {
namespace fs = std::filesystem;

class DemoSite {
 public:
  DemoSite() {
    char name[] = "/tmp/balance-host-page-bench-XXXXXX";
    dir_ = mkdtemp(name);
    fs::copy(fs::path(BALANCE_SOURCE_DIR) / "demo", dir_ / "site", fs::copy_options::recursive);
    fs::remove_all(dir_ / "site" / "data");
    std::ofstream(dir_ / "site" / "hello.asp")
        << "<%@ Language=\"JScript\" CodePage=65001 %>\n<% Response.Write(\"hello\"); %>";
    automation::ClassRegistry registry;
    balance::registerBalanceClasses(registry);
    ado::registerClasses(registry);
    host::registerPasswordClass(registry);
    scripting::registerClasses(registry, 936);
    host::SiteSettings settings;
    settings.root = dir_ / "site";
    settings.dataFolder = dir_ / "data";
    site_ = std::make_unique<host::Site>(settings, std::move(registry));
    signIn();
  }
  ~DemoSite() {
    site_.reset();
    fs::remove_all(dir_);
  }

  host::HttpReply get(const std::string& target) {
    host::PageRequest request;
    request.target = target;
    request.headers = {
        {"Host", "localhost"}, {"User-Agent", "bench"}, {"Accept", "*/*"}, {"Cookie", cookie_}};
    return site_->handle(std::move(request));
  }

 private:
  void signIn() {
    host::PageRequest request;
    request.method = "POST";
    request.target = "/login.asp";
    request.contentType = "application/x-www-form-urlencoded";
    request.body = "username=admin&password=balance";
    request.headers = {{"Host", "localhost"}, {"Content-Type", request.contentType}};
    for (const auto& [name, value] : site_->handle(std::move(request)).headers) {
      if (name == "Set-Cookie") cookie_ = value.substr(0, value.find(';'));
    }
    if (cookie_.empty()) throw std::runtime_error("the demo's sign-in gave no session");
  }

  fs::path dir_;
  std::unique_ptr<host::Site> site_;
  std::string cookie_;
};

DemoSite& demo() {
  static DemoSite site;
  return site;
}

void request(benchmark::State& state, const std::string& target, const std::string& marker) {
  host::HttpReply first = demo().get(target);
  if (first.status != 200 || first.body.find(marker) == std::string::npos) {
    state.SkipWithError(("unexpected reply to " + target).c_str());
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(demo().get(target));
}

void BM_StaticFile(benchmark::State& state) { request(state, "/include/style.css", "{"); }
void BM_HelloPage(benchmark::State& state) { request(state, "/hello.asp", "hello"); }
void BM_PersonList(benchmark::State& state) { request(state, "/person/index.asp", "条记录"); }

BENCHMARK(BM_StaticFile)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_HelloPage)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_PersonList)->MeasureProcessCPUTime()->UseRealTime();

class RatioReporter : public MedianReporter {
 public:
  void Finalize() override {
    MedianReporter::Finalize();
    auto cpu = [&](const char* name) {
      auto it = times_.find(std::string(name) + "/process_time/real_time");
      return it == times_.end() ? 0.0 : it->second.cpu;
    };
    double floor = cpu("BM_StaticFile");
    if (floor <= 0) return;
    std::printf("CPU time per request as multiples of the static file's: hello %.2f, list %.2f\n",
                cpu("BM_HelloPage") / floor, cpu("BM_PersonList") / floor);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
