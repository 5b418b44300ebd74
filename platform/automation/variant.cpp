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

VarType Variant::type() const {
  static constexpr VarType kTypes[] = {
      VarType::Empty,        VarType::Null,      VarType::I2,          VarType::I4,
      VarType::I8,           VarType::R4,        VarType::R8,          VarType::Date,
      VarType::Text,         VarType::Object,    VarType::Missing,     VarType::Bool,
      VarType::VariantArray, VarType::ByteArray, VarType::VariantArray};
  return kTypes[value_.index()];
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
      return true;
    default:
      return false;
  }
}

const Text& Variant::text() const {
  if (auto p = std::get_if<Text>(&value_)) return *p;
  throwTypeMismatch();
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
  if (auto p = std::get_if<std::shared_ptr<const Array>>(&value_)) return **p;
  if (auto p = std::get_if<std::shared_ptr<const MultiArray>>(&value_)) return (*p)->elements;
  throwTypeMismatch();
}

Variant::Variant(MultiArray v) {
  std::size_t total = v.counts.empty() ? 0 : 1;
  for (std::size_t n : v.counts) total *= n;
  if (total != v.elements.size()) throwSubscriptOutOfRange();
  value_ = std::make_shared<const MultiArray>(std::move(v));
}

std::vector<std::size_t> Variant::arrayCounts() const {
  if (auto p = std::get_if<std::shared_ptr<const MultiArray>>(&value_)) return (*p)->counts;
  return {array().size()};
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
        } else if constexpr (std::is_same_v<T, Text>) {
          auto d = parseNumber(x);
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
        } else if constexpr (std::is_same_v<T, Text>) {
          return x;
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
