#include "date.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "error.h"

namespace automation {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
long daysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

struct Civil {
  int year;
  int month;
  int day;
};

Civil civilFromDays(long z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long y = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

const long kEpochOffset = daysFromCivil(1899, 12, 30);

// An OLE date splits into a whole day (truncated toward zero) and the time of day as the
// magnitude of the rest, also before the epoch: -1.25 is 1899-12-29 06:00.
struct Split {
  long day;
  long seconds;  // 0 .. 86399
};

Split split(double serial) {
  double whole = std::trunc(serial);
  long seconds = std::lround(std::fabs(serial - whole) * 86400.0);
  long day = static_cast<long>(whole);
  if (seconds >= 86400) {  // rounding carried into the next day
    seconds -= 86400;
    day += serial < 0 ? -1 : 1;
  }
  return {day, seconds};
}

double join(long day, long seconds) {
  double fraction = seconds / 86400.0;
  return day >= 0 ? day + fraction : day - fraction;
}

}  // namespace

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

Date Date::fromParts(int year, int month, int day, int hour, int minute, int second) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > daysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59) {
    throwOverflow();
  }
  long days = daysFromCivil(year, month, day) - kEpochOffset;
  return Date(join(days, hour * 3600L + minute * 60L + second));
}

int Date::year() const { return civilFromDays(split(serial_).day + kEpochOffset).year; }
int Date::month() const { return civilFromDays(split(serial_).day + kEpochOffset).month; }
int Date::day() const { return civilFromDays(split(serial_).day + kEpochOffset).day; }
int Date::hour() const { return static_cast<int>(split(serial_).seconds / 3600); }
int Date::minute() const { return static_cast<int>(split(serial_).seconds / 60 % 60); }
int Date::second() const { return static_cast<int>(split(serial_).seconds % 60); }
bool Date::isMidnight() const { return split(serial_).seconds == 0; }

int Date::weekday() const {
  long days = split(serial_).day + kEpochOffset;  // 1970-01-01 was a Thursday (5)
  long w = (days % 7 + 7 + 4) % 7;                // 0 = Sunday
  return static_cast<int>(w) + 1;
}

Date Date::dateOnly() const { return Date(join(split(serial_).day, 0)); }

Date Date::addDays(int days) const {
  Split s = split(serial_);
  Date r(join(s.day + days, s.seconds));
  if (r.year() < 100 || r.year() > 9999) throwOverflow();
  return r;
}

Date Date::addMonths(int months) const {
  Split s = split(serial_);
  Civil c = civilFromDays(s.day + kEpochOffset);
  long total = c.year * 12L + (c.month - 1) + months;
  int y = static_cast<int>(total / 12);
  int m = static_cast<int>(total % 12) + 1;
  if (y < 100 || y > 9999) throwOverflow();
  int d = std::min(c.day, daysInMonth(y, m));
  return Date(join(daysFromCivil(y, m, d) - kEpochOffset, s.seconds));
}

Text Date::text() const {
  Split s = split(serial_);
  Civil c = civilFromDays(s.day + kEpochOffset);
  char buf[32];
  int n = s.seconds == 0 ? std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.year, c.month, c.day)
                         : std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", c.year,
                                         c.month, c.day, static_cast<int>(s.seconds / 3600),
                                         static_cast<int>(s.seconds / 60 % 60),
                                         static_cast<int>(s.seconds % 60));
  return Text(buf, buf + n);
}

namespace {

struct Reader {
  TextView s;
  std::size_t i = 0;
  bool at(char16_t c) const { return i < s.size() && s[i] == c; }
  bool number(int& out, int maxDigits) {
    std::size_t start = i;
    long v = 0;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && i - start < std::size_t(maxDigits)) {
      v = v * 10 + (s[i++] - u'0');
    }
    out = static_cast<int>(v);
    return i > start;
  }
  void blanks() {
    while (at(u' ')) ++i;
  }
};

}  // namespace

std::optional<Date> parseDate(TextView text) {
  Reader r{text};
  r.blanks();
  int y, m, d, hh = 0, mm = 0, ss = 0;
  if (!r.number(y, 4)) return std::nullopt;
  char16_t sep = r.at(u'-') ? u'-' : r.at(u'/') ? u'/' : 0;
  if (!sep) return std::nullopt;
  ++r.i;
  if (!r.number(m, 2) || !r.at(sep)) return std::nullopt;
  ++r.i;
  if (!r.number(d, 2)) return std::nullopt;
  std::size_t beforeTime = r.i;
  r.blanks();
  if (r.i > beforeTime && r.i < text.size() && text[r.i] != u' ') {
    if (!r.number(hh, 2) || !r.at(u':')) return std::nullopt;
    ++r.i;
    if (!r.number(mm, 2)) return std::nullopt;
    if (r.at(u':')) {
      ++r.i;
      if (!r.number(ss, 2)) return std::nullopt;
    }
  }
  r.blanks();
  if (r.i != text.size()) return std::nullopt;
  if (y < 100 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m) || hh > 23 || mm > 59 ||
      ss > 59) {
    return std::nullopt;
  }
  return Date::fromParts(y, m, d, hh, mm, ss);
}

}  // namespace automation
