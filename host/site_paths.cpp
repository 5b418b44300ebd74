#include "site_paths.h"

#include <system_error>
#include <vector>

namespace host {
namespace fs = std::filesystem;

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::optional<std::string> normalizeSitePath(std::string_view base, std::string_view path) {
  std::string joined;
  if (!path.starts_with('/')) {
    joined.append(base);
    joined += '/';
  }
  joined.append(path);
  if (joined.find('\0') != std::string::npos || joined.find('\\') != std::string::npos) {
    return std::nullopt;
  }
  std::vector<std::string_view> segments;
  std::string_view rest = joined;
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string_view segment = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (segments.empty()) return std::nullopt;
      segments.pop_back();
      continue;
    }
    segments.push_back(segment);
  }
  std::string out;
  for (std::string_view s : segments) {
    if (!out.empty()) out += '/';
    out.append(s);
  }
  return out;
}

namespace {

std::optional<fs::path> findEntry(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  fs::path exact = folder / name;
  if (fs::exists(fs::symlink_status(exact, ec))) return exact;
  std::string wanted = lowerAscii(name);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (lowerAscii(it->path().filename().string()) == wanted) return it->path();
  }
  return std::nullopt;
}

bool isWithin(const fs::path& root, const fs::path& p) {
  std::error_code ec;
  fs::path r = fs::canonical(root, ec);
  if (ec) return false;
  fs::path c = fs::canonical(p, ec);
  if (ec) return false;
  auto [rootEnd, _] = std::mismatch(r.begin(), r.end(), c.begin(), c.end());
  return rootEnd == r.end();
}

}  // namespace

std::optional<fs::path> resolveSitePath(const fs::path& root, std::string_view normalized) {
  fs::path current = root;
  std::string_view rest = normalized;
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string segment(rest.substr(0, slash));
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    auto entry = findEntry(current, segment);
    if (!entry) return std::nullopt;
    current = *entry;
  }
  if (!isWithin(root, current)) return std::nullopt;
  return current;
}

std::string siteFolder(std::string_view normalized) {
  std::size_t slash = normalized.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(normalized.substr(0, slash));
}

}  // namespace host
