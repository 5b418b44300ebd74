// Reading dates in the forms VBScript accepts, DateSerial's carrying arithmetic and the
// regional names of days and months.
#include "dates.h"

#include <cmath>
#include <cstdio>

#include "automation/error.h"

namespace vbscript {

namespace {

struct Reader {
  TextView s;
  std::size_t i = 0;
  bool at(char16_t c) const { return i < s.size() && s[i] == c; }
  bool number(int& out) {
    std::size_t start = i;
    long v = 0;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && i - start < 5)
      v = v * 10 + (s[i++] - u'0');
    out = static_cast<int>(v);
    return i > start;
  }
  void blanks() {
    while (at(u' ')) ++i;
  }
  bool word(TextView w) {
    if (s.size() - i < w.size() || !automation::equalsIgnoreCase(s.substr(i, w.size()), w))
      return false;
    i += w.size();
    return true;
  }
};

// h:mm[:ss] [AM|PM] as a day fraction.
std::optional<double> readTime(Reader& r) {
  int h, m, s = 0;
  if (!r.number(h) || !r.at(u':')) return std::nullopt;
  ++r.i;
  if (!r.number(m)) return std::nullopt;
  if (r.at(u':')) {
    ++r.i;
    if (!r.number(s)) return std::nullopt;
  }
  r.blanks();
  if (r.word(u"PM")) {
    if (h < 1 || h > 12) return std::nullopt;
    if (h != 12) h += 12;
  } else if (r.word(u"AM")) {
    if (h < 1 || h > 12) return std::nullopt;
    if (h == 12) h = 0;
  }
  if (h > 23 || m > 59 || s > 59) return std::nullopt;
  return (h * 3600 + m * 60 + s) / 86400.0;
}

int fullYear(int y, std::size_t digits) {
  if (digits > 2) return y;
  return y < 30 ? 2000 + y : 1900 + y;
}

}  // namespace

std::optional<Date> parseDateText(TextView s) {
  if (auto d = automation::parseDate(s)) return d;
  Reader r{s};
  r.blanks();
  std::size_t start = r.i;
  int a, b, c;
  std::optional<Date> date;
  if (r.number(a) && r.at(u'/')) {
    ++r.i;
    if (!r.number(b) || !r.at(u'/')) return std::nullopt;
    ++r.i;
    std::size_t yearStart = r.i;
    if (!r.number(c)) return std::nullopt;
    int year = fullYear(c, r.i - yearStart);
    if (a < 1 || a > 12 || b < 1 || year < 100 || year > 9999 ||
        b > automation::daysInMonth(year, a)) {
      return std::nullopt;
    }
    date = Date::fromParts(year, a, b);
    r.blanks();
    if (r.i == s.size()) return date;
    auto t = readTime(r);
    r.blanks();
    if (!t || r.i != s.size()) return std::nullopt;
    return Date(date->serial() + *t);
  }
  r.i = start;
  auto t = readTime(r);
  r.blanks();
  if (!t || r.i != s.size()) return std::nullopt;
  return Date(*t);
}

Date dateSerial(int year, int month, int day) {
  if (year >= 0 && year < 100) year = fullYear(year, 2);
  long months = static_cast<long>(year) * 12 + (month - 1);
  int y = static_cast<int>(std::floor(months / 12.0));
  int m = static_cast<int>(months - static_cast<long>(y) * 12) + 1;
  if (y < 100 || y > 9999) automation::throwOverflow();
  return Date::fromParts(y, m, 1).addDays(day - 1);
}

double timeSerial(double hour, double minute, double second) {
  return (hour * 3600 + minute * 60 + second) / 86400.0;
}

Text weekdayName(int weekday, bool abbreviate) {
  static const char16_t* kFull[] = {u"星期日", u"星期一", u"星期二", u"星期三",
                                    u"星期四", u"星期五", u"星期六"};
  static const char16_t* kShort[] = {u"周日", u"周一", u"周二", u"周三", u"周四", u"周五", u"周六"};
  return (abbreviate ? kShort : kFull)[weekday - 1];
}

Text monthName(int month, bool) {
  static const char16_t* kNames[] = {u"一月", u"二月", u"三月", u"四月", u"五月",   u"六月",
                                     u"七月", u"八月", u"九月", u"十月", u"十一月", u"十二月"};
  return kNames[month - 1];
}

Text longDateText(Date d) {
  char buf[32];
  int n = std::snprintf(buf, sizeof buf, "%d", d.year());
  Text t(buf, buf + n);
  t += u"年";
  n = std::snprintf(buf, sizeof buf, "%d", d.month());
  t.append(buf, buf + n);
  t += u"月";
  n = std::snprintf(buf, sizeof buf, "%d", d.day());
  t.append(buf, buf + n);
  t += u"日";
  return t;
}

Text timeText(Date d, bool withSeconds) {
  char buf[16];
  int n = withSeconds
              ? std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", d.hour(), d.minute(), d.second())
              : std::snprintf(buf, sizeof buf, "%02d:%02d", d.hour(), d.minute());
  return Text(buf, buf + n);
}

}  // namespace vbscript
