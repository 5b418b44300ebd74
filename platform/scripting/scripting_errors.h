// The scripting runtime's errors, with the numbers and texts scripts test for.
#pragma once

#include "automation/error.h"

namespace scripting {

[[noreturn]] void throwKeyExists();         // 457
[[noreturn]] void throwElementNotFound();   // 32811
[[noreturn]] void throwFileNotFound();      // 53
[[noreturn]] void throwBadFileMode();       // 54
[[noreturn]] void throwFileExists();        // 58
[[noreturn]] void throwPastEndOfFile();     // 62
[[noreturn]] void throwPermissionDenied();  // 70
[[noreturn]] void throwPathNotFound();      // 76

}  // namespace scripting
