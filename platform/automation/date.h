// Date: the automation date, days since 1899-12-30 with the time of day as the fraction
// (the OLE convention). Its default text form is the regional form of this build,
// yyyy-mm-dd, with " hh:mm:ss" only when the time of day is not midnight: databases accept
// it inside quoted literals, it sorts, and parseDate reads it back.
#pragma once

#include <optional>

#include "text.h"

namespace automation {

class Date {
 public:
  constexpr Date() = default;
  constexpr explicit Date(double serial) : serial_(serial) {}
  // Throws the overflow error when the fields give no representable date (year 100..9999).
  static Date fromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

  constexpr double serial() const { return serial_; }
  int year() const;
  int month() const;
  int day() const;
  int hour() const;
  int minute() const;
  int second() const;
  int weekday() const;  // Sunday = 1 .. Saturday = 7
  bool isMidnight() const;
  Date dateOnly() const;

  Date addDays(int days) const;      // calendar days, time of day kept
  Date addMonths(int months) const;  // the day is clamped to the last day of the target month

  Text text() const;  // the default text form

  friend constexpr auto operator<=>(Date a, Date b) = default;

 private:
  double serial_ = 0;
};

// yyyy-m-d or yyyy/m/d, optionally followed by h:mm or h:mm:ss; blanks around are ignored.
std::optional<Date> parseDate(TextView s);

int daysInMonth(int year, int month);

}  // namespace automation
