// balance-host serve: reads the options, builds the site and the HTTP edge, and on a signal
// lets the pages under way finish before the edge stops.
#include "serve_command.h"

#include <csignal>
#include <cstdio>
#include <thread>

#include "command_line.h"
#include "http_server.h"
#include "render_command.h"
#include "site_options.h"

namespace host {

namespace {

struct ServeJob {
  SiteSettings site;
  HttpSettings http;
  std::string accessLog = "-";
  bool help = false;
};

constexpr char kServeHelp[] =
    "usage: balance-host serve [options]\n"
    "  --port N                    (8080; 0: any free port)\n"
    "  --bind ADDRESS              (127.0.0.1)\n"
    "  --threads N                 page workers (4 per core)\n"
    "  --io-threads N              threads that read requests and write replies (1 per core)\n"
    "  --max-pending N             pages running or waiting; 503 beyond (1024)\n"
    "  --max-request-bytes N       a multipart or raw body; 413 beyond (33554432)\n"
    "  --max-connections N         open connections; 503 beyond (1024)\n"
    "  --max-body-bytes-in-flight N  bodies being received at once; 503 beyond (268435456)\n"
    "  --detailed-errors           error details in pages for every client, not only loopback\n"
    "  --access-log FILE|-|off     one line per request (-: standard error)\n";

ServeJob parseServe(const std::vector<std::string>& args) {
  CommandLine c = parseCommandLine(
      args,
      siteOptionsAnd({"port", "bind", "threads", "io-threads", "max-pending", "max-request-bytes",
                      "max-connections", "max-body-bytes-in-flight", "access-log"}),
      {"detailed-errors", "help"});
  if (!c.positional.empty()) throw std::invalid_argument("unexpected " + c.positional[0]);
  ServeJob job;
  if (c.flags.count("help")) {
    job.help = true;
    return job;
  }
  job.site = siteSettings(c);
  unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  job.site.executor.workers = static_cast<int>(c.number("threads", 4 * cores, 1, 1024));
  job.site.executor.maxPending =
      static_cast<std::size_t>(c.number("max-pending", 1024, 1, 1 << 20));
  // One session may not take every worker.
  job.site.executor.maxPerKey = std::max<std::size_t>(2, job.site.executor.workers);
  job.http.bind = c.value("bind").value_or("127.0.0.1");
  job.http.port = static_cast<unsigned short>(c.number("port", 8080, 0, 65535));
  job.http.ioThreads = static_cast<int>(c.number("io-threads", cores, 1, 256));
  job.http.maxRequestBytes =
      static_cast<std::size_t>(c.number("max-request-bytes", 32l << 20, 1, 1l << 32));
  job.http.maxConnections = static_cast<std::size_t>(c.number("max-connections", 1024, 1, 1 << 20));
  job.http.maxBodyBytesInFlight =
      static_cast<std::size_t>(c.number("max-body-bytes-in-flight", 256l << 20, 1, 1l << 40));
  job.site.detailedErrors = c.flags.count("detailed-errors") > 0;
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

struct LogFile {
  std::FILE* file = nullptr;
  ~LogFile() {
    if (file && file != stderr) std::fclose(file);
  }
};

}  // namespace

int runServe(const std::vector<std::string>& args, const automation::ClassRegistry& registry,
             std::ostream& out, std::ostream& err) {
  ServeJob job;
  LogFile log;
  std::unique_ptr<Site> site;
  try {
    job = parseServe(args);
    if (job.help) {
      out << kServeHelp << kSiteOptionsHelp;
      return 0;
    }
    log.file = openAccessLog(job.accessLog);
    job.http.accessLog = log.file;
    // Blocked before any thread starts, so that only sigwait below sees them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    site = std::make_unique<Site>(job.site, registry);
  } catch (const std::exception& e) {
    err << "balance-host serve: " << e.what() << "\n";
    return kExitUsage;
  }
  HttpServer server(job.http, *site);
  try {
    server.start();
  } catch (const std::exception& e) {
    err << "balance-host serve: " << e.what() << "\n";
    return 1;
  }
  err << "balance-host: serving " << job.site.root.string() << " on http://" << job.http.bind << ":"
      << server.port() << "/\n";
  err.flush();
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  int received = 0;
  sigwait(&signals, &received);
  err << "balance-host: stopping\n";
  site->shutdown();  // pages under way still answer through the edge
  server.stop();
  return 0;
}

}  // namespace host
