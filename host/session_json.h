// Session contents as a JSON object, for `balance-host render --session FILE`: string <-> text,
// an integer within 16 bits <-> 16-bit integer, any other integer <-> 32-bit integer (a double
// beyond that), other numbers <-> double, true/false <-> boolean, null <-> null,
// {"date": "yyyy-mm-dd[ hh:mm:ss]"} <-> date. Empty values are left out; objects and arrays,
// which have no lasting form, are left out with a note on standard error.
#pragma once

#include <string>

#include "asp/session.h"

namespace host {

// Raises std::invalid_argument for text that is not a JSON object of such values.
void readSessionJson(const std::string& json, asp::KeyedValues& into);
std::string writeSessionJson(const asp::KeyedValues& values);

}  // namespace host
