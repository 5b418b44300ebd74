// The one file-system question the receiver asks before writing: is there a file at this
// page-style path? Folders are not files, as the scripting runtime answers.
#pragma once

#include "automation/text.h"

namespace fso {

class FileSystemObject {
 public:
  // False also for a path that cannot name a file.
  bool FileExists(automation::TextView windowsPath) const;
};

}  // namespace fso
