// Routing of request targets to the files of a site.
#include "site_routes.h"

#include <mutex>

#include "asp/url_encoding.h"
#include "site_paths.h"
#include "static_files.h"

namespace host {
namespace fs = std::filesystem;
using automation::fromUtf8;
using automation::toUtf8;

namespace {

std::optional<fs::path> defaultPage(const fs::path& root, const std::string& folder) {
  for (const char* name : {"index.asp", "default.asp"}) {
    std::string candidate = folder.empty() ? name : folder + "/" + name;
    if (auto file = resolveSitePath(root, candidate); file && fs::is_regular_file(*file)) {
      return file;
    }
  }
  return std::nullopt;
}

Route reply(int status, std::string reason) {
  Route r;
  r.reply = plainReply(status, std::move(reason));
  return r;
}

}  // namespace

std::string_view targetPath(std::string_view target) { return target.substr(0, target.find('?')); }

std::string_view targetQuery(std::string_view target) {
  std::size_t question = target.find('?');
  return question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
}

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

Route routeRequest(const fs::path& root, const PageRequest& request) {
  if (request.method != "GET" && request.method != "POST" && request.method != "HEAD") {
    return reply(405, "Method Not Allowed");
  }
  std::string_view rawPath = targetPath(request.target);
  auto path = decodeUrlPath(rawPath);
  if (!path || !path->starts_with('/')) return reply(400, "Bad Request");
  auto normalized = normalizeSitePath("", *path);
  if (!normalized) return reply(404, "Not Found");
  auto file = resolveSitePath(root, *normalized);
  if (!file) return reply(404, "Not Found");
  Route route;
  if (fs::is_directory(*file)) {
    if (!path->ends_with('/')) {
      route = reply(301, "Moved Permanently");
      std::string_view query = targetQuery(request.target);
      // From the normalized path: "//evil.example/../images" must not lead off the site.
      std::string location = toUtf8(asp::urlPathEncode(fromUtf8("/" + *normalized), 65001));
      route.reply.headers.emplace_back(
          "Location", location + "/" + (query.empty() ? "" : "?" + std::string(query)));
      return route;
    }
    auto page = defaultPage(root, *normalized);
    if (!page) return reply(404, "Not Found");
    std::string name = page->filename().string();
    route.kind = Route::Kind::Page;
    route.page = normalized->empty() ? name : *normalized + "/" + name;
    route.file = *page;
    return route;
  }
  if (StaticFiles::isPage(*file)) {
    route.kind = Route::Kind::Page;
    route.page = *normalized;
    route.file = *file;
    return route;
  }
  route.kind = Route::Kind::File;
  route.file = *file;
  return route;
}

std::optional<std::string> KnownPages::find(std::string_view rawPath) const {
  Known known;
  {
    std::shared_lock lock(mutex_);
    auto it = known_.find(rawPath);
    if (it == known_.end()) return std::nullopt;
    known = it->second;
  }
  auto identity = identifyFile(known.file);
  if (!identity || !(*identity == known.identity)) return std::nullopt;
  return known.page;
}

void KnownPages::remember(std::string_view rawPath, const Route& route) {
  auto identity = identifyFile(route.file);
  if (route.kind != Route::Kind::Page || !identity) return;
  std::unique_lock lock(mutex_);
  if (known_.size() >= kMax) known_.clear();
  known_.insert_or_assign(std::string(rawPath), Known{route.page, route.file, *identity});
}

}  // namespace host
