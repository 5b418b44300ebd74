// Where a request target leads in a site: a page, a file, a redirect to a folder's slash, or a
// refusal. Paths are percent-decoded, normalized (never above the root) and matched without
// regard to case; a folder gives its index.asp or default.asp and is never listed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "exchange.h"

namespace host {

struct Route {
  enum class Kind { Page, File, Reply };
  Kind kind = Kind::Reply;
  std::string page;            // Page: root-relative path
  std::filesystem::path file;  // File: resolved under the root
  HttpReply reply;             // Reply: 301, 400, 404 or 405
};

Route routeRequest(const std::filesystem::path& root, const PageRequest& request);

// The path of a request target (before "?") and its query (after it).
std::string_view targetPath(std::string_view target);
std::string_view targetQuery(std::string_view target);

// Percent-decoding of a URL path; nullopt for a malformed escape or an encoded NUL.
std::optional<std::string> decodeUrlPath(std::string_view path);

}  // namespace host
