#include "error.h"

namespace automation {

AutomationError::AutomationError(HRESULT code, Text source, Text description)
    : std::runtime_error(toUtf8(description)),
      code_(code),
      source_(std::move(source)),
      description_(std::move(description)) {}

namespace {
constexpr char16_t kRuntime[] = u"Runtime error";
[[noreturn]] void raise(HRESULT code, TextView description) {
  throw AutomationError(code, kRuntime, Text(description));
}
}  // namespace

void throwOverflow() { raise(hr::kOverflow, u"Overflow"); }
void throwTypeMismatch() { raise(hr::kTypeMismatch, u"Type mismatch"); }
void throwSubscriptOutOfRange() { raise(hr::kSubscriptOutOfRange, u"Subscript out of range"); }
void throwObjectNotSet() {
  raise(hr::kObjectNotSet, u"Object variable or With block variable not set");
}
void throwInvalidProcedureCall() {
  raise(hr::kInvalidProcedureCall, u"Invalid procedure call or argument");
}
void throwInvalidUseOfNull() { raise(hr::kInvalidUseOfNull, u"Invalid use of Null"); }
void throwInvalidClassString() {
  throw AutomationError(hr::kInvalidClassString, u"Server.CreateObject", u"Invalid class string");
}
void throwUnknownName(TextView member) {
  throw AutomationError(hr::kUnknownName, u"Object", u"Unknown name: " + Text(member));
}
void throwBadParamCount() {
  throw AutomationError(hr::kBadParamCount, u"Object",
                        u"Wrong number of arguments or invalid property assignment");
}
void throwProviderError(TextView source, TextView message) {
  throw AutomationError(hr::kFail, Text(source), Text(message));
}

}  // namespace automation
