#include "serve_command.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "command_line.h"
#include "http_server.h"
#include "render_command.h"
#include "site_database.h"

namespace host {
namespace fs = std::filesystem;

namespace {

struct ServeJob {
  SiteSettings site;
  HttpSettings http;
  fs::path dataFolder;
  int sessionTimeout = 20;
  std::string accessLog = "-";
};

ServeJob parseServe(const std::vector<std::string>& args) {
  CommandLine c = parseCommandLine(args,
                                   {"root", "port", "bind", "data", "threads", "script-timeout",
                                    "max-request-bytes", "session-timeout", "access-log"},
                                   {});
  if (!c.positional.empty()) throw std::invalid_argument("unexpected " + c.positional[0]);
  ServeJob job;
  job.site.root = fs::absolute(c.value("root").value_or("."));
  if (!fs::is_directory(job.site.root)) {
    throw std::invalid_argument("no folder " + job.site.root.string());
  }
  job.site.scriptTimeout = std::chrono::seconds(c.number("script-timeout", 90, 1, 86400));
  job.http.bind = c.value("bind").value_or("127.0.0.1");
  job.http.port = static_cast<unsigned short>(c.number("port", 8080, 0, 65535));
  unsigned cores = std::max(2u, std::thread::hardware_concurrency());
  job.http.threads = static_cast<int>(c.number("threads", 2 * cores, 1, 256));
  job.http.maxRequestBytes =
      static_cast<std::size_t>(c.number("max-request-bytes", 32l << 20, 1, 1l << 32));
  job.sessionTimeout = static_cast<int>(c.number("session-timeout", 20, 1, 24 * 60));
  job.dataFolder = c.value("data") ? fs::path(*c.value("data")) : defaultDataFolder(job.site.root);
  job.accessLog = c.value("access-log").value_or("-");
  return job;
}

std::FILE* openAccessLog(const std::string& name) {
  if (name == "off") return nullptr;
  if (name == "-") return stderr;
  std::FILE* f = std::fopen(name.c_str(), "a");
  if (!f) throw std::invalid_argument("cannot open " + name);
  return f;
}

}  // namespace

int runServe(const std::vector<std::string>& args, const automation::ClassRegistry& registry,
             std::ostream& err) {
  ServeJob job;
  auto application = std::make_shared<asp::Application>();
  std::unique_ptr<SiteDatabase> database;
  try {
    job = parseServe(args);
    job.http.accessLog = openAccessLog(job.accessLog);
    database = SiteDatabase::open(job.site.root, job.dataFolder, *application);
  } catch (const std::exception& e) {
    err << "balance-host serve: " << e.what() << "\n";
    return kExitUsage;
  }
  // Blocked before the workers start, so that only sigwait below sees them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  PageRunner pages(job.site, registry, application);
  SessionStore sessions(job.sessionTimeout);
  // The requests of a session wait for each other on worker threads; one session may not
  // take all of them.
  SiteHandler site(pages, sessions, StaticFiles(job.site.root, job.dataFolder),
                   std::max(2, job.http.threads - 1));
  HttpServer server(job.http, site);
  try {
    server.start();
  } catch (const std::exception& e) {
    err << "balance-host serve: " << e.what() << "\n";
    return 1;
  }
  err << "balance-host: serving " << job.site.root.string() << " on http://" << job.http.bind << ":"
      << server.port() << "/\n";
  err.flush();
  int received = 0;
  sigwait(&signals, &received);
  err << "balance-host: stopping\n";
  server.stop();
  if (job.http.accessLog && job.http.accessLog != stderr) std::fclose(job.http.accessLog);
  return 0;
}

}  // namespace host
