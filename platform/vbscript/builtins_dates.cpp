// Date functions: Date, Time, Now, Timer, DateAdd, DateDiff, DatePart (with first day of week
// and first week of year), DateSerial, DateValue, TimeSerial, TimeValue, the parts of a date,
// WeekdayName and MonthName. Arithmetic is done on whole seconds counted from the epoch so
// that dates before 1899-12-30 (whose time of day runs the other way in the serial) work too.
#include <sys/time.h>
#include <cmath>
#include <ctime>
#include <iterator>

#include "builtins.h"
#include "dates.h"
#include "errors.h"
#include "operators.h"

namespace vbscript {

namespace {

Variant arg(Args a, std::size_t i = 0) { return valueOf(a[i]); }

Date dateArg(const Variant& v0) {
  Variant v = valueOf(v0);
  if (v.isNull()) raise(err::kInvalidNull);
  if (v.isText()) {
    if (auto d = parseDateText(v.text())) return *d;
    auto n = automation::parseNumber(v.text());
    if (!n) raise(err::kTypeMismatch);
    return Date(*n);
  }
  return Date(automation::toDouble(v));
}

// Seconds since the epoch day's midnight, and back.
long long secondsOf(Date d) {
  double s = d.serial();
  double whole = std::trunc(s);
  return static_cast<long long>(whole) * 86400 + std::llround(std::fabs(s - whole) * 86400.0);
}

Date fromSeconds(long long abs) {
  long long day = abs >= 0 ? abs / 86400 : -((-abs + 86399) / 86400);
  long long secs = abs - day * 86400;
  double serial = day >= 0 ? day + secs / 86400.0 : day - secs / 86400.0;
  Date d(serial);
  if (d.year() < 100 || d.year() > 9999 || serial < -657434 || serial > 2958465.99999)
    raise(err::kOverflow);
  return d;
}

long long dayOf(Date d) {
  long long s = secondsOf(d);
  return s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
}

long long floorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval intervalOf(const Variant& v) {
  Text s = automation::lower(textArg(v));
  if (s == u"yyyy") return Interval::Year;
  if (s == u"q") return Interval::Quarter;
  if (s == u"m") return Interval::Month;
  if (s == u"y") return Interval::DayOfYear;
  if (s == u"d") return Interval::Day;
  if (s == u"w") return Interval::Weekday;
  if (s == u"ww") return Interval::Week;
  if (s == u"h") return Interval::Hour;
  if (s == u"n") return Interval::Minute;
  if (s == u"s") return Interval::Second;
  raise(err::kInvalidCall);
}

int firstDayOf(Args a, std::size_t i) {
  int f = intArg(a, i, 1);
  if (f < 0 || f > 7) raise(err::kInvalidCall);
  return f == 0 ? 1 : f;
}

int weekdayFrom(Date d, int firstDay) { return (d.weekday() - firstDay + 7) % 7 + 1; }

int dayOfYear(Date d) {
  return static_cast<int>(dayOf(d) - dayOf(Date::fromParts(d.year(), 1, 1))) + 1;
}

// The first day of week 1 of `year`: the week holding 1 January (vbFirstJan1), the first
// week with at least four days in the year (vbFirstFourDays) or the first whole week
// (vbFirstFullWeek).
long long weekOneStart(int year, int firstDay, int firstWeek) {
  Date jan1 = Date::fromParts(year, 1, 1);
  int before = (jan1.weekday() - firstDay + 7) % 7;  // days of that week in the year before
  bool counts =
      firstWeek == 1 || (firstWeek == 2 && before <= 3) || (firstWeek == 3 && before == 0);
  return dayOf(jan1) - before + (counts ? 0 : 7);
}

// Days late in December may belong to week 1 of the next year, and days early in January to
// the last week of the year before.
int weekOfYear(Date d, int firstDay, int firstWeek) {
  long long day = dayOf(d);
  int year = d.year();
  if (firstWeek == 2 && year < 9999 && day >= weekOneStart(year + 1, firstDay, firstWeek)) return 1;
  long long start = weekOneStart(year, firstDay, firstWeek);
  if (day < start && year > 100) start = weekOneStart(year - 1, firstDay, firstWeek);
  return static_cast<int>((day - start) / 7) + 1;
}

Variant dateAdd(Runtime&, Args a) {
  Interval iv = intervalOf(a[0]);
  Variant nv = arg(a, 1);
  if (nv.isNull()) raise(err::kInvalidNull);
  double nd = std::trunc(automation::toDouble(nv));
  if (std::fabs(nd) > 1e9) raise(err::kInvalidCall);
  long long n = static_cast<long long>(nd);
  Date d = dateArg(a[2]);
  switch (iv) {
    case Interval::Year:
      return Variant(d.addMonths(static_cast<int>(n * 12)));
    case Interval::Quarter:
      return Variant(d.addMonths(static_cast<int>(n * 3)));
    case Interval::Month:
      return Variant(d.addMonths(static_cast<int>(n)));
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
      return Variant(fromSeconds(secondsOf(d) + n * 86400));
    case Interval::Week:
      return Variant(fromSeconds(secondsOf(d) + n * 7 * 86400));
    case Interval::Hour:
      return Variant(fromSeconds(secondsOf(d) + n * 3600));
    case Interval::Minute:
      return Variant(fromSeconds(secondsOf(d) + n * 60));
    case Interval::Second:
      return Variant(fromSeconds(secondsOf(d) + n));
  }
  return {};
}

Variant dateDiff(Runtime&, Args a) {
  Interval iv = intervalOf(a[0]);
  if (arg(a, 1).isNull() || arg(a, 2).isNull()) return Variant::null();
  Date x = dateArg(a[1]), y = dateArg(a[2]);
  int firstDay = firstDayOf(a, 3);
  long long r = 0;
  switch (iv) {
    case Interval::Year:
      r = y.year() - x.year();
      break;
    case Interval::Quarter:
      r = (y.year() * 4 + (y.month() - 1) / 3) - (x.year() * 4 + (x.month() - 1) / 3);
      break;
    case Interval::Month:
      r = (y.year() * 12 + y.month()) - (x.year() * 12 + x.month());
      break;
    case Interval::DayOfYear:
    case Interval::Day:
      r = dayOf(y) - dayOf(x);
      break;
    case Interval::Weekday:
      r = (dayOf(y) - dayOf(x)) / 7;
      break;
    case Interval::Week: {
      long long wx = dayOf(x) - (x.weekday() - firstDay + 7) % 7;
      long long wy = dayOf(y) - (y.weekday() - firstDay + 7) % 7;
      r = (wy - wx) / 7;
      break;
    }
    case Interval::Hour:
      r = floorDiv(secondsOf(y), 3600) - floorDiv(secondsOf(x), 3600);
      break;
    case Interval::Minute:
      r = floorDiv(secondsOf(y), 60) - floorDiv(secondsOf(x), 60);
      break;
    case Interval::Second:
      r = secondsOf(y) - secondsOf(x);
      break;
  }
  return Variant(static_cast<long>(r));
}

Variant datePart(Runtime&, Args a) {
  Interval iv = intervalOf(a[0]);
  if (arg(a, 1).isNull()) return Variant::null();
  Date d = dateArg(a[1]);
  int firstDay = firstDayOf(a, 2);
  int firstWeek = intArg(a, 3, 1);
  if (firstWeek < 0 || firstWeek > 3) raise(err::kInvalidCall);
  if (firstWeek == 0) firstWeek = 1;
  int r = 0;
  switch (iv) {
    case Interval::Year:
      r = d.year();
      break;
    case Interval::Quarter:
      r = (d.month() - 1) / 3 + 1;
      break;
    case Interval::Month:
      r = d.month();
      break;
    case Interval::DayOfYear:
      r = dayOfYear(d);
      break;
    case Interval::Day:
      r = d.day();
      break;
    case Interval::Weekday:
      r = weekdayFrom(d, firstDay);
      break;
    case Interval::Week:
      r = weekOfYear(d, firstDay, firstWeek);
      break;
    case Interval::Hour:
      r = d.hour();
      break;
    case Interval::Minute:
      r = d.minute();
      break;
    case Interval::Second:
      r = d.second();
      break;
  }
  return Variant(static_cast<std::int32_t>(r));
}

struct LocalNow {
  Date date;
  double secondsSinceMidnight;
};

LocalNow localNow() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::time_t t = tv.tv_sec;
  std::tm tm{};
  localtime_r(&t, &tm);
  Date d = Date::fromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                           tm.tm_sec);
  return {d, tm.tm_hour * 3600.0 + tm.tm_min * 60 + tm.tm_sec + tv.tv_usec / 1e6};
}

