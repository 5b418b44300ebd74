// The operators of VBScript over automation variants. The interpreter takes the common case
// (two Integers or Longs) itself; everything else comes here.
#include "operators.h"

#include <cmath>

#include "errors.h"

namespace vbscript {

namespace {

using automation::Currency;
using automation::VarType;

// Ranks for the type of an arithmetic result.
enum Rank { kEmpty, kBool, kByte, kI2, kI4, kR4, kCy, kR8, kDate, kText };

Rank rankOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
      return kEmpty;
    case VarType::Bool:
      return kBool;
    case VarType::Byte:
      return kByte;
    case VarType::I2:
      return kI2;
    case VarType::I4:
      return kI4;
    case VarType::R4:
      return kR4;
    case VarType::Currency:
      return kCy;
    case VarType::R8:
    case VarType::I8:
      return kR8;
    case VarType::Date:
      return kDate;
    case VarType::Text:
      return kText;
    default:
      raise(err::kTypeMismatch);
  }
}

// The result rank of + - * for two operand ranks (no Date, no Null).
Rank arithmeticRank(Rank a, Rank b) {
  if (a == kText) a = kR8;
  if (b == kText) b = kR8;
  if (a == kBool) a = kI2;
  if (b == kBool) b = kI2;
  if (a == kEmpty) a = b == kEmpty ? kI2 : b;
  if (b == kEmpty) b = a;
  if ((a == kR4 && b == kI4) || (a == kI4 && b == kR4)) return kR8;
  return a > b ? a : b;
}

// An integer result in the narrowest type of `rank` or wider that holds it.
Variant integerResult(std::int64_t v, Rank rank) {
  if (rank <= kByte && v >= 0 && v <= 255) return Variant(static_cast<std::uint8_t>(v));
  if (rank <= kI2 && v >= INT16_MIN && v <= INT16_MAX) return Variant(static_cast<std::int16_t>(v));
  if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<std::int32_t>(v));
  return Variant(static_cast<double>(v));
}

Variant floatResult(double d, Rank rank) {
  if (!std::isfinite(d)) raise(err::kOverflow);
  if (rank == kR4 && std::fabs(d) <= 3.402823466e38) return Variant(static_cast<float>(d));
  return Variant(d);
}

std::int64_t asInteger(const Variant& v) { return automation::toInt64Rounded(v); }

Variant numeric(const Variant& v) { return v.isText() ? Variant(automation::toDouble(v)) : v; }

Variant arithmetic(BinOp op, const Variant& a, const Variant& b) {
  Rank ra = rankOf(a), rb = rankOf(b);
  // Dates: date ± number is a date, date - date a number of days.
  if (ra == kDate || rb == kDate) {
    double x = automation::toDouble(a), y = automation::toDouble(b);
    if (op == BinOp::Add) return Variant(automation::Date(x + y));
    if (op == BinOp::Sub) {
      if (ra == kDate && rb == kDate) return Variant(x - y);
      return Variant(automation::Date(x - y));
    }
    return floatResult(x * y, kR8);
  }
  Rank r = arithmeticRank(ra, rb);
  if (r <= kI4) {
    std::int64_t x = asInteger(a), y = asInteger(b);
    std::int64_t z = op == BinOp::Add ? x + y : op == BinOp::Sub ? x - y : x * y;
    return integerResult(z, r);
  }
  if (r == kCy) {
    Currency x = automation::toCurrency(numeric(a)), y = automation::toCurrency(numeric(b));
    __extension__ using Wide = __int128;  // a product of two amounts needs 127 bits
    Wide z;
    if (op == BinOp::Add)
      z = static_cast<Wide>(x.scaled) + y.scaled;
    else if (op == BinOp::Sub)
      z = static_cast<Wide>(x.scaled) - y.scaled;
    else
      z = static_cast<Wide>(x.scaled) * y.scaled / 10000;
    if (z > INT64_MAX || z < INT64_MIN) raise(err::kOverflow);
    return Variant(Currency{static_cast<std::int64_t>(z)});
  }
  double x = automation::toDouble(a), y = automation::toDouble(b);
  double z = op == BinOp::Add ? x + y : op == BinOp::Sub ? x - y : x * y;
  return floatResult(z, r);
}

