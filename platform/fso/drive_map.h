// Drive-letter paths on a host without drives. The receiver builds its targets the way the
// pages expect them (d:\upload\a.txt); this module decides which host file that names.
//
//   d:\upload\a.txt   -> <root of drive d>/upload/a.txt   (".." never climbs above the root)
//   upload\a.txt      -> ./upload/a.txt                   (relative to the working directory)
//
// The root of drive X is $BALANCE_DRIVE_X, else $BALANCE_DRIVES/x, else
// $XDG_DATA_HOME/balance/drives/x, else <default drives folder>/x: the host names that folder
// (under its data folder, which it never serves); ./data/drives until it does. The variables
// are read on every call, so a test or a host may change them at run time.
#pragma once

#include <filesystem>

#include "automation/text.h"

namespace fso {

std::filesystem::path driveRoot(char16_t letter);
// Where drives live when no variable says: set once by the host as it starts.
void setDefaultDrivesFolder(std::filesystem::path folder);

// The host file a page-style path names. A trailing separator is kept: such a path names a
// folder. Raises a provider error for a path that cannot name a file (a NUL character, a colon
// anywhere but after a leading drive letter).
std::filesystem::path toHostPath(automation::TextView windowsPath);

}  // namespace fso
