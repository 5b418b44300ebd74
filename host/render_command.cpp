// balance-host render: builds the site, sends one request through the site's request path and
// writes the reply as it comes, parts of a flushing page included.
#include "render_command.h"

#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>

#include "command_line.h"
#include "request_run.h"
#include "session_json.h"
#include "site.h"
#include "site_options.h"
#include "site_paths.h"

namespace host {
namespace fs = std::filesystem;

namespace {

struct RenderJob {
  SiteSettings site;
  PageRequest request;
  std::optional<fs::path> sessionFile;
  bool headers = false;
};

// Raises std::invalid_argument with the message for standard error.
RenderJob parseRender(const std::vector<std::string>& args) {
  CommandLine c = parseCommandLine(
      args, siteOptionsAnd({"url", "query", "form", "body", "content-type", "session"}),
      {"headers"});
  if (c.positional.size() != 1) throw std::invalid_argument("render wants exactly one PAGE");
  if (c.value("form") && c.value("body")) {
    throw std::invalid_argument("--form and --body exclude each other");
  }
  if (c.value("content-type") && !c.value("body")) {
    throw std::invalid_argument("--content-type goes with --body");
  }
  RenderJob job;
  job.site = siteSettings(c);
  job.site.executor.workers = 1;
  auto page = normalizeSitePath("", c.positional[0]);
  if (!page || page->empty()) throw std::invalid_argument("PAGE lies outside the root");
  auto file = resolveSitePath(job.site.root, *page);
  if (!file || !fs::is_regular_file(*file)) {
    throw std::invalid_argument("no page " + c.positional[0] + " under " + job.site.root.string());
  }
  job.request.page = *page;
  job.request.target = c.value("url").value_or("/" + *page);
  if (auto query = c.value("query"); query && !query->empty()) job.request.target += "?" + *query;
  if (auto form = c.value("form")) {
    job.request.method = "POST";
    job.request.body = *form;
    job.request.contentType = "application/x-www-form-urlencoded";
  } else if (auto body = c.value("body")) {
    auto bytes = readWholeFile(*body);
    if (!bytes) throw std::invalid_argument("cannot read " + *body);
    job.request.method = "POST";
    job.request.body = std::move(*bytes);
    job.request.contentType = c.value("content-type").value_or("application/octet-stream");
  }
  if (!job.request.contentType.empty()) {
    job.request.headers.emplace_back("Content-Type", job.request.contentType);
  }
  if (auto session = c.value("session")) job.sessionFile = fs::path(*session);
  job.headers = c.flag("headers");
  return job;
}

// The session of the file, stored in the site under a token the request's cookie names.
SessionStore::EntryRef loadSession(const RenderJob& job, Site& site) {
  if (!job.sessionFile || !fs::exists(*job.sessionFile)) return nullptr;
  auto text = readWholeFile(*job.sessionFile);
  if (!text) throw std::invalid_argument("cannot read " + job.sessionFile->string());
  SessionStore::EntryRef entry = site.sessions().create();
  try {
    readSessionJson(*text, entry->session->contents());
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument(job.sessionFile->string() + ": " + e.what());
  }
  site.storeSession(entry);
  site.sessions().release(entry);
  return entry;
}

void saveSession(const RenderJob& job, Site& site, const std::string& token) {
  if (!job.sessionFile) return;
  asp::KeyedValues none;
  SessionStore::EntryRef entry = site.sessions().find(token);
  std::ofstream out(*job.sessionFile, std::ios::binary | std::ios::trunc);
  out << writeSessionJson(entry ? entry->session->contents() : none);
  if (entry) {
    site.sessions().release(entry);
    site.sessions().forget(entry);  // it lives on in the file, not ended with the site
  }
}

// Writes the reply to standard output as it comes.
class RenderChannel : public ReplyChannel {
 public:
  RenderChannel(std::ostream& out, bool headers) : out_(out), headers_(headers) {}

  void sendPart(const HttpReply& head, std::string body) override {
    std::lock_guard lock(mutex_);
    if (!streamed_) {
      streamed_ = true;
      writeHead(head, std::nullopt);
    }
    out_.write(body.data(), static_cast<std::streamsize>(body.size()));
    out_.flush();
  }
  void finish(HttpReply reply) override {
    {
      std::lock_guard lock(mutex_);
      if (!streamed_) writeHead(reply, reply.body.size());
      out_.write(reply.body.data(), static_cast<std::streamsize>(reply.body.size()));
      out_.flush();
    }
    done_.set_value(std::move(reply));
  }
  std::future<HttpReply> reply() { return done_.get_future(); }

 private:
  void writeHead(const HttpReply& head, std::optional<std::size_t> length) {
    if (!headers_) return;
    out_ << "HTTP/1.1 " << head.status << " " << head.reason << "\r\n";
    for (const auto& [name, value] : head.headers) out_ << name << ": " << value << "\r\n";
    if (length) out_ << "Content-Length: " << *length << "\r\n";
    out_ << "\r\n";
  }

  std::ostream& out_;
  bool headers_;
  std::mutex mutex_;
  bool streamed_ = false;
  std::promise<HttpReply> done_;
};

std::string setCookieToken(const HttpReply& reply) {
  std::string prefix = std::string(kSessionCookie) + "=";
  for (const auto& [name, value] : reply.headers) {
    if (name == "Set-Cookie" && value.starts_with(prefix)) {
      return value.substr(prefix.size(), value.find(';') - prefix.size());
    }
  }
  return {};
}

}  // namespace

int runRender(const std::vector<std::string>& args, const automation::ClassRegistry& registry,
              std::ostream& out, std::ostream& err) {
  RenderJob job;
  std::unique_ptr<Site> site;
  SessionStore::EntryRef session;
  try {
    job = parseRender(args);
    site = std::make_unique<Site>(job.site, registry);
    session = loadSession(job, *site);
  } catch (const std::exception& e) {
    err << "balance-host render: " << e.what() << "\n";
    return kExitUsage;
  }
  if (session) {
    job.request.headers.emplace_back("Cookie", std::string(kSessionCookie) + "=" + session->token);
  }
  auto channel = std::make_shared<RenderChannel>(out, job.headers);
  auto replied = channel->reply();
  site->submit(std::move(job.request), channel);
  HttpReply reply = replied.get();
  saveSession(job, *site, session ? session->token : setCookieToken(reply));
  site->shutdown();
  if (reply.failure) {
    err << failureSummary(*reply.failure) << "\n";
    return kExitPageFailed;
  }
  return 0;
}

}  // namespace host
