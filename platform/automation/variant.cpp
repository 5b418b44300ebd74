#include "variant.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "error.h"
#include "object.h"

namespace automation {

Variant::Variant(long v) {
  if (v >= INT32_MIN && v <= INT32_MAX) {
    value_ = static_cast<std::int32_t>(v);
  } else {
    value_ = static_cast<std::int64_t>(v);
  }
}

Variant Variant::null() {
  Variant v;
  v.value_ = NullTag{};
  return v;
}

Variant Variant::missing() {
  Variant v;
  v.value_ = MissingTag{};
  return v;
}

Variant::Variant(Array v) {
  const auto n = static_cast<std::int32_t>(v.size());
  value_ = std::make_shared<ArrayData>(std::vector<ArrayBound>{ArrayBound{0, n}}, std::move(v));
}

Variant::Variant(Array items, std::vector<ArrayBound> bounds) {
  std::size_t total = 1;
  for (const ArrayBound& b : bounds) total *= static_cast<std::size_t>(b.count < 0 ? 0 : b.count);
  if (bounds.empty() || total != items.size()) throwSubscriptOutOfRange();
  value_ = std::make_shared<ArrayData>(std::move(bounds), std::move(items));
}

Variant::ArrayData::~ArrayData() {
  constexpr int kMaxNested = 64;
  thread_local int nested = 0;
  thread_local std::vector<Array> queued;
  if (nested >= kMaxNested) {
    queued.push_back(std::move(items));
    return;
  }
  ++nested;
  items.clear();
  if (nested == 1) {
    while (!queued.empty()) {
      Array next = std::move(queued.back());
      queued.pop_back();
    }
  }
  --nested;
}

Currency Currency::fromDouble(double d) {
  double scaled = std::nearbyint(d * 10000.0);
  if (!(scaled >= -9.2233720368547758e18 && scaled < 9.2233720368547758e18)) throwOverflow();
  return Currency{static_cast<std::int64_t>(scaled)};
}

bool Variant::isNumeric() const {
  switch (type()) {
    case VarType::I2:
    case VarType::I4:
    case VarType::I8:
    case VarType::R4:
    case VarType::R8:
    case VarType::Bool:
    case VarType::Date:
    case VarType::Byte:
    case VarType::Currency:
      return true;
    default:
      return false;
  }
}

const Text& Variant::text() const {
  if (auto p = std::get_if<std::shared_ptr<Text>>(&value_)) return **p;
  throwTypeMismatch();
}

Text* Variant::uniqueText() {
  auto p = std::get_if<std::shared_ptr<Text>>(&value_);
  return p && p->use_count() == 1 ? p->get() : nullptr;
}

bool Variant::sharesTextWith(const Variant& other) const {
  auto a = std::get_if<std::shared_ptr<Text>>(&value_);
  auto b = std::get_if<std::shared_ptr<Text>>(&other.value_);
  return a && b && *a == *b;
}

const ObjectRef& Variant::object() const {
  if (auto p = std::get_if<ObjectRef>(&value_)) return *p;
  throwTypeMismatch();
}

const Variant::Bytes& Variant::bytes() const {
  if (auto p = std::get_if<std::shared_ptr<const Bytes>>(&value_)) return **p;
  throwTypeMismatch();
}

const Variant::Array& Variant::array() const {
  if (auto p = std::get_if<std::shared_ptr<ArrayData>>(&value_)) return (*p)->items;
  throwTypeMismatch();
}

const std::vector<ArrayBound>& Variant::arrayBounds() const {
  if (auto p = std::get_if<std::shared_ptr<ArrayData>>(&value_)) return (*p)->bounds;
  throwTypeMismatch();
}

Variant::ArrayData& Variant::mutableArray() {
  auto p = std::get_if<std::shared_ptr<ArrayData>>(&value_);
  if (!p) throwTypeMismatch();
  if (p->use_count() != 1) *p = std::make_shared<ArrayData>(**p);
  return **p;
}

namespace {

// An object stands for the value of its default member, as the runtime evaluates it.
Variant valueOf(const Variant& v) {
  if (!v.isObject()) return v;
  const ObjectRef& o = v.object();
  if (!o) throwObjectNotSet();
  return valueOf(o->invoke(u"", InvokeKind::PropertyGet));
}

double roundHalfEven(double d) {
  // nearbyint rounds in the current mode, which is to-nearest-even unless someone changed it.
  return std::nearbyint(d);
}

}  // namespace

std::optional<double> parseNumber(TextView s) {
  std::size_t i = 0, n = s.size();
  auto blank = [&](std::size_t k) { return s[k] == u' ' || s[k] == u'\t'; };
  while (i < n && blank(i)) ++i;
  while (n > i && blank(n - 1)) --n;
  std::string ascii;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) ascii += static_cast<char>(s[i++]);
  std::size_t digits = 0;
  while (i < n && s[i] >= u'0' && s[i] <= u'9') ascii += static_cast<char>(s[i++]), ++digits;
  if (i < n && s[i] == u'.') {
    ascii += '.';
    ++i;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') ascii += static_cast<char>(s[i++]), ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (s[i] == u'e' || s[i] == u'E')) {
    ascii += 'e';
    ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) ascii += static_cast<char>(s[i++]);
    std::size_t expDigits = 0;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') ascii += static_cast<char>(s[i++]), ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;
  double d = std::strtod(ascii.c_str(), nullptr);
  if (!std::isfinite(d)) return std::nullopt;
  return d;
}

