// Int16: the runtime's checked 16-bit integer. Counters, page numbers and loop indices of the
// components are of this type; leaving -32768..32767 raises the overflow error.
#pragma once

#include <cstdint>

#include "error.h"

namespace automation {

class Int16 {
 public:
  constexpr Int16() = default;
  constexpr Int16(std::int16_t v) : v_(v) {}  // NOLINT: a plain 16-bit value is an Int16
  static Int16 checked(std::int64_t v) {
    if (v < INT16_MIN || v > INT16_MAX) throwOverflow();
    return Int16(static_cast<std::int16_t>(v));
  }

  constexpr std::int16_t value() const { return v_; }
  friend constexpr auto operator<=>(Int16 a, Int16 b) = default;
  friend constexpr bool operator==(Int16 a, Int16 b) = default;
  friend constexpr auto operator<=>(Int16 a, int b) { return int{a.v_} <=> b; }
  friend constexpr bool operator==(Int16 a, int b) { return a.v_ == b; }

  friend Int16 operator+(Int16 a, Int16 b) { return checked(std::int64_t{a.v_} + b.v_); }
  friend Int16 operator-(Int16 a, Int16 b) { return checked(std::int64_t{a.v_} - b.v_); }
  friend Int16 operator*(Int16 a, Int16 b) { return checked(std::int64_t{a.v_} * b.v_); }
  Int16& operator+=(Int16 b) { return *this = *this + b; }
  Int16& operator-=(Int16 b) { return *this = *this - b; }
  Int16& operator++() { return *this += Int16(1); }

 private:
  std::int16_t v_ = 0;
};

}  // namespace automation
