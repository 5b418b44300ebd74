// Names of what the host keeps in a Duktape heap. Hidden symbols: script code can neither read
// nor shadow them, so looking them up never runs a getter of the page.
#pragma once

#include "duktape.h"

namespace host::jscript::keys {

// In the heap stash.
inline constexpr const char* kRuns = DUK_HIDDEN_SYMBOL("runs");          // serial -> {thread, keep}
inline constexpr const char* kPrograms = DUK_HIDDEN_SYMBOL("programs");  // id -> loaded program
inline constexpr const char* kObjectHandler = DUK_HIDDEN_SYMBOL("objectHandler");
inline constexpr const char* kMemberHandler = DUK_HIDDEN_SYMBOL("memberHandler");
inline constexpr const char* kDate = DUK_HIDDEN_SYMBOL("Date");  // the built-in constructor
inline constexpr const char* kError = DUK_HIDDEN_SYMBOL("Error");
inline constexpr const char* kSnapshot = DUK_HIDDEN_SYMBOL("snapshot");

// On a run's stash record.
inline constexpr const char* kThread = DUK_HIDDEN_SYMBOL("thread");
inline constexpr const char* kKeep = DUK_HIDDEN_SYMBOL("keep");  // wrappers, kept for the run

// On the native functions behind wrappers and member proxies.
inline constexpr const char* kSerial = DUK_HIDDEN_SYMBOL("serial");  // of the run that made it
inline constexpr const char* kSlot = DUK_HIDDEN_SYMBOL("slot");      // object wrappers
inline constexpr const char* kMember = DUK_HIDDEN_SYMBOL("member");  // member proxies

}  // namespace host::jscript::keys
