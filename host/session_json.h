// Session contents as a JSON object, for `balance-host render --session FILE`: string <-> text,
// an integer within 16 bits <-> 16-bit integer, any other integer <-> 32-bit integer (a double
// beyond that), other numbers <-> double, true/false <-> boolean, null <-> null,
// {"date": "yyyy-mm-dd[ hh:mm:ss]"} <-> date, any other object or array <-> a script object or
// array (ScriptObject), its values converted the same way. Empty values are left out; what has
// no lasting form (a component, a value inside a script object that is none of these) is left
// out with a note on standard error. A script object whose only property is a "date" text that
// reads as a date comes back as that date.
#pragma once

#include <string>

#include "asp/session.h"

namespace host {

// Raises std::invalid_argument for text that is not a JSON object of such values.
void readSessionJson(const std::string& json, asp::KeyedValues& into);
std::string writeSessionJson(const asp::KeyedValues& values);

}  // namespace host