Variant divide(const Variant& a, const Variant& b) {
  Rank ra = rankOf(a), rb = rankOf(b);
  double x = automation::toDouble(a), y = automation::toDouble(b);
  if (y == 0) raise(x == 0 ? err::kOverflow : err::kDivisionByZero);
  bool single = (ra == kR4 || rb == kR4) && ra <= kR4 && rb <= kR4 && ra != kI4 && rb != kI4;
  return floatResult(x / y, single ? kR4 : kR8);
}

// \ and Mod: both sides rounded to whole numbers first.
Variant integerDivision(BinOp op, const Variant& a, const Variant& b) {
  Rank ra = rankOf(a), rb = rankOf(b);
  std::int64_t x = asInteger(a), y = asInteger(b);
  if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) raise(err::kOverflow);
  if (y == 0) raise(err::kDivisionByZero);
  std::int64_t z = op == BinOp::IntDiv ? x / y : x % y;
  Rank r = (ra == kByte && rb == kByte) ? kByte : (ra <= kI2 && rb <= kI2) ? kI2 : kI4;
  return integerResult(z, r);
}

Variant power(const Variant& a, const Variant& b) {
  double x = automation::toDouble(a), y = automation::toDouble(b);
  if (x < 0 && y != std::floor(y)) raise(err::kInvalidCall);
  double z = std::pow(x, y);
  if (!std::isfinite(z)) raise(x == 0 ? err::kDivisionByZero : err::kOverflow);
  return Variant(z);
}

// Operands of the logical operators: booleans stay booleans, everything else is an integer.
struct Logical {
  bool isNull = false;
  bool isBool = false;
  Rank rank = kI2;
  std::int64_t bits = 0;
};

Logical logicalOf(const Variant& v) {
  Logical l;
  switch (v.type()) {
    case VarType::Null:
      l.isNull = true;
      return l;
    case VarType::Bool:
      l.isBool = true;
      l.bits = std::get<bool>(v.storage()) ? -1 : 0;
      return l;
    case VarType::Empty:
      return l;
    case VarType::Byte:
      l.rank = kByte;
      break;
    case VarType::I2:
      break;
    case VarType::Text:
      if (automation::equalsIgnoreCase(v.text(), u"True") ||
          automation::equalsIgnoreCase(v.text(), u"False")) {
        l.isBool = true;
        l.bits = automation::toBool(v) ? -1 : 0;
        return l;
      }
      l.rank = kI4;
      break;
    default:
      l.rank = kI4;
      break;
  }
  l.bits = asInteger(v);
  if (l.bits < INT32_MIN || l.bits > INT32_MAX) raise(err::kOverflow);
  return l;
}

Variant logicalResult(std::int64_t bits, const Logical& a, const Logical& b) {
  if ((a.isBool || a.isNull) && (b.isBool || b.isNull)) return Variant(bits != 0);
  Rank ra = a.isBool || a.isNull ? kI2 : a.rank, rb = b.isBool || b.isNull ? kI2 : b.rank;
  if (ra == kByte && rb == kByte) return Variant(static_cast<std::uint8_t>(bits));
  if (ra <= kI2 && rb <= kI2) return Variant(static_cast<std::int16_t>(bits));
  return Variant(static_cast<std::int32_t>(bits));
}

