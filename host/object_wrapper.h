// Marshalling between script values and variants, and the script face of automation objects.
//
// An object reaches the script as a Proxy over a native function: calling it calls the
// object's default member (rs("name"), Session("key")); reading a property without arguments
// reads it (rs.EOF); reading a method or a property with arguments gives a function to call
// (rs.Fields(0).Value, Request.Form("x")); assigning a property puts it. Names are looked up
// without regard to case, as script hosts do. `$$put(args..., value)` puts the default member:
// the page compiler rewrites Session("key") = value into it.
//
// Values: text <-> string; 16/32-bit integers, doubles <-> number (an integral number that
// fits 32 bits becomes a 32-bit integer, any other a double); bool <-> boolean; null <-> null;
// empty <-> undefined; date <-> Date; byte array <-> Uint8Array; variant array <-> Array.
//
// Natives run C++ that may throw; Duktape unwinds with longjmp, so every native goes through
// callGuarded, which turns C++ exceptions into script errors only after the C++ frames are gone.
#pragma once

#include "automation/object.h"
#include "script_runtime.h"

namespace host {

// Creates the Proxy handler of object wrappers in the heap's stash.
void installObjectWrappers(duk_context* ctx);

void pushVariant(duk_context* ctx, const automation::Variant& v);
void pushObject(duk_context* ctx, const automation::ObjectRef& object);
// Never calls script code that could throw past the caller.
automation::Variant toVariant(duk_context* ctx, int index);
// An object's value as a page writes it: objects give their default member's value.
automation::Variant defaultValue(automation::Variant v);

// The script line that called the running native: the nearest caller with a line.
int callerLine(duk_context* ctx);

using NativeBody = int (*)(duk_context*);
// Runs `body` for a native; a C++ exception becomes a script Error carrying `number` (the
// HRESULT as a signed 32-bit number) and `description`, blamed on the calling script line.
int callGuarded(duk_context* ctx, NativeBody body);

}  // namespace host