double toDouble(const Variant& v) {
  return std::visit(
      [&](const auto& x) -> double {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return 0;
        } else if constexpr (std::is_same_v<T, Variant::NullTag>) {
          throwInvalidUseOfNull();
        } else if constexpr (std::is_same_v<T, bool>) {
          return x ? -1 : 0;
        } else if constexpr (std::is_arithmetic_v<T>) {
          return static_cast<double>(x);
        } else if constexpr (std::is_same_v<T, Date>) {
          return x.serial();
        } else if constexpr (std::is_same_v<T, Currency>) {
          return x.toDouble();
        } else if constexpr (std::is_same_v<T, std::shared_ptr<Text>>) {
          auto d = parseNumber(*x);
          if (!d) throwTypeMismatch();
          return *d;
        } else if constexpr (std::is_same_v<T, ObjectRef>) {
          return toDouble(valueOf(v));
        } else {
          throwTypeMismatch();
        }
      },
      v.storage());
}

std::int64_t toInt64Rounded(const Variant& v) {
  if (auto p = std::get_if<std::int64_t>(&v.storage())) return *p;
  double d = roundHalfEven(toDouble(v));
  if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18)) throwOverflow();
  return static_cast<std::int64_t>(d);
}

Currency toCurrency(const Variant& v) {
  if (auto p = std::get_if<Currency>(&v.storage())) return *p;
  if (auto p = std::get_if<std::int64_t>(&v.storage())) {
    if (*p > INT64_MAX / 10000 || *p < INT64_MIN / 10000) throwOverflow();
    return Currency{*p * 10000};
  }
  return Currency::fromDouble(toDouble(v));
}

std::int16_t toInt16(const Variant& v) {
  std::int64_t n = toInt64Rounded(v);
  if (n < INT16_MIN || n > INT16_MAX) throwOverflow();
  return static_cast<std::int16_t>(n);
}

std::int32_t toInt32(const Variant& v) {
  std::int64_t n = toInt64Rounded(v);
  if (n < INT32_MIN || n > INT32_MAX) throwOverflow();
  return static_cast<std::int32_t>(n);
}