Variant logical(BinOp op, const Variant& va, const Variant& vb) {
  Logical a = logicalOf(va), b = logicalOf(vb);
  if (a.isNull || b.isNull) {
    const Logical& other = a.isNull ? b : a;
    if (a.isNull && b.isNull) return Variant::null();
    switch (op) {
      case BinOp::And:
        return other.bits == 0 ? logicalResult(0, other, other) : Variant::null();
      case BinOp::Or:
        return other.bits == -1 ? logicalResult(-1, other, other) : Variant::null();
      case BinOp::Imp:
        if (a.isNull) return b.bits == -1 ? logicalResult(-1, b, b) : Variant::null();
        return a.bits == 0 ? logicalResult(-1, a, a) : Variant::null();
      default:
        return Variant::null();
    }
  }
  std::int64_t x = a.bits, y = b.bits, z = 0;
  switch (op) {
    case BinOp::And:
      z = x & y;
      break;
    case BinOp::Or:
      z = x | y;
      break;
    case BinOp::Xor:
      z = x ^ y;
      break;
    case BinOp::Eqv:
      z = ~(x ^ y);
      break;
    case BinOp::Imp:
      z = ~x | y;
      break;
    default:
      break;
  }
  return logicalResult(z, a, b);
}

bool isNumericKind(const Variant& v) { return v.isNumeric() && v.type() != VarType::Text; }

int sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

int compareNumbers(const Variant& a, const Variant& b) {
  auto ia = std::get_if<std::int32_t>(&a.storage());
  auto ib = std::get_if<std::int32_t>(&b.storage());
  if (ia && ib) return *ia < *ib ? -1 : *ia > *ib;
  return sign(automation::toDouble(a) - automation::toDouble(b));
}

int compareTexts(TextView a, TextView b) {
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0;
}

}  // namespace

Variant valueOf(const Variant& v) {
  if (!v.isObject()) return v;
  const automation::ObjectRef& o = v.object();
  if (!o) raise(err::kObjectNotSet);
  if (!o->typeInfo().defaultMember()) raise(err::kNoSuchMember);
  return valueOf(o->invoke(u"", automation::InvokeKind::PropertyGet));
}

Variant concat(const Variant& a0, const Variant& b0) {
  Variant a = valueOf(a0), b = valueOf(b0);
  if (a.isNull() && b.isNull()) return Variant::null();
  if (a.isArray() || b.isArray()) raise(err::kTypeMismatch);
  // Byte strings (ChrB, MidB of binary data) stay byte strings when joined.
  if (a.type() == VarType::ByteArray && (b.type() == VarType::ByteArray || b.isEmpty())) {
    Variant::Bytes joined = a.bytes();
    if (!b.isEmpty()) joined.insert(joined.end(), b.bytes().begin(), b.bytes().end());
    return Variant(std::move(joined));
  }
  if (b.type() == VarType::ByteArray && a.isEmpty()) return b;
  return Variant(automation::joinText(a) + automation::joinText(b));
}

std::optional<int> compare(const Variant& a0, const Variant& b0, bool aLiteral, bool bLiteral) {
  Variant a = valueOf(a0), b = valueOf(b0);
  if (a.isNull() || b.isNull()) return std::nullopt;
  if (a.isArray() || b.isArray() || a.isMissing() || b.isMissing()) raise(err::kTypeMismatch);
  if (a.isEmpty() && b.isEmpty()) return 0;
  if (a.isEmpty())
    return b.isText() ? compareTexts(u"", b.text()) : -compareNumbers(b, Variant(std::int16_t{0}));
  if (b.isEmpty())
    return a.isText() ? compareTexts(a.text(), u"") : compareNumbers(a, Variant(std::int16_t{0}));
  if (a.isText() && b.isText()) return compareTexts(a.text(), b.text());
  if (isNumericKind(a) && isNumericKind(b)) return compareNumbers(a, b);
  // A text against a number: the literal the script wrote decides the comparison's type;
  // between two variables the number is always the smaller.
  bool aText = a.isText();
  const Variant& num = aText ? b : a;
  const Variant& txt = aText ? a : b;
  bool numLiteral = aText ? bLiteral : aLiteral;
  bool txtLiteral = aText ? aLiteral : bLiteral;
  int c;
  if (numLiteral)
    c = compareNumbers(Variant(automation::toDouble(txt)), num);
  else if (txtLiteral)
    c = compareTexts(txt.text(), automation::toText(num));
  else
    c = 1;
  return aText ? c : -c;
}

