// Variant: the value that crosses every automation interface. The kinds carry the COM type
// numbers so that anyone who knows COM reads them at once. Every conversion rule of the
// runtime lives in this file and variant.cpp, nowhere else.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "date.h"
#include "int16.h"
#include "text.h"

namespace automation {

class Dispatch;
using ObjectRef = std::shared_ptr<Dispatch>;

enum class VarType : std::uint16_t {
  Empty = 0,
  Null = 1,
  I2 = 2,
  I4 = 3,
  R4 = 4,
  R8 = 5,
  Currency = 6,  // VT_CY: a 64-bit integer counting ten-thousandths
  Date = 7,
  Text = 8,  // VT_BSTR
  Object = 9,
  Missing = 10,  // VT_ERROR holding DISP_E_PARAMNOTFOUND: an optional argument not passed
  Bool = 11,
  Byte = 17,  // VT_UI1
  I8 = 20,
  VariantArray = 12 | 0x2000,
  ByteArray = 17 | 0x2000,
};

// The currency subtype: fixed point with four decimals, as money columns and CCur hold it.
struct Currency {
  std::int64_t scaled = 0;  // value * 10000
  // Rounds to four decimals, halves to even; raises the overflow error out of range.
  static Currency fromDouble(double d);
  double toDouble() const { return static_cast<double>(scaled) / 10000.0; }
  friend constexpr bool operator==(Currency, Currency) = default;
};

// One dimension of an array: its lower bound and its number of elements.
struct ArrayBound {
  std::int32_t lower = 0;
  std::int32_t count = 0;
  std::int32_t upper() const { return lower + count - 1; }
  friend constexpr bool operator==(ArrayBound, ArrayBound) = default;
};

class Variant {
 public:
  using Bytes = std::vector<std::uint8_t>;
  using Array = std::vector<Variant>;
  // The elements of an array of any rank, stored flat with the first index varying fastest
  // (the SAFEARRAY order), beside one bound per dimension.
  struct ArrayData {
    ArrayData(std::vector<ArrayBound> b, Array i) : bounds(std::move(b)), items(std::move(i)) {}
    ArrayData(const ArrayData&) = default;
    // Arrays nested in arrays are released in turn past a modest depth, not by recursion,
    // so that a script nesting them a million deep does not overrun the stack.
    ~ArrayData();
    std::vector<ArrayBound> bounds;
    Array items;
  };

  Variant() = default;  // empty
  Variant(std::int16_t v) : value_(v) {}
  Variant(Int16 v) : value_(v.value()) {}
  Variant(int v) : value_(std::int32_t{v}) {}
  Variant(long v);  // 32-bit when it fits, else 64-bit
  Variant(long long v) : Variant(static_cast<long>(v)) {}
  Variant(float v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(bool v) : value_(v) {}
  Variant(Date v) : value_(v) {}
  Variant(std::uint8_t v) : value_(v) {}
  Variant(Currency v) : value_(v) {}
  Variant(Text v) : value_(std::make_shared<Text>(std::move(v))) {}
  Variant(TextView v) : value_(std::make_shared<Text>(v)) {}
  Variant(const char16_t* v) : value_(std::make_shared<Text>(v)) {}
  Variant(ObjectRef v) : value_(std::move(v)) {}
  Variant(Bytes v) : value_(std::make_shared<const Bytes>(std::move(v))) {}
  Variant(Array v);  // one dimension, lower bound 0
  // An array of any rank (GetRows gives fields x rows); raises "subscript out of range" when
  // the product of the counts is not the number of items.
  Variant(Array items, std::vector<ArrayBound> bounds);
  Variant(const char*) = delete;  // narrow literals would silently become booleans

  static Variant null();
  static Variant missing();

  VarType type() const {
    static constexpr VarType kTypes[] = {
        VarType::Empty,        VarType::Null,      VarType::I2,      VarType::I4,
        VarType::I8,           VarType::R4,        VarType::R8,      VarType::Date,
        VarType::Text,         VarType::Object,    VarType::Missing, VarType::Bool,
        VarType::VariantArray, VarType::ByteArray, VarType::Byte,    VarType::Currency};
    return kTypes[value_.index()];
  }
  bool isEmpty() const { return type() == VarType::Empty; }
  bool isNull() const { return type() == VarType::Null; }
  bool isMissing() const { return type() == VarType::Missing; }
  bool isText() const { return type() == VarType::Text; }
  bool isObject() const { return type() == VarType::Object; }
  bool isNumeric() const;  // I2, I4, I8, R4, R8, Byte, Currency, Bool, Date
  bool isArray() const { return type() == VarType::VariantArray; }

  // Direct access; each throws the type-mismatch error on another kind.
  const Text& text() const;
  const ObjectRef& object() const;
  const Bytes& bytes() const;
  const Array& array() const;                          // the elements, flat
  const std::vector<ArrayBound>& arrayBounds() const;  // one per dimension

  // In-place changes for script engines. Texts and arrays are shared between copies of a
  // variant; these give the one copy that may be changed without touching the others.
  // The text, when this variant holds a text no other variant shares; else nullptr.
  Text* uniqueText();
  // True when both hold the very same text (not merely equal ones).
  bool sharesTextWith(const Variant& other) const;
  // The array's data, first copied when another variant shares it; type mismatch on a
  // variant that holds no array.
  ArrayData& mutableArray();

  // The stored value, for the conversions in variant.cpp.
  struct NullTag {
    bool operator==(const NullTag&) const = default;
  };
  struct MissingTag {
    bool operator==(const MissingTag&) const = default;
  };
  // Texts are shared between copies (copying a variant never copies its characters); a
  // text is changed in place only through uniqueText.
  using Storage = std::variant<std::monostate, NullTag, std::int16_t, std::int32_t, std::int64_t,
                               float, double, Date, std::shared_ptr<Text>, ObjectRef, MissingTag,
                               bool, std::shared_ptr<ArrayData>, std::shared_ptr<const Bytes>,
                               std::uint8_t, Currency>;
  const Storage& storage() const { return value_; }
  // For script engines updating a number in place (a loop counter) without reassigning.
  Storage& storage() { return value_; }

 private:
  Storage value_;
};

using Args = std::span<Variant>;

// Conversions, as the runtime's CStr, CInt, CLng, CDbl, CDate and CBool do them.
Text toText(const Variant& v);           // null raises "invalid use of Null"
Text joinText(const Variant& v);         // as "&" joins: empty and null give ""
std::int16_t toInt16(const Variant& v);  // halves to even; type mismatch; overflow
std::int32_t toInt32(const Variant& v);
std::int64_t toInt64Rounded(const Variant& v);
double toDouble(const Variant& v);
Currency toCurrency(const Variant& v);
Date toDate(const Variant& v);
bool toBool(const Variant& v);

// Number formatting of the runtime: integers in decimal, doubles with up to 15 significant
// digits and singles with up to 7, switching to the E+nn form outside 1e-5 .. 1e15.
Text formatDouble(double d, int significantDigits = 15);
// Text that reads as a number: optional blanks, sign, digits, one point, exponent.
std::optional<double> parseNumber(TextView s);

// Equality as the page scripts compare request and session values: numbers numerically,
// texts exactly, empty as 0 or "" against the other side, a number never equals a text,
// and null equals nothing. `differs` is the "<>" test, which is false whenever a side is null.
bool equals(const Variant& a, const Variant& b);
bool differs(const Variant& a, const Variant& b);

}  // namespace automation
