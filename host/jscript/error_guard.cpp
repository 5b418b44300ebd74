// The two phases of every native, and the errors the host raises in scripts.
#include "error_guard.h"

#include "asp/response.h"
#include "duktape.h"
#include "duktape_heap.h"
#include "engine_text.h"
#include "jscript_run.h"
#include "member_proxy.h"
#include "value_conversion.h"

namespace host::jscript {
namespace hr = automation::hr;

namespace {

struct Stopped {};

// The work phase. Everything it builds is gone when it returns; what it hands back is in `run`.
bool perform(duk_context* ctx, JScriptRun& run, NativeWork work) noexcept {
  NativeError& error = run.error();
  try {
    if (run.stopped()) throw Stopped{};
    work(ctx, run);
    return true;
  } catch (const automation::AutomationError& e) {
    error = {e.code(), toEngineString(e.description()), toEngineString(e.source()), false};
  } catch (const asp::ResponseEnd&) {
    run.end();
    error = {hr::kFail, "the response has ended", "", false};
  } catch (const Stopped&) {
    bool timeout = !run.ended();
    error = {hr::kFail, timeout ? "execution timeout" : "the response has ended", "", timeout};
  } catch (const std::bad_alloc&) {
    error = {hr::kOutOfMemory, "Out of memory", "", false};
  } catch (const std::exception& e) {
    error = {hr::kFail, toEngineString(automation::fromUtf8(e.what())), "", false};
  }
  return false;
}

// The push phase: no script code runs here, so nothing can change the run under it.
int pushReturned(duk_context* ctx, JScriptRun& run) {
  NativeReturn& r = run.returned();
  switch (r.kind) {
    case NativeReturn::Kind::Nothing:
      return 0;
    case NativeReturn::Kind::Value:
      pushVariant(ctx, run, r.value);
      break;
    case NativeReturn::Kind::Member:
      pushMemberProxy(ctx, run, r.member);
      break;
    case NativeReturn::Kind::Conversion:
      pushConversion(ctx, run, r.member);
      break;
    case NativeReturn::Kind::Put:
      pushPut(ctx, run, r.member);
      break;
  }
  r.kind = NativeReturn::Kind::Nothing;
  r.value = automation::Variant();
  return 1;
}

void defineValue(duk_context* ctx, duk_idx_t object, const char* key, bool enumerable = true) {
  duk_push_string(ctx, key);
  duk_insert(ctx, -2);
  duk_def_prop(ctx, object < 0 ? object - 1 : object,
               DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_SET_WRITABLE | DUK_DEFPROP_SET_CONFIGURABLE |
                   (enumerable ? DUK_DEFPROP_SET_ENUMERABLE : DUK_DEFPROP_CLEAR_ENUMERABLE));
}

void readString(duk_context* ctx, const char* key, std::string& out) {
  if (duk_get_prop_string(ctx, -1, key) && duk_is_string(ctx, -1)) out = duk_get_string(ctx, -1);
  duk_pop(ctx);
}

// In a safe call: the thrown value's getters may throw, or be the page's own. Each statement
// either calls the engine or assigns into `udata`, so a throw leaves nothing half-built.
duk_ret_t inspect(duk_context* ctx, void* udata) {
  auto* t = static_cast<ThrownValue*>(udata);
  if (!duk_is_object(ctx, -1)) {
    t->description = duk_safe_to_string(ctx, -1);
    return 0;
  }
  if (duk_get_prop_string(ctx, -1, "number") && duk_is_number(ctx, -1)) {
    t->hasNumber = true;
    t->number = duk_get_number(ctx, -1);
  }
  duk_pop(ctx);
  readString(ctx, "description", t->description);
  if (t->description.empty()) readString(ctx, "message", t->description);
  readString(ctx, "name", t->name);
  readString(ctx, "source", t->source);
  duk_get_prop_string(ctx, -1, "lineNumber");
  t->line = duk_get_int(ctx, -1);
  duk_pop(ctx);
  return 0;
}

}  // namespace

int runNative(duk_context* ctx, NativeWork work) {
  JScriptRun* run = DuktapeHeap::of(ctx).current();
  if (!run) return DUK_RET_REFERENCE_ERROR;  // a wrapper outliving every page
  if (!perform(ctx, *run, work)) {
    pushScriptError(ctx, run->error());
    return duk_throw(ctx);
  }
  return pushReturned(ctx, *run);
}

int callerLine(duk_context* ctx) {
  for (duk_int_t level = -2; level > -16; --level) {
    duk_inspect_callstack_entry(ctx, level);
    if (duk_is_undefined(ctx, -1)) {
      duk_pop(ctx);
      return 0;
    }
    duk_get_prop_string(ctx, -1, "lineNumber");
    int line = duk_get_int(ctx, -1);
    duk_pop_2(ctx);
    if (line > 0) return line;
  }
  return 0;
}

void pushScriptError(duk_context* ctx, const NativeError& error) {
  duk_push_error_object(ctx, error.timeout ? DUK_ERR_RANGE_ERROR : DUK_ERR_ERROR, "%s",
                        error.description.c_str());
  duk_push_int(ctx, error.code);
  defineValue(ctx, -2, "number");
  duk_push_lstring(ctx, error.description.data(), error.description.size());
  defineValue(ctx, -2, "description");
  if (!error.source.empty()) {
    duk_push_lstring(ctx, error.source.data(), error.source.size());
    defineValue(ctx, -2, "source", false);
  }
  if (int line = callerLine(ctx); line > 0) {
    duk_push_int(ctx, line);
    defineValue(ctx, -2, "lineNumber", false);
  }
}

ThrownValue inspectThrown(duk_context* ctx) {
  ThrownValue t;
  duk_dup_top(ctx);
  duk_safe_call(ctx, inspect, &t, 1, 1);
  duk_pop(ctx);
  return t;
}

}  // namespace host::jscript
