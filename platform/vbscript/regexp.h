// The RegExp object of VBScript (New RegExp) and its Matches, Match and SubMatches, on PCRE2.
#pragma once

#include "automation/object.h"

namespace vbscript {

automation::ObjectRef makeRegExp();

}  // namespace vbscript
