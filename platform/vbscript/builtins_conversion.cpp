// Conversion and testing functions: CBool ... CStr, Fix, Int, Hex, Oct; IsArray ... VarType.
#include <cmath>
#include <cstdio>
#include <iterator>

#include "builtins.h"
#include "dates.h"
#include "errors.h"
#include "operators.h"
#include "script_object.h"

namespace vbscript {

namespace {

using automation::VarType;

Variant arg(Args a, std::size_t i = 0) { return valueOf(a[i]); }

Variant notNull(Variant v) {
  if (v.isNull()) raise(err::kInvalidNull);
  return v;
}

Variant cBool(Runtime&, Args a) { return Variant(truth(notNull(arg(a)))); }

Variant cByte(Runtime&, Args a) {
  std::int64_t n = automation::toInt64Rounded(notNull(arg(a)));
  if (n < 0 || n > 255) raise(err::kOverflow);
  return Variant(static_cast<std::uint8_t>(n));
}

Variant cCur(Runtime&, Args a) { return Variant(automation::toCurrency(notNull(arg(a)))); }

Date toDateValue(const Variant& v) {
  if (v.isText()) {
    if (auto d = parseDateText(v.text())) return *d;
    auto n = automation::parseNumber(v.text());
    if (!n) raise(err::kTypeMismatch);
    return Date(*n);
  }
  return Date(automation::toDouble(v));
}

Variant cDate(Runtime&, Args a) { return Variant(toDateValue(notNull(arg(a)))); }
Variant cDbl(Runtime&, Args a) { return Variant(automation::toDouble(notNull(arg(a)))); }
Variant cInt(Runtime&, Args a) { return Variant(automation::toInt16(notNull(arg(a)))); }
Variant cLng(Runtime&, Args a) { return Variant(automation::toInt32(notNull(arg(a)))); }

Variant cSng(Runtime&, Args a) {
  double d = automation::toDouble(notNull(arg(a)));
  if (std::fabs(d) > 3.402823466e38) raise(err::kOverflow);
  return Variant(static_cast<float>(d));
}

Variant cStr(Runtime&, Args a) { return Variant(automation::toText(notNull(arg(a)))); }

// Int rounds down, Fix toward zero; both keep the argument's numeric type.
Variant wholePart(const Variant& v0, bool down) {
  Variant v = valueOf(v0);
  switch (v.type()) {
    case VarType::Null:
      return v;
    case VarType::Empty:
      return Variant(std::int16_t{0});
    case VarType::I2:
    case VarType::I4:
    case VarType::Byte:
    case VarType::I8:
      return v;
    case VarType::Bool:
      return Variant(static_cast<std::int16_t>(std::get<bool>(v.storage()) ? -1 : 0));
    case VarType::R4: {
      float f = std::get<float>(v.storage());
      return Variant(down ? std::floor(f) : std::trunc(f));
    }
    case VarType::Currency: {
      std::int64_t s = std::get<automation::Currency>(v.storage()).scaled;
      std::int64_t w = s / 10000 * 10000;
      if (down && s < 0 && w != s) w -= 10000;
      return Variant(automation::Currency{w});
    }
    case VarType::Date: {
      double d = automation::toDouble(v);
      return Variant(Date(down ? std::floor(d) : std::trunc(d)));
    }
    default: {
      double d = automation::toDouble(v);
      return Variant(down ? std::floor(d) : std::trunc(d));
    }
  }
}

Variant fix(Runtime&, Args a) { return wholePart(a[0], false); }
Variant intFn(Runtime&, Args a) { return wholePart(a[0], true); }

Variant radix(const Variant& v0, int bits, const char* format) {
  Variant v = valueOf(v0);
  if (v.isNull()) return v;
  if (v.isEmpty()) return Variant(u"0");
  std::int64_t n = automation::toInt64Rounded(v);
  if (n < INT32_MIN || n > INT32_MAX) raise(err::kOverflow);
  bool narrow =
      (v.type() == VarType::I2 || v.type() == VarType::Byte || v.type() == VarType::Bool) && n < 0;
  std::uint32_t u = narrow ? static_cast<std::uint16_t>(n) : static_cast<std::uint32_t>(n);
  (void)bits;
  char buf[16];
  int len = std::snprintf(buf, sizeof buf, format, u);
  return Variant(Text(buf, buf + len));
}

Variant hex(Runtime&, Args a) { return radix(a[0], 16, "%X"); }
Variant oct(Runtime&, Args a) { return radix(a[0], 8, "%o"); }

Variant isArray(Runtime&, Args a) { return Variant(a[0].isArray()); }

Variant isDate(Runtime&, Args a) {
  Variant v = valueOf(a[0]);
  if (v.type() == VarType::Date) return Variant(true);
  return Variant(v.isText() && parseDateText(v.text()).has_value());
}

Variant isEmpty(Runtime&, Args a) { return Variant(a[0].isEmpty()); }
Variant isNull(Runtime&, Args a) { return Variant(a[0].isNull()); }

Variant isNumeric(Runtime&, Args a) {
  Variant v = a[0].isObject() && a[0].object() && a[0].object()->typeInfo().defaultMember()
                  ? valueOf(a[0])
                  : a[0];
  switch (v.type()) {
    case VarType::Empty:
      return Variant(true);
    case VarType::Text:
      return Variant(automation::parseNumber(v.text()).has_value());
    case VarType::Date:
      return Variant(false);
    default:
      return Variant(v.isNumeric());
  }
}

Variant isObject(Runtime&, Args a) { return Variant(a[0].isObject()); }

Text objectTypeName(const automation::ObjectRef& o) {
  if (!o) return u"Nothing";
  if (auto* so = dynamic_cast<ScriptObject*>(o.get())) return so->classDef().name;
  Text n = o->typeInfo().name();
  if (!n.empty() && n[0] == u'_') n.erase(0, 1);
  return n.empty() ? Text(u"Object") : n;
}

Text typeName(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
      return u"Empty";
    case VarType::Null:
      return u"Null";
    case VarType::I2:
      return u"Integer";
    case VarType::I4:
      return u"Long";
    case VarType::R4:
      return u"Single";
    case VarType::R8:
      return u"Double";
    case VarType::Currency:
      return u"Currency";
    case VarType::Date:
      return u"Date";
    case VarType::Text:
      return u"String";
    case VarType::Object:
      return objectTypeName(v.object());
    case VarType::Missing:
      return u"Error";
    case VarType::Bool:
      return u"Boolean";
    case VarType::Byte:
      return u"Byte";
    case VarType::I8:
      return u"Long";
    case VarType::VariantArray:
      return u"Variant()";
    case VarType::ByteArray:
      return u"Byte()";
  }
  return u"Unknown";
}

Variant typeNameFn(Runtime&, Args a) { return Variant(typeName(a[0])); }

Variant varType(Runtime&, Args a) {
  const Variant& v = a[0];
  if (v.isObject() && v.object() && v.object()->typeInfo().defaultMember()) {
    return Variant(static_cast<std::int16_t>(valueOf(v).type()));
  }
  return Variant(static_cast<std::int16_t>(v.type()));
}

constexpr Builtin kList[] = {
    {u"CBool", 1, 1, cBool},       {u"CByte", 1, 1, cByte},         {u"CCur", 1, 1, cCur},
    {u"CDate", 1, 1, cDate},       {u"CDbl", 1, 1, cDbl},           {u"CInt", 1, 1, cInt},
    {u"CLng", 1, 1, cLng},         {u"CSng", 1, 1, cSng},           {u"CStr", 1, 1, cStr},
    {u"Fix", 1, 1, fix},           {u"Int", 1, 1, intFn},           {u"Hex", 1, 1, hex},
    {u"Oct", 1, 1, oct},           {u"IsArray", 1, 1, isArray},     {u"IsDate", 1, 1, isDate},
    {u"IsEmpty", 1, 1, isEmpty},   {u"IsNull", 1, 1, isNull},       {u"IsNumeric", 1, 1, isNumeric},
    {u"IsObject", 1, 1, isObject}, {u"TypeName", 1, 1, typeNameFn}, {u"VarType", 1, 1, varType},
};

}  // namespace

BuiltinList conversionBuiltins() { return {std::begin(kList), std::end(kList)}; }

}  // namespace vbscript