Variant now(Runtime&, Args) { return Variant(localNow().date); }
Variant today(Runtime&, Args) { return Variant(localNow().date.dateOnly()); }
Variant timeNow(Runtime&, Args) {
  Date d = localNow().date;
  return Variant(Date(timeSerial(d.hour(), d.minute(), d.second())));
}
Variant timer(Runtime&, Args) {
  return Variant(static_cast<float>(std::floor(localNow().secondsSinceMidnight * 100) / 100));
}

int wholeArg(Args a, std::size_t i) {
  Variant v = arg(a, i);
  if (v.isNull()) raise(err::kInvalidNull);
  return automation::toInt32(v);
}

Variant dateSerialFn(Runtime&, Args a) {
  return Variant(dateSerial(wholeArg(a, 0), wholeArg(a, 1), wholeArg(a, 2)));
}

Variant timeSerialFn(Runtime&, Args a) {
  double f = timeSerial(wholeArg(a, 0), wholeArg(a, 1), wholeArg(a, 2));
  // A negative or overlong time carries into the days before or after the epoch.
  return Variant(fromSeconds(std::llround(f * 86400)));
}

Variant dateValue(Runtime&, Args a) {
  if (arg(a).isNull()) return Variant::null();
  return Variant(dateArg(a[0]).dateOnly());
}

