#include "site_handler.h"

#include "site_paths.h"

namespace host {
namespace fs = std::filesystem;

namespace {

HttpReply plain(int status, std::string reason) {
  HttpReply r;
  r.status = status;
  r.reason = reason;
  r.headers.emplace_back("Content-Type", "text/plain; charset=utf-8");
  r.body = std::to_string(status) + " " + reason + "\n";
  return r;
}

HttpReply notFound() { return plain(404, "Not Found"); }

std::string cookieValue(const Headers& headers, std::string_view name) {
  for (const auto& [key, value] : headers) {
    if (lowerAscii(key) != "cookie") continue;
    std::string_view rest = value;
    while (!rest.empty()) {
      std::size_t semicolon = rest.find(';');
      std::string_view pair = rest.substr(0, semicolon);
      rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
      while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
      if (pair.starts_with(name) && pair.size() > name.size() && pair[name.size()] == '=') {
        return std::string(pair.substr(name.size() + 1));
      }
    }
  }
  return {};
}

std::optional<fs::path> defaultPage(const fs::path& root, const std::string& folder) {
  for (const char* name : {"index.asp", "default.asp"}) {
    std::string candidate = folder.empty() ? name : folder + "/" + name;
    if (auto file = resolveSitePath(root, candidate); file && fs::is_regular_file(*file)) {
      return file;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> decodeUrlPath(std::string_view path) {
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] != '%') {
      out += path[i];
      continue;
    }
    if (i + 2 >= path.size()) return std::nullopt;
    int high = hex(path[i + 1]);
    int low = hex(path[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    char c = static_cast<char>(high * 16 + low);
    if (c == '\0') return std::nullopt;
    out += c;
    i += 2;
  }
  return out;
}

SiteHandler::SiteHandler(PageRunner& pages, SessionStore& sessions, StaticFiles files,
                         int maxRequestsPerSession)
    : pages_(pages),
      sessions_(sessions),
      files_(std::move(files)),
      maxRequestsPerSession_(maxRequestsPerSession) {}

HttpReply SiteHandler::handle(PageRequest request) {
  if (request.method != "GET" && request.method != "POST" && request.method != "HEAD") {
    return plain(405, "Method Not Allowed");
  }
  std::string target = request.url;
  std::size_t question = target.find('?');
  std::string rawPath = target.substr(0, question);
  request.query = question == std::string::npos ? std::string() : target.substr(question + 1);
  auto path = decodeUrlPath(rawPath);
  if (!path || !path->starts_with('/')) return plain(400, "Bad Request");
  auto normalized = normalizeSitePath("", *path);
  if (!normalized) return notFound();
  const fs::path& root = pages_.settings().root;
  auto file = resolveSitePath(root, *normalized);
  if (!file) return notFound();

  if (fs::is_directory(*file)) {
    if (!path->ends_with('/')) {
      HttpReply r = plain(301, "Moved Permanently");
      r.headers.emplace_back("Location",
                             rawPath + "/" + (request.query.empty() ? "" : "?" + request.query));
      return r;
    }
    auto page = defaultPage(root, *normalized);
    if (!page) return notFound();
    std::string name = page->filename().string();
    return runPage(normalized->empty() ? name : *normalized + "/" + name, std::move(request));
  }
  if (StaticFiles::isPage(*file)) return runPage(*normalized, std::move(request));
  if (!files_.servable(*file)) return notFound();
  auto body = readWholeFile(*file);
  if (!body) return notFound();
  HttpReply r;
  r.headers.emplace_back("Content-Type", StaticFiles::contentType(*file));
  if (request.method != "HEAD") r.body = std::move(*body);
  return r;
}

HttpReply SiteHandler::runPage(const std::string& page, PageRequest request) {
  request.url = "/" + page;
  auto lease =
      sessions_.acquire(cookieValue(request.headers, kSessionCookie), maxRequestsPerSession_);
  if (!lease) {
    HttpReply busy = plain(503, "Service Unavailable");
    busy.headers.emplace_back("Retry-After", "1");
    return busy;
  }
  PageResponse response = pages_.run(page, request, lease->session());
  HttpReply r;
  r.status = response.status;
  r.reason = response.reason;
  r.headers = std::move(response.headers);
  if (lease->isNew()) {
    r.headers.emplace_back("Set-Cookie", std::string(kSessionCookie) + "=" + lease->id() +
                                             "; Path=/; HttpOnly; SameSite=Lax");
  }
  r.body = request.method == "HEAD" ? std::string() : std::move(response.body);
  r.failure = std::move(response.failure);
  return r;
}

}  // namespace host
