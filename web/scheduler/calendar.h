// The calendar rules every schedule view rests on: weekdays are numbered from Sunday = 1, weeks
// run from Monday to Sunday, and a month is shown from the Monday on or before its first day.
#pragma once

#include "automation/date.h"

namespace schedule {

using automation::Date;
using automation::TextView;

struct MonthBounds {
  Date first;  // the first day of the month, midnight
  Date last;   // the last day of the month, midnight
};

MonthBounds monthBounds(Date d);
// The Monday on or before `d`, keeping its time of day.
Date prevMonday(Date d);
// The Monday on or before the first day of `d`'s month, midnight.
Date firstMonday(Date d);
// The week of `d` within its month: 1 plus the Mondays among the days before it.
int weekOfMonth(Date d);
// "日" for Sunday, "一" for Monday .. "六" for Saturday.
TextView weekdayName(Date d);

}  // namespace schedule