Variant timeValue(Runtime&, Args a) {
  if (arg(a).isNull()) return Variant::null();
  Date d = dateArg(a[0]);
  return Variant(Date(timeSerial(d.hour(), d.minute(), d.second())));
}

template <int (Date::*Part)() const>
Variant part(Runtime&, Args a) {
  if (arg(a).isNull()) return Variant::null();
  return Variant(static_cast<std::int16_t>((dateArg(a[0]).*Part)()));
}

Variant weekday(Runtime&, Args a) {
  if (arg(a).isNull()) return Variant::null();
  return Variant(static_cast<std::int16_t>(weekdayFrom(dateArg(a[0]), firstDayOf(a, 1))));
}

Variant weekdayNameFn(Runtime&, Args a) {
  int w = wholeArg(a, 0);
  if (w < 1 || w > 7) raise(err::kInvalidCall);
  bool abbreviate = given(a, 1) && truth(a[1]);
  int firstDay = firstDayOf(a, 2);
  return Variant(weekdayName((w - 1 + firstDay - 1) % 7 + 1, abbreviate));
}

Variant monthNameFn(Runtime&, Args a) {
  int m = wholeArg(a, 0);
  if (m < 1 || m > 12) raise(err::kInvalidCall);
  return Variant(monthName(m, given(a, 1) && truth(a[1])));
}

constexpr Builtin kList[] = {
    {u"Date", 0, 0, today},
    {u"Time", 0, 0, timeNow},
    {u"Now", 0, 0, now},
    {u"Timer", 0, 0, timer},
    {u"DateAdd", 3, 3, dateAdd},
    {u"DateDiff", 3, 5, dateDiff},
    {u"DatePart", 2, 4, datePart},
    {u"DateSerial", 3, 3, dateSerialFn},
    {u"DateValue", 1, 1, dateValue},
    {u"TimeSerial", 3, 3, timeSerialFn},
    {u"TimeValue", 1, 1, timeValue},
    {u"Day", 1, 1, part<&Date::day>},
    {u"Month", 1, 1, part<&Date::month>},
    {u"Year", 1, 1, part<&Date::year>},
    {u"Hour", 1, 1, part<&Date::hour>},
    {u"Minute", 1, 1, part<&Date::minute>},
    {u"Second", 1, 1, part<&Date::second>},
    {u"Weekday", 1, 2, weekday},
    {u"WeekdayName", 1, 3, weekdayNameFn},
    {u"MonthName", 1, 2, monthNameFn},
};

}  // namespace

BuiltinList dateBuiltins() { return {std::begin(kList), std::end(kList)}; }

}  // namespace vbscript
