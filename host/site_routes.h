// Where a request target leads in a site: a page, a file, a redirect to a folder's slash, or a
// refusal. Paths are percent-decoded, normalized (never above the root) and matched without
// regard to case; a folder gives its index.asp or default.asp and is never listed.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <shared_mutex>
#include <string>

#include "exchange.h"
#include "static_files.h"

namespace host {

struct Route {
  enum class Kind { Page, File, Reply };
  Kind kind = Kind::Reply;
  std::string page;            // Page: root-relative path
  std::filesystem::path file;  // Page and File: resolved under the root
  HttpReply reply;             // Reply: 301, 400, 404 or 405
};

Route routeRequest(const std::filesystem::path& root, const PageRequest& request);

// Targets already routed to a page: while the page's file stays as it was (one stat), the
// target leads to it again without a walk of its path.
class KnownPages {
 public:
  std::optional<std::string> find(std::string_view rawPath) const;
  void remember(std::string_view rawPath, const Route& route);

 private:
  struct Known {
    std::string page;
    std::filesystem::path file;
    FileIdentity identity;
  };
  static constexpr std::size_t kMax = 4096;
  mutable std::shared_mutex mutex_;
  std::map<std::string, Known, std::less<>> known_;
};

// The path of a request target (before "?") and its query (after it).
std::string_view targetPath(std::string_view target);
std::string_view targetQuery(std::string_view target);

// Percent-decoding of a URL path; nullopt for a malformed escape or an encoded NUL.
std::optional<std::string> decodeUrlPath(std::string_view path);

}  // namespace host
