// The day buckets of a view: the plans of one person that cover each day of a period, filed
// under the day of the month. Index k stands for day k; index 0 is never filled.
#pragma once

#include <array>

#include "automation/variant.h"

namespace schedule {

struct DayBuckets {
  // Every plan covering the day, as place kind ":" place "||", in order of start time.
  std::array<automation::Text, 32> text;
  // The place-kind id of the plan with the latest start that covers the day.
  std::array<automation::Variant, 32> type;
};

}  // namespace schedule
