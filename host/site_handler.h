// What the HTTP host does with one request, apart from the wire: maps the URL to a file of the
// site, runs pages inside their session (creating it and its cookie when needed) and serves
// static files. Directories are never listed: a folder gives its index.asp or default.asp.
#pragma once

#include <string>

#include "page_runner.h"
#include "session_store.h"
#include "static_files.h"

namespace host {

struct HttpReply {
  int status = 200;
  std::string reason = "OK";
  Headers headers;
  std::string body;
  std::optional<PageFailure> failure;
};

inline constexpr char kSessionCookie[] = "BALANCESESSIONID";

class SiteHandler {
 public:
  // At most `maxRequestsPerSession` requests of one session run or wait at a time (0: any).
  SiteHandler(PageRunner& pages, SessionStore& sessions, StaticFiles files,
              int maxRequestsPerSession = 0);

  // `request.url` holds the raw request target (path and query, percent-encoded).
  HttpReply handle(PageRequest request);

 private:
  HttpReply runPage(const std::string& page, PageRequest request);

  PageRunner& pages_;
  SessionStore& sessions_;
  StaticFiles files_;
  int maxRequestsPerSession_;
};

// Percent-decoding of a URL path; nullopt for a malformed escape or an encoded NUL.
std::optional<std::string> decodeUrlPath(std::string_view path);

}  // namespace host
