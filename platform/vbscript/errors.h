// VBScript's own error numbers and texts, runtime and compilation alike. A runtime error is
// an automation error with the HRESULT 0x800A0000 | number, so that errors raised by
// automation (type mismatch, overflow, ...) and by the engine are one and the same.
#pragma once

#include "automation/error.h"

namespace vbscript {

namespace err {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscript = 9;
inline constexpr int kFixedArray = 10;
inline constexpr int kDivisionByZero = 11;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kOutOfStack = 28;
inline constexpr int kNotDefined = 35;
inline constexpr int kInternal = 51;
inline constexpr int kObjectNotSet = 91;
inline constexpr int kInvalidNull = 94;
inline constexpr int kObjectRequired = 424;
inline constexpr int kCannotCreate = 429;
inline constexpr int kNoSuchMember = 438;
inline constexpr int kArgNotOptional = 449;
inline constexpr int kWrongArgs = 450;
inline constexpr int kNotCollection = 451;
inline constexpr int kUndefined = 500;
inline constexpr int kIllegalAssignment = 501;
inline constexpr int kClassNotDefined = 506;
inline constexpr int kRegexSyntax = 5017;
inline constexpr int kNameRedefined = 1041;
inline constexpr int kSyntax = 1002;
}  // namespace err

// The text VBScript gives for one of its numbers ("" for numbers it does not know).
automation::TextView errorText(int number);

inline constexpr char16_t kRuntimeSource[] = u"Microsoft VBScript runtime error";
inline constexpr char16_t kCompileSource[] = u"Microsoft VBScript compilation error";

inline automation::HRESULT hresultOf(int number) {
  return static_cast<automation::HRESULT>(0x800A0000u | static_cast<unsigned>(number & 0xFFFF));
}
// The number a page sees in Err.Number for an HRESULT: the low word of the runtime's own
// codes, the whole HRESULT otherwise.
std::int32_t errNumberOf(automation::HRESULT code);

// VBScript's number for an error of late binding (no such member 438, wrong number of
// arguments 450); 0 for any other.
int scriptNumberFor(automation::HRESULT code);

[[noreturn]] void raise(int number);
[[noreturn]] void raise(int number, automation::TextView detail);  // "Text: 'detail'"

}  // namespace vbscript
