// Where a page-style path lands for the FileSystemObject: only inside a mapped drive. The path
// must start with a drive letter; ".." stops at the drive's root (as fso::toHostPath resolves
// it) and a symbolic link that leads out of the drive's root is refused, so no request value
// can make a page read or write outside the drives the host maps.
#pragma once

#include <filesystem>

#include "automation/text.h"

namespace scripting {

struct ConfinedPath {
  std::filesystem::path host;  // the file on this host
  automation::Text page;       // the page's form: "D:\upload\a.txt"
};

// Raises "path not found" for a path without a drive letter, one that cannot name a file, and
// one that leads outside its drive through a link.
ConfinedPath confine(automation::TextView pagePath);

}  // namespace scripting
