// Dates as VBScript reads and names them, in this build's regional settings: the short date
// is the system's yyyy-mm-dd form, names of days and months are those of the PRC locale.
// Date literals (#...#) and CDate also read the US form m/d/yyyy, and times with AM/PM.
#pragma once

#include <optional>

#include "automation/date.h"

namespace vbscript {

using automation::Date;
using automation::Text;
using automation::TextView;

std::optional<Date> parseDateText(TextView s);

// DateSerial's arithmetic: months and days out of range carry into the next unit; years
// 0..29 are 2000..2029 and 30..99 are 1930..1999. Overflow error outside 100..9999.
Date dateSerial(int year, int month, int day);
double timeSerial(double hour, double minute, double second);  // a day fraction (may be < 0 or > 1)

Text weekdayName(int weekday, bool abbreviate);  // 1 = Sunday
Text monthName(int month, bool abbreviate);
Text longDateText(Date d);                // 2024年1月15日
Text timeText(Date d, bool withSeconds);  // 24-hour hh:mm[:ss]

}  // namespace vbscript
