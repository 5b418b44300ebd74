// Mathematical functions: Abs, Atn, Cos, Exp, Log, Randomize, Rnd, Round (halves to even),
// Sgn, Sin, Sqr, Tan.
#include <cmath>
#include <iterator>

#include "builtins.h"
#include "errors.h"
#include "operators.h"
#include "runtime.h"

namespace vbscript {

namespace {

using automation::VarType;

double number(Args a, std::size_t i = 0) {
  Variant v = valueOf(a[i]);
  if (v.isNull()) raise(err::kInvalidNull);
  return automation::toDouble(v);
}

template <double (*F)(double)>
Variant unary(Runtime&, Args a) {
  Variant v = valueOf(a[0]);
  if (v.isNull()) return v;
  double r = F(automation::toDouble(v));
  if (!std::isfinite(r)) raise(err::kOverflow);
  return Variant(r);
}

double atanOf(double d) { return std::atan(d); }
double cosOf(double d) { return std::cos(d); }
double sinOf(double d) { return std::sin(d); }
double tanOf(double d) { return std::tan(d); }
double expOf(double d) { return std::exp(d); }

Variant logFn(Runtime&, Args a) {
  Variant v = valueOf(a[0]);
  if (v.isNull()) return v;
  double d = automation::toDouble(v);
  if (d <= 0) raise(err::kInvalidCall);
  return Variant(std::log(d));
}

Variant sqrFn(Runtime&, Args a) {
  Variant v = valueOf(a[0]);
  if (v.isNull()) return v;
  double d = automation::toDouble(v);
  if (d < 0) raise(err::kInvalidCall);
  return Variant(std::sqrt(d));
}

Variant absFn(Runtime&, Args a) {
  Variant v = valueOf(a[0]);
  switch (v.type()) {
    case VarType::Null:
      return v;
    case VarType::Empty:
      return Variant(std::int16_t{0});
    case VarType::Byte:
      return v;
    case VarType::Currency: {
      auto c = std::get<automation::Currency>(v.storage());
      return Variant(automation::Currency{c.scaled < 0 ? -c.scaled : c.scaled});
    }
    case VarType::I2:
    case VarType::I4:
    case VarType::Bool: {
      std::int64_t n = automation::toInt64Rounded(v);
      n = n < 0 ? -n : n;
      if (v.type() != VarType::I4 && n <= INT16_MAX) return Variant(static_cast<std::int16_t>(n));
      if (n <= INT32_MAX) return Variant(static_cast<std::int32_t>(n));
      return Variant(static_cast<double>(n));
    }
    case VarType::R4:
      return Variant(std::fabs(std::get<float>(v.storage())));
    case VarType::Date:
      return Variant(automation::Date(std::fabs(automation::toDouble(v))));
    default:
      return Variant(std::fabs(automation::toDouble(v)));
  }
}

Variant sgn(Runtime&, Args a) {
  Variant v = valueOf(a[0]);
  if (v.isNull()) raise(err::kInvalidNull);
  double d = automation::toDouble(v);
  return Variant(static_cast<std::int16_t>(d < 0 ? -1 : d > 0));
}

Variant round(Runtime&, Args a) {
  Variant v = valueOf(a[0]);
  if (v.isNull()) return v;
  int digits = intArg(a, 1, 0);
  if (digits < 0) raise(err::kInvalidCall);
  switch (v.type()) {
    case VarType::I2:
    case VarType::I4:
    case VarType::Byte:
      return v;
    case VarType::Empty:
      return Variant(std::int16_t{0});
    case VarType::Bool:
      return Variant(static_cast<std::int16_t>(std::get<bool>(v.storage()) ? -1 : 0));
    default:
      break;
  }
  double d = automation::toDouble(v);
  double scale = std::pow(10.0, digits);
  double scaled = d * scale;
  // Decimal halves that binary cannot hold exactly (0.125 * 100 is exact, 2.675 * 100 is not)
  // round as the digits the script wrote say.
  double nearest = std::nearbyint(scaled);
  if (std::fabs(std::fabs(scaled - std::trunc(scaled)) - 0.5) <
      1e-9 * std::max(1.0, std::fabs(scaled))) {
    double lower = std::floor(scaled);
    nearest = std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
  }
  double r = nearest / scale;
  if (v.type() == VarType::R4) return Variant(static_cast<float>(r));
  if (v.type() == VarType::Currency) return Variant(automation::Currency::fromDouble(r));
  if (v.type() == VarType::Date) return Variant(automation::Date(r));
  return Variant(r);
}

Variant rnd(Runtime& rt, Args a) {
  if (!given(a, 0)) return Variant(rt.rnd(true, false, std::nullopt));
  double n = number(a);
  if (n < 0) return Variant(rt.rnd(false, false, n));
  if (n == 0) return Variant(rt.rnd(false, true, std::nullopt));
  return Variant(rt.rnd(true, false, std::nullopt));
}

Variant randomize(Runtime& rt, Args a) {
  rt.randomize(given(a, 0) ? std::optional<double>(number(a)) : std::nullopt);
  return {};
}

constexpr Builtin kList[] = {
    {u"Abs", 1, 1, absFn},        {u"Atn", 1, 1, unary<atanOf>}, {u"Cos", 1, 1, unary<cosOf>},
    {u"Exp", 1, 1, unary<expOf>}, {u"Log", 1, 1, logFn},         {u"Randomize", 0, 1, randomize},
    {u"Rnd", 0, 1, rnd},          {u"Round", 1, 2, round},       {u"Sgn", 1, 1, sgn},
    {u"Sin", 1, 1, unary<sinOf>}, {u"Sqr", 1, 1, sqrFn},         {u"Tan", 1, 1, unary<tanOf>},
};

}  // namespace

BuiltinList mathBuiltins() { return {std::begin(kList), std::end(kList)}; }

}  // namespace vbscript
