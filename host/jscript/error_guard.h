// The rule every native of the host follows: Duktape reports errors with longjmp, which skips
// C++ destructors, so no Duktape error may unwind through a C++ frame that owns something. A
// native therefore runs in two phases. The work phase reads the arguments (script code such as
// getters runs only inside safe calls), does the C++ work and leaves its result in the run; C++
// exceptions stay inside it. Once the work's frames are gone, the push phase hands the result
// (or the error) to the engine; it runs no script code.
#pragma once

#include <string>

#include "automation/error.h"
#include "automation/variant.h"

struct duk_hthread;
typedef struct duk_hthread duk_context;

namespace host::jscript {

class JScriptRun;

// What a native hands back, kept in the run (not on the native's stack) until it is pushed.
struct NativeReturn {
  enum class Kind {
    Nothing,     // undefined
    Value,       // `value`
    Member,      // the member proxy of member entry `member`
    Conversion,  // a valueOf/toString function for member entry `member`
    Put,         // the $$put function of member entry `member`
  };
  Kind kind = Kind::Nothing;
  automation::Variant value;
  std::size_t member = 0;
};

// An error a native raises in the script, kept in the run until it is thrown.
struct NativeError {
  automation::HRESULT code = 0;
  std::string description;  // in the engine's encoding
  std::string source;
  bool timeout = false;  // a RangeError, as the engine's own execution timeout
};

// The work phase of a native: reads arguments from `ctx`, returns through `run`.
using NativeWork = void (*)(duk_context* ctx, JScriptRun& run);

// Runs `work` and then the push phase; the duk_c_function body of every native of the host.
int runNative(duk_context* ctx, NativeWork work);

template <NativeWork Work>
int native(duk_context* ctx) {
  return runNative(ctx, Work);
}

// The line of the script that called the running native: the nearest caller with a line.
int callerLine(duk_context* ctx);

// Pushes an Error carrying `number` and `description` (JScript's properties) and the caller's
// line; a RangeError for a timeout.
void pushScriptError(duk_context* ctx, const NativeError& error);

// What a thrown value tells: read in a safe call, since its getters may be the page's own.
struct ThrownValue {
  bool hasNumber = false;
  double number = 0;
  std::string description;  // description, else message, else the value as text
  std::string name;         // "TypeError"
  std::string source;       // the component that raised it, when one did
  int line = 0;             // program line; 0 when the value has none
};
// Inspects the value on top of `ctx`, leaving it there.
ThrownValue inspectThrown(duk_context* ctx);

}  // namespace host::jscript
