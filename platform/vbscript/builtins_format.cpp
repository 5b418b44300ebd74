// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime in this build's regional
// settings: "." for decimals, "," between groups of three, two decimals by default, "¥" for
// money, and the system's yyyy-mm-dd short date.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "builtins.h"
#include "dates.h"
#include "errors.h"
#include "operators.h"

namespace vbscript {

namespace {

constexpr int kDefaultDigits = 2;

// Tristate arguments: -1 true, 0 false, -2 the regional default.
bool tristate(Args a, std::size_t i, bool regional) {
  if (!given(a, i)) return regional;
  int v = intArg(a, i, -2);
  return v == -2 ? regional : v != 0;
}

// |d| with `digits` decimals, rounded half away from zero on the 15 significant digits a
// double holds, so that 1.005 rounds as it was written: "1.01".
std::string decimals(double d, int digits) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(d));
  std::string mantissa = std::string(1, buf[0]) + std::string(buf + 2, 14);
  // |d| * 10^digits = mantissa * 10^shift
  int shift = std::atoi(std::strchr(buf, 'e') + 1) - 14 + digits;
  std::string n;
  if (shift >= 0) {
    n = mantissa + std::string(static_cast<std::size_t>(shift), '0');
  } else if (int keep = 15 + shift; keep >= 0) {
    n = mantissa.substr(0, static_cast<std::size_t>(keep));
    if (mantissa[static_cast<std::size_t>(keep)] >= '5') {
      auto i = static_cast<std::ptrdiff_t>(n.size()) - 1;
      while (i >= 0 && n[static_cast<std::size_t>(i)] == '9')
        n[static_cast<std::size_t>(i--)] = '0';
      if (i < 0)
        n.insert(n.begin(), '1');
      else
        ++n[static_cast<std::size_t>(i)];
    }
  }
  auto width = static_cast<std::size_t>(digits) + 1;
  if (n.size() < width) n.insert(0, width - n.size(), '0');
  std::size_t zeros = 0;
  while (n.size() - zeros > width && n[zeros] == '0') ++zeros;
  n.erase(0, zeros);
  if (digits > 0) n.insert(n.size() - static_cast<std::size_t>(digits), 1, '.');
  return n;
}

// The regional forms of a negative amount: -n, -n% and ¥-n, or in parentheses.
Text formatted(double d, int digits, bool leadingZero, bool parens, bool group, TextView prefix,
               TextView suffix) {
  std::string s = decimals(d, digits);
  bool negative = d < 0 && s.find_first_not_of("0.") != std::string::npos;
  std::string whole = s.substr(0, s.find('.'));
  std::string fraction = digits > 0 ? s.substr(s.find('.')) : "";
  if (whole == "0" && !leadingZero && digits > 0) whole.clear();
  if (group) {
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
      if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
      grouped += whole[i];
    }
    whole = std::move(grouped);
  }
  Text number = automation::fromUtf8(whole + fraction);
  if (!negative) return Text(prefix) + number + Text(suffix);
  if (parens) return u"(" + Text(prefix) + number + Text(suffix) + u")";
  return Text(prefix) + u"-" + number + Text(suffix);
}

Variant formatWith(Args a, double factor, TextView prefix, TextView suffix) {
  Variant v = valueOf(a[0]);
  if (v.isNull()) raise(err::kInvalidNull);
  double d = automation::toDouble(v) * factor;
  int digits = intArg(a, 1, -1);
  if (digits == -1) digits = kDefaultDigits;
  if (digits < 0 || digits > 255) raise(err::kInvalidCall);
  return Variant(formatted(d, digits, tristate(a, 2, true), tristate(a, 3, false),
                           tristate(a, 4, true), prefix, suffix));
}

Variant formatNumber(Runtime&, Args a) { return formatWith(a, 1, u"", u""); }
Variant formatCurrency(Runtime&, Args a) { return formatWith(a, 1, u"¥", u""); }
Variant formatPercent(Runtime&, Args a) { return formatWith(a, 100, u"", u"%"); }

Variant formatDateTime(Runtime&, Args a) {
  Variant v = valueOf(a[0]);
  if (v.isNull()) raise(err::kInvalidNull);
  Date d = automation::toDate(v);
  switch (intArg(a, 1, 0)) {
    case 0: {
      bool noDate = std::trunc(d.serial()) == 0 && !d.isMidnight();
      return Variant(noDate ? timeText(d, true) : d.text());
    }
    case 1:
      return Variant(longDateText(d));
    case 2:
      return Variant(d.dateOnly().text());
    case 3:
      return Variant(timeText(d, true));
    case 4:
      return Variant(timeText(d, false));
    default:
      raise(err::kInvalidCall);
  }
}

constexpr Builtin kList[] = {
    {u"FormatNumber", 1, 5, formatNumber},
    {u"FormatCurrency", 1, 5, formatCurrency},
    {u"FormatPercent", 1, 5, formatPercent},
    {u"FormatDateTime", 1, 2, formatDateTime},
};

}  // namespace

BuiltinList formatBuiltins() { return {std::begin(kList), std::end(kList)}; }

}  // namespace vbscript
