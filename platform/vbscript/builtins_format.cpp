// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime in this build's regional
// settings: "." for decimals, "," between groups of three, two decimals by default, "¥" for
// money, and the system's yyyy-mm-dd short date.
#include <cmath>
#include <cstdio>
#include <iterator>

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

Text formatted(double d, int digits, bool leadingZero, bool parens, bool group,
               TextView prefix, TextView suffix) {
  double scale = std::pow(10.0, digits);
  double rounded = std::round(std::fabs(d) * scale) / scale;  // halves away from zero
  bool negative = d < 0 && rounded != 0;
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", digits, rounded);
  std::string s = buf;
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
  Text body = Text(prefix) + automation::fromUtf8(whole + fraction) + Text(suffix);
  if (!negative) return body;
  return parens ? u"(" + body + u")" : u"-" + body;
}

Variant formatWith(Args a, double factor, TextView prefix, TextView suffix) {
  Variant v = valueOf(a[0]);
  if (v.isNull()) raise(err::kInvalidNull);
  double d = automation::toDouble(v) * factor;
  int digits = intArg(a, 1, -1);
  if (digits == -1) digits = kDefaultDigits;
  if (digits < 0 || digits > 255) raise(err::kInvalidCall);
  return Variant(formatted(d, digits, tristate(a, 2, true), tristate(a, 3, false), tristate(a, 4, true),
                           prefix, suffix));
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
    case 1: return Variant(longDateText(d));
    case 2: return Variant(d.dateOnly().text());
    case 3: return Variant(timeText(d, true));
    case 4: return Variant(timeText(d, false));
    default: raise(err::kInvalidCall);
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
