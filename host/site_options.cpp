// The site options of the command line.
#include "site_options.h"

#include <filesystem>

#include "site_paths.h"

namespace host {
namespace fs = std::filesystem;

const std::set<std::string>& siteOptions() {
  static const std::set<std::string> options = {"root",       "data",           "default-language",
                                                "error-page", "script-timeout", "session-timeout"};
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
  return s;
}

}  // namespace host
