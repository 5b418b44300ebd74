// Resolving page paths onto the drive map, and the check that links stay inside the drive.
#include "confined_path.h"

#include <algorithm>
#include <system_error>

#include "automation/error.h"
#include "fso/drive_map.h"

namespace fso {
namespace {

namespace fs = std::filesystem;

bool startsWithDrive(automation::TextView p) {
  return p.size() >= 2 && p[1] == u':' &&
         ((p[0] >= u'a' && p[0] <= u'z') || (p[0] >= u'A' && p[0] <= u'Z'));
}

bool within(const fs::path& inner, const fs::path& root) {
  auto [r, i] = std::mismatch(root.begin(), root.end(), inner.begin(), inner.end());
  return r == root.end() || (std::next(r) == root.end() && r->empty());
}

// The page form of the resolved path: drive letter, then the components under its root.
automation::Text pageForm(char16_t drive, const fs::path& root, const fs::path& host) {
  automation::Text page{static_cast<char16_t>(drive >= u'a' ? drive - 32 : drive), u':'};
  for (const auto& part : host.lexically_relative(root)) {
    if (part == "." || part.empty()) continue;
    page += u'\\';
    page += automation::fromUtf8(part.string());
  }
  if (page.size() == 2) page += u'\\';
  return page;
}

}  // namespace

std::optional<ConfinedPath> confine(automation::TextView pagePath) {
  if (!startsWithDrive(pagePath)) return std::nullopt;
  fs::path host;
  try {
    host = toHostPath(pagePath);
  } catch (const automation::AutomationError&) {
    return std::nullopt;
  }
  std::error_code error;
  fs::path root = fs::weakly_canonical(driveRoot(pagePath[0]), error);
  if (error || !fs::is_directory(root)) return std::nullopt;
  fs::path resolved = fs::weakly_canonical(host, error);
  if (error || !within(resolved.lexically_normal(), root.lexically_normal())) return std::nullopt;
  return ConfinedPath{resolved, pageForm(pagePath[0], root, resolved)};
}

}  // namespace fso
