// Writing a whole file in binary mode. The new content goes to a temporary file in the target's
// folder and is renamed over the target only when every byte is written, so a failed write
// (a full disk, a vanished folder) never leaves half a file behind.
#pragma once

#include <cstdint>
#include <span>

#include "automation/text.h"

namespace fso {

enum class Existing { Replace, Keep };

// Writes exactly `content` to the file at a page-style path. With Existing::Keep an existing
// file is left as it is and the answer is false (the check is part of the rename, so a file
// that appears meanwhile is not clobbered either). Raises a provider error when the file
// cannot be written: the path names a folder, the folder is missing, the disk is full.
bool writeBinaryFile(automation::TextView windowsPath, std::span<const std::uint8_t> content,
                     Existing existing);

}  // namespace fso
