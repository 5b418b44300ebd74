// Rewrites the one classic page idiom that JavaScript rejects: assigning to a collection item,
// `Session("key") = value` (and the compound forms such as `+=`). The call target becomes a
// method call, `Session.$$put("key", value)`, which the object wrapper turns into a property put
// on the object's default member. A real tokenizer keeps strings, regular expressions and
// comments untouched; line breaks are kept so that script lines still match page lines.
#pragma once

#include "automation/text.h"

namespace host::jscript {

using automation::Text;
using automation::TextView;

// Name of the method the rewrite calls; the object wrapper answers it.
inline constexpr char16_t kPutMethod[] = u"$$put";

Text rewriteItemAssignments(TextView code);

}  // namespace host::jscript
