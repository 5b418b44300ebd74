// Local dates of pages to the GMT forms the headers carry.
#include "http_dates.h"

#include <cstdio>

namespace asp {
namespace {

automation::Text format(std::time_t t, char separator) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm g{};
  gmtime_r(&t, &g);
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%s, %02d%c%s%c%04d %02d:%02d:%02d GMT", kDays[g.tm_wday],
                g.tm_mday, separator, kMonths[g.tm_mon], separator, g.tm_year + 1900, g.tm_hour,
                g.tm_min, g.tm_sec);
  return automation::fromUtf8(buffer);
}

}  // namespace

std::time_t fromLocalDate(automation::Date local) {
  std::tm parts{};
  parts.tm_year = local.year() - 1900;
  parts.tm_mon = local.month() - 1;
  parts.tm_mday = local.day();
  parts.tm_hour = local.hour();
  parts.tm_min = local.minute();
  parts.tm_sec = local.second();
  parts.tm_isdst = -1;
  return std::mktime(&parts);
}

automation::Text httpDate(std::time_t t) { return format(t, ' '); }
automation::Text cookieDate(std::time_t t) { return format(t, '-'); }

}  // namespace asp
