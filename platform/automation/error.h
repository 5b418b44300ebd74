// The automation error: what a component, a page object or the runtime reports to the calling
// page. It carries the HRESULT, the source and the description, as the script host shows them.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "text.h"

namespace automation {

using HRESULT = std::int32_t;

namespace hr {
inline constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT kInvalidProcedureCall = static_cast<HRESULT>(0x800A0005);
inline constexpr HRESULT kOverflow = static_cast<HRESULT>(0x800A0006);
inline constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x800A0007);
inline constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);
inline constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x800A000D);
inline constexpr HRESULT kObjectNotSet = static_cast<HRESULT>(0x800A005B);
inline constexpr HRESULT kInvalidUseOfNull = static_cast<HRESULT>(0x800A005E);
inline constexpr HRESULT kInvalidClassString = static_cast<HRESULT>(0x800401F3);
inline constexpr HRESULT kUnknownName = static_cast<HRESULT>(0x80020006);
inline constexpr HRESULT kMemberNotFound = static_cast<HRESULT>(0x80020003);
inline constexpr HRESULT kBadParamCount = static_cast<HRESULT>(0x8002000E);
}  // namespace hr

class AutomationError : public std::runtime_error {
 public:
  AutomationError(HRESULT code, Text source, Text description);

  HRESULT code() const { return code_; }
  const Text& source() const { return source_; }
  const Text& description() const { return description_; }

 private:
  HRESULT code_;
  Text source_;
  Text description_;
};

// The runtime's own errors, with the descriptions the script host prints for them.
[[noreturn]] void throwOverflow();
[[noreturn]] void throwTypeMismatch();
[[noreturn]] void throwSubscriptOutOfRange();
[[noreturn]] void throwObjectNotSet();
[[noreturn]] void throwInvalidProcedureCall();
[[noreturn]] void throwInvalidUseOfNull();
[[noreturn]] void throwInvalidClassString();
[[noreturn]] void throwUnknownName(TextView member);
[[noreturn]] void throwBadParamCount();
// A failure of a provider (database, file system): 0x80004005 with the provider's own message.
[[noreturn]] void throwProviderError(TextView source, TextView message);

}  // namespace automation
