// Values between JScript and the automation world.
//
//   string <-> text; number <-> an integral number that fits 32 bits becomes a 32-bit integer,
//   any other a double (16/32-bit integers, doubles, currency come back as numbers);
//   boolean <-> bool; null <-> null; undefined <-> empty; Date <-> date (the calendar fields of
//   the script's local time); Uint8Array and other buffers <-> byte array; an object wrapper <->
//   its object; a one-dimensional variant array -> Array; an array of more dimensions -> an
//   opaque object for VBArray, which gives the array back when passed on.
//   A script's own Array or plain object -> a ScriptObject holding a copy of its data (nested
//   values converted the same way), which comes back as a fresh Array or object.
//   Any other value (a function, a RegExp) -> its text.
//
// Reading (toVariant) belongs to a native's work phase: it runs the page's code (getters,
// toString) only inside safe calls. Pushing (pushVariant) belongs to the push phase: it runs no
// script code at all.
#pragma once

#include <vector>

#include "automation/variant.h"

struct duk_hthread;
typedef struct duk_hthread duk_context;

namespace host::jscript {

class JScriptRun;

automation::Variant toVariant(duk_context* ctx, int index, JScriptRun& run);
// The arguments of the running native from `from` on.
std::vector<automation::Variant> arguments(duk_context* ctx, JScriptRun& run, int from = 0);
automation::Text textAt(duk_context* ctx, int index);

void pushVariant(duk_context* ctx, JScriptRun& run, const automation::Variant& v);
// Through a buffer, so that no C++ string is alive when the engine allocates.
void pushText(duk_context* ctx, automation::TextView s);

}  // namespace host::jscript
