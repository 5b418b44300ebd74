// The name under which a posted file is stored: what follows the last "\", ":" or "/" of the
// name the browser sent. A name that would not stay inside the target folder or that no file
// can carry (".", "..", control characters such as NUL or CR) gives no base name at all.
#pragma once

#include <optional>

#include "automation/text.h"

namespace upload {

std::optional<automation::Text> baseName(automation::TextView postedName);

}  // namespace upload
