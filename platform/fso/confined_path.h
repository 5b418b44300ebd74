// Where a page-style path lands for the page objects that open files (the FileSystemObject,
// ADODB.Stream): only inside a mapped drive. The path must start with a drive letter; ".."
// stops at the drive's root (as toHostPath resolves it) and a symbolic link that leads out of
// the drive's root is refused, so no request value can make a page read or write outside the
// drives the host maps.
#pragma once

#include <filesystem>
#include <optional>

#include "automation/text.h"

namespace fso {

struct ConfinedPath {
  std::filesystem::path host;  // the file on this host
  automation::Text page;       // the page's form: "D:\upload\a.txt"
};

// Nothing for a path without a drive letter, one that cannot name a file, one on a drive whose
// root is missing, and one that leads outside its drive through a link.
std::optional<ConfinedPath> confine(automation::TextView pagePath);

}  // namespace fso
