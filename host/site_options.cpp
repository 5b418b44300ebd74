// The site options of the command line.
#include "site_options.h"

#include <filesystem>

#include "site_paths.h"

namespace host {
namespace fs = std::filesystem;

const std::set<std::string>& siteOptions() {
  static const std::set<std::string> options = {"root",
                                                "data",
                                                "default-language",
                                                "error-page",
                                                "script-timeout",
                                                "session-timeout",
                                                "max-form-bytes",
                                                "max-response-bytes",
                                                "max-sessions",
                                                "max-session-value-bytes",
                                                "max-session-bytes",
                                                "session-cookie"};
  return options;
}

std::set<std::string> siteOptionsAnd(std::initializer_list<std::string> more) {
  std::set<std::string> options = siteOptions();
  options.insert(more);
  return options;
}

SiteSettings siteSettings(const CommandLine& c) {
  SiteSettings s;
  s.root = fs::absolute(c.value("root").value_or(fs::current_path().string()));
  if (!fs::is_directory(s.root)) throw std::invalid_argument("no folder " + s.root.string());
  if (auto data = c.value("data")) s.dataFolder = fs::absolute(*data);
  s.defaultLanguage = lowerAscii(c.value("default-language").value_or(s.defaultLanguage));
  if (auto page = c.value("error-page")) {
    auto normalized = normalizeSitePath("", *page);
    if (!normalized || normalized->empty()) {
      throw std::invalid_argument("--error-page lies outside the root");
    }
    s.errorPage = *normalized;
  }
  s.scriptTimeout = std::chrono::seconds(c.number("script-timeout", 90, 1, 86400));
  s.sessionTimeoutMinutes = static_cast<int>(c.number("session-timeout", 20, 1, 24 * 60));
  auto bytes = [&c](const char* name, std::size_t fallback) {
    return static_cast<std::size_t>(c.number(name, static_cast<long>(fallback), 1, 1l << 40));
  };
  s.maxFormBytes = bytes("max-form-bytes", s.maxFormBytes);
  s.maxResponseBytes = bytes("max-response-bytes", s.maxResponseBytes);
  s.maxSessions = bytes("max-sessions", s.maxSessions);
  s.sessionLimits.maxValueBytes = bytes("max-session-value-bytes", s.sessionLimits.maxValueBytes);
  s.sessionLimits.maxBytes = bytes("max-session-bytes", s.sessionLimits.maxBytes);
  std::string sameSite = lowerAscii(c.value("session-cookie").value_or("strict"));
  if (sameSite != "strict" && sameSite != "lax") {
    throw std::invalid_argument("--session-cookie wants strict or lax");
  }
  s.laxSessionCookie = sameSite == "lax";
  return s;
}

const char kSiteOptionsHelp[] =
    "  --root DIR                  the site: pages and files (default: the working folder)\n"
    "  --data DIR                  site database and upload drives, never served\n"
    "                              (default: ROOT-data beside the site)\n"
    "  --default-language NAME     of pages without a Language directive (vbscript)\n"
    "  --error-page PAGE           runs instead of the error block when a page fails\n"
    "  --script-timeout SECONDS    a page and the components it calls stop then (90)\n"
    "  --session-timeout MINUTES   idle time after which a session ends (20)\n"
    "  --max-form-bytes N          query string or URL-encoded body; 413 beyond (2097152)\n"
    "  --max-response-bytes N      a page's reply; the page ends with an error beyond (33554432)\n"
    "  --max-sessions N            sessions kept; the one idle longest ends first (10000)\n"
    "  --max-session-value-bytes N one session value; an error to the page beyond (65536)\n"
    "  --max-session-bytes N       one session's values together (262144)\n"
    "  --session-cookie strict|lax SameSite of the session cookie (strict)\n";

}  // namespace host
