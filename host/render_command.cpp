#include "render_command.h"

#include <filesystem>
#include <fstream>

#include "command_line.h"
#include "page_runner.h"
#include "session_json.h"
#include "site_database.h"
#include "site_paths.h"
#include "static_files.h"

namespace host {
namespace fs = std::filesystem;

namespace {

struct RenderJob {
  fs::path root;
  fs::path dataFolder;
  std::string page;
  PageRequest request;
  std::optional<fs::path> sessionFile;
  bool headers = false;
};

// Raises std::invalid_argument with the message for standard error.
RenderJob parseRender(const std::vector<std::string>& args) {
  CommandLine c = parseCommandLine(
      args, {"root", "data", "url", "query", "form", "body", "content-type", "session"},
      {"headers"});
  if (c.positional.size() != 1) throw std::invalid_argument("render wants exactly one PAGE");
  if (c.value("form") && c.value("body")) {
    throw std::invalid_argument("--form and --body exclude each other");
  }
  if (c.value("content-type") && !c.value("body")) {
    throw std::invalid_argument("--content-type goes with --body");
  }
  RenderJob job;
  job.root = c.value("root").value_or(fs::current_path().string());
  job.dataFolder = c.value("data") ? fs::path(*c.value("data")) : defaultDataFolder(job.root);
  auto page = normalizeSitePath("", c.positional[0]);
  if (!page || page->empty()) throw std::invalid_argument("PAGE lies outside the root");
  auto file = resolveSitePath(job.root, *page);
  if (!file || !fs::is_regular_file(*file)) {
    throw std::invalid_argument("no page " + c.positional[0] + " under " + job.root.string());
  }
  job.page = *page;
  job.request.url = c.value("url").value_or("/" + *page);
  job.request.query = c.value("query").value_or("");
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

void loadSession(const RenderJob& job, asp::Session& session) {
  if (!job.sessionFile || !fs::exists(*job.sessionFile)) return;
  auto text = readWholeFile(*job.sessionFile);
  if (!text) throw std::invalid_argument("cannot read " + job.sessionFile->string());
  try {
    readSessionJson(*text, session.contents());
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument(job.sessionFile->string() + ": " + e.what());
  }
}

void saveSession(const RenderJob& job, asp::Session& session) {
  if (!job.sessionFile) return;
  if (session.abandoned()) session.contents().clear();
  std::ofstream out(*job.sessionFile, std::ios::binary | std::ios::trunc);
  out << writeSessionJson(session.contents());
}

}  // namespace

int runRender(const std::vector<std::string>& args, const automation::ClassRegistry& registry,
              std::ostream& out, std::ostream& err) {
  RenderJob job;
  auto session = std::make_shared<asp::Session>();
  try {
    job = parseRender(args);
    loadSession(job, *session);
  } catch (const std::invalid_argument& e) {
    err << "balance-host render: " << e.what() << "\n";
    return kExitUsage;
  }
  auto application = std::make_shared<asp::Application>();
  std::unique_ptr<SiteDatabase> database;
  try {
    database = SiteDatabase::open(job.root, job.dataFolder, *application);
  } catch (const std::exception& e) {
    err << "balance-host render: " << e.what() << "\n";
    return kExitUsage;
  }
  PageRunner runner({job.root}, registry, application);
  PageResponse response = runner.run(job.page, job.request, session);
  saveSession(job, *session);
  if (job.headers) {
    out << "HTTP/1.1 " << response.status << " " << response.reason << "\r\n";
    for (const auto& [name, value] : response.headers) out << name << ": " << value << "\r\n";
    out << "Content-Length: " << response.body.size() << "\r\n\r\n";
  }
  out.write(response.body.data(), static_cast<std::streamsize>(response.body.size()));
  out.flush();
  if (response.failure) {
    err << response.failure->summary() << "\n";
    return kExitPageFailed;
  }
  return 0;
}

}  // namespace host
