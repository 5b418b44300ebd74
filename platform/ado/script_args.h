// Reading the arguments of a late-bound call: an optional argument left out, passed as
// missing or as empty takes its default.
#pragma once

#include "automation/variant.h"

namespace ado {

inline bool given(automation::Args a, std::size_t i) {
  return i < a.size() && !a[i].isMissing() && !a[i].isEmpty();
}

inline automation::Variant argOr(automation::Args a, std::size_t i, automation::Variant fallback) {
  return given(a, i) ? a[i] : fallback;
}

inline std::int32_t intArgOr(automation::Args a, std::size_t i, std::int32_t fallback) {
  return given(a, i) ? automation::toInt32(a[i]) : fallback;
}

inline automation::Text textArgOr(automation::Args a, std::size_t i,
                                  automation::Text fallback = {}) {
  return given(a, i) ? automation::toText(a[i]) : fallback;
}

}  // namespace ado