bool truth(const Variant& v0) {
  Variant v = valueOf(v0);
  if (v.isNull()) return false;
  if (auto b = std::get_if<bool>(&v.storage())) return *b;
  if (v.isArray()) raise(err::kTypeMismatch);
  return automation::toBool(v);
}

Variant binaryOp(BinOp op, const Variant& a0, const Variant& b0, bool aLiteral, bool bLiteral) {
  if (op == BinOp::Is) {
    if (!a0.isObject() || !b0.isObject()) raise(err::kObjectRequired);
    return Variant(a0.object() == b0.object());
  }
  if (op == BinOp::Concat) return concat(a0, b0);
  Variant a = valueOf(a0), b = valueOf(b0);
  switch (op) {
    case BinOp::Eq:
    case BinOp::Ne:
    case BinOp::Lt:
    case BinOp::Gt:
    case BinOp::Le:
    case BinOp::Ge: {
      auto c = compare(a, b, aLiteral, bLiteral);
      if (!c) return Variant::null();
      switch (op) {
        case BinOp::Eq:
          return Variant(*c == 0);
        case BinOp::Ne:
          return Variant(*c != 0);
        case BinOp::Lt:
          return Variant(*c < 0);
        case BinOp::Gt:
          return Variant(*c > 0);
        case BinOp::Le:
          return Variant(*c <= 0);
        default:
          return Variant(*c >= 0);
      }
    }
    case BinOp::And:
    case BinOp::Or:
    case BinOp::Xor:
    case BinOp::Eqv:
    case BinOp::Imp:
      return logical(op, a, b);
    default:
      break;
  }
  if (a.isNull() || b.isNull()) {
    const Variant& other = a.isNull() ? b : a;
    if (!other.isNull()) rankOf(other);  // a Null beside an array is still a mismatch
    return Variant::null();
  }
  switch (op) {
    case BinOp::Add:
      if (a.isText() && b.isText()) return Variant(a.text() + b.text());
      // Empty beside a text gives the text unchanged, as "" would be joined to it.
      if (a.isEmpty() && b.isText()) return b;
      if (b.isEmpty() && a.isText()) return a;
      return arithmetic(op, a, b);
    case BinOp::Sub:
    case BinOp::Mul:
      return arithmetic(op, a, b);
    case BinOp::Div:
      return divide(a, b);
    case BinOp::IntDiv:
    case BinOp::Mod:
      return integerDivision(op, a, b);
    case BinOp::Pow:
      return power(a, b);
    default:
      raise(err::kInternal);
  }
}

Variant unaryOp(UnOp op, const Variant& a0) {
  Variant a = valueOf(a0);
  if (a.isNull()) return a;
  if (op == UnOp::Plus) {
    rankOf(a);
    return a;
  }
  if (op == UnOp::Not) {
    Logical l = logicalOf(a);
    return logicalResult(~l.bits, l, l);
  }
  switch (a.type()) {
    case VarType::Empty:
      return Variant(std::int16_t{0});
    case VarType::Bool:
      return integerResult(std::get<bool>(a.storage()) ? 1 : 0, kI2);
    case VarType::Byte:
      return integerResult(-static_cast<std::int64_t>(std::get<std::uint8_t>(a.storage())), kI2);
    case VarType::I2:
      return integerResult(-static_cast<std::int64_t>(std::get<std::int16_t>(a.storage())), kI2);
    case VarType::I4:
      return integerResult(-static_cast<std::int64_t>(std::get<std::int32_t>(a.storage())), kI4);
    case VarType::R4:
      return Variant(-std::get<float>(a.storage()));
    case VarType::Currency:
      return Variant(Currency{-std::get<Currency>(a.storage()).scaled});
    case VarType::Date:
      return Variant(automation::Date(-automation::toDouble(a)));
    case VarType::Text:
    case VarType::R8:
    case VarType::I8:
      return Variant(-automation::toDouble(a));
    default:
      raise(err::kTypeMismatch);
  }
}

}  // namespace vbscript
