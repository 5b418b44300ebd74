#include "base_name.h"

#include <algorithm>

namespace upload {

std::optional<automation::Text> baseName(automation::TextView postedName) {
  const auto cut = postedName.find_last_of(u"\\:/");
  const auto base = cut == automation::TextView::npos ? postedName : postedName.substr(cut + 1);
  const bool control =
      std::any_of(base.begin(), base.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; });
  if (base == u"." || base == u".." || control) return std::nullopt;
  return automation::Text(base);
}

}  // namespace upload
