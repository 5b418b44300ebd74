// Errors of Scripting.Dictionary and Scripting.FileSystemObject.
#include "scripting_errors.h"

namespace scripting {
namespace {

[[noreturn]] void raise(std::uint32_t code, automation::TextView description) {
  throw automation::AutomationError(static_cast<automation::HRESULT>(code), u"Runtime error",
                                    automation::Text(description));
}

}  // namespace

void throwKeyExists() {
  raise(0x800A01C9, u"This key is already associated with an element of this collection");
}
void throwElementNotFound() { raise(0x800A802B, u"Element not found"); }
void throwFileNotFound() { raise(0x800A0035, u"File not found"); }
void throwBadFileMode() { raise(0x800A0036, u"Bad file mode"); }
void throwFileExists() { raise(0x800A003A, u"File already exists"); }
void throwPastEndOfFile() { raise(0x800A003E, u"Input past end of file"); }
void throwPermissionDenied() { raise(0x800A0046, u"Permission denied"); }
void throwPathNotFound() { raise(0x800A004C, u"Path not found"); }

}  // namespace scripting