Date toDate(const Variant& v) {
  switch (v.type()) {
    case VarType::Date:
      return Date(toDouble(v));
    case VarType::Text: {
      auto d = parseDate(v.text());
      if (d) return *d;
      auto n = parseNumber(v.text());
      if (!n) throwTypeMismatch();
      return Date(*n);
    }
    case VarType::Object:
      return toDate(valueOf(v));
    default:
      return Date(toDouble(v));
  }
}

bool toBool(const Variant& v) {
  if (v.isText()) {
    if (equalsIgnoreCase(v.text(), u"True")) return true;
    if (equalsIgnoreCase(v.text(), u"False")) return false;
  }
  return toDouble(v) != 0;
}

Text formatDouble(double d, int significantDigits) {
  if (d == 0) return u"0";
  char buf[40];
  int n = std::snprintf(buf, sizeof buf, "%.*G", significantDigits, d);
  return Text(buf, buf + n);
}

namespace {

// Currency as the runtime writes it: no exponent, at most four decimals, no trailing zeros.
Text currencyText(Currency c) {
  std::uint64_t magnitude = c.scaled < 0 ? 0 - static_cast<std::uint64_t>(c.scaled)
                                         : static_cast<std::uint64_t>(c.scaled);
  std::string s = std::to_string(magnitude / 10000);
  if (unsigned fraction = magnitude % 10000) {
    char buf[8];
    std::snprintf(buf, sizeof buf, ".%04u", fraction);
    std::string f = buf;
    while (f.back() == '0') f.pop_back();
    s += f;
  }
  if (c.scaled < 0) s.insert(s.begin(), '-');
  return Text(s.begin(), s.end());
}

}  // namespace

Text toText(const Variant& v) {
  return std::visit(
      [&](const auto& x) -> Text {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return {};
        } else if constexpr (std::is_same_v<T, Variant::NullTag>) {
          throwInvalidUseOfNull();
        } else if constexpr (std::is_same_v<T, bool>) {
          return x ? u"True" : u"False";
        } else if constexpr (std::is_integral_v<T>) {
          auto s = std::to_string(x);
          return Text(s.begin(), s.end());
        } else if constexpr (std::is_same_v<T, float>) {
          return formatDouble(x, 7);
        } else if constexpr (std::is_same_v<T, double>) {
          return formatDouble(x, 15);
        } else if constexpr (std::is_same_v<T, Date>) {
          return x.text();
        } else if constexpr (std::is_same_v<T, Currency>) {
          return currencyText(x);
        } else if constexpr (std::is_same_v<T, std::shared_ptr<Text>>) {
          return *x;
        } else if constexpr (std::is_same_v<T, ObjectRef>) {
          return toText(valueOf(v));
        } else {
          throwTypeMismatch();
        }
      },
      v.storage());
}

Text joinText(const Variant& v) {
  if (v.isNull()) return {};
  if (v.isObject()) return joinText(valueOf(v));
  return toText(v);
}

bool equals(const Variant& a0, const Variant& b0) {
  Variant a = valueOf(a0), b = valueOf(b0);
  if (a.isNull() || b.isNull()) return false;
  if (a.isEmpty() && b.isEmpty()) return true;
  if (a.isEmpty()) std::swap(a, b);
  if (b.isEmpty()) {
    if (a.isText()) return a.text().empty();
    if (a.isNumeric()) return toDouble(a) == 0;
    return false;
  }
  if (a.isText() && b.isText()) return a.text() == b.text();
  if (a.isNumeric() && b.isNumeric()) {
    if (a.type() == VarType::I8 || b.type() == VarType::I8) {
      return toInt64Rounded(a) == toInt64Rounded(b) && toDouble(a) == toDouble(b);
    }
    return toDouble(a) == toDouble(b);
  }
  return false;
}

bool differs(const Variant& a, const Variant& b) {
  Variant x = valueOf(a), y = valueOf(b);
  if (x.isNull() || y.isNull()) return false;
  return !equals(x, y);
}

}  // namespace automation
