#include "file_system_object.h"

#include <system_error>

#include "automation/error.h"
#include "drive_map.h"

namespace fso {

bool FileSystemObject::FileExists(automation::TextView windowsPath) const {
  try {
    std::error_code ignored;
    return std::filesystem::is_regular_file(toHostPath(windowsPath), ignored);
  } catch (const automation::AutomationError&) {
    return false;
  }
}

}  // namespace fso
