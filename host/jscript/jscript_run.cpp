// A run of a JScript program: its thread and global object, kept in the heap stash under the
// run's serial until the run is destroyed, and the outcome of its code.
#include "jscript_run.h"

#include "duktape.h"
#include "duktape_heap.h"
#include "engine_text.h"
#include "heap_keys.h"
#include "jscript_engine.h"
#include "value_conversion.h"

namespace host::jscript {
namespace hr = automation::hr;

namespace {

// Pushes the stash record of run `serial`: {thread, keep}.
void pushRecordOf(duk_context* ctx, std::uint32_t serial) {
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, keys::kRuns);
  duk_get_prop_index(ctx, -1, serial);
  duk_remove(ctx, -2);
  duk_remove(ctx, -2);
}

void defineGlobal(duk_context* ctx, const std::string& name) {
  duk_push_global_object(ctx);
  duk_push_lstring(ctx, name.data(), name.size());
  duk_dup(ctx, -3);
  duk_def_prop(ctx, -3,
               DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_SET_WRITABLE | DUK_DEFPROP_SET_CONFIGURABLE |
                   DUK_DEFPROP_SET_ENUMERABLE);
  duk_pop_2(ctx);
}

struct Lookup {
  const char* name;
  std::size_t length;
  bool found = false;
};

// In a safe call: [] -> [the global's function `name`, or undefined]. The page may have put a
// getter there.
duk_ret_t findProcedure(duk_context* ctx, void* udata) {
  auto* lookup = static_cast<Lookup*>(udata);
  duk_push_global_object(ctx);
  duk_push_lstring(ctx, lookup->name, lookup->length);
  duk_get_prop(ctx, -2);
  lookup->found = duk_is_function(ctx, -1);
  return 1;
}

}  // namespace

JScriptRun::JScriptRun(DuktapeHeap& heap, const JScriptProgram& program, ScriptSite& site)
    : heap_(heap), program_(program), site_(site), serial_(heap.nextSerial()) {
  duk_context* ctx = heap.context();
  pushRecord();
  duk_get_prop_string(ctx, -1, keys::kThread);
  thread_ = duk_get_context(ctx, -1);
  duk_pop_2(ctx);
  // A fresh global object in front of the heap's: what the page declares or assigns dies with
  // it, while the engine's built-ins are made once per heap rather than once per request.
  duk_push_object(thread_);
  duk_push_global_object(thread_);
  duk_set_prototype(thread_, -2);
  duk_set_global_object(thread_);
  heap_.enter(*this);
  for (const auto& [name, object] : site.namedObjects()) {
    pushObject(thread_, *this, object);
    defineGlobal(thread_, name);
  }
  heap_.leave();
  heap.pushProgram(thread_, program);
}

JScriptRun::~JScriptRun() {
  duk_context* ctx = heap_.context();
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, keys::kRuns);
  duk_del_prop_index(ctx, -1, serial_);
  duk_pop_2(ctx);
  objects_.clear();
  heap_.runEnded();
}

void JScriptRun::pushRecord() {
  duk_context* ctx = heap_.context();
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, keys::kRuns);
  duk_push_bare_object(ctx);
  duk_push_thread(ctx);
  duk_put_prop_string(ctx, -2, keys::kThread);
  duk_push_bare_object(ctx);
  duk_put_prop_string(ctx, -2, keys::kKeep);
  duk_dup_top(ctx);
  duk_put_prop_index(ctx, -3, serial_);
  duk_remove(ctx, -2);
  duk_remove(ctx, -2);
}

JScriptRun& JScriptRun::of(duk_context* ctx) {
  JScriptRun* run = DuktapeHeap::of(ctx).current();
  if (!run) automation::throwObjectNotSet();
  return *run;
}

void JScriptRun::keepAlive(duk_context* ctx, int index) {
  index = duk_normalize_index(ctx, index);
  pushRecordOf(ctx, serial_);
  duk_get_prop_string(ctx, -1, keys::kKeep);
  duk_dup(ctx, index);
  duk_put_prop_index(ctx, -2, static_cast<duk_uarridx_t>(kept_++));
  duk_pop_2(ctx);
}

void JScriptRun::returnValue(automation::Variant v) {
  returned_.kind = NativeReturn::Kind::Value;
  returned_.value = std::move(v);
}

void JScriptRun::returnMember(NativeReturn::Kind kind, std::size_t member) {
  returned_.kind = kind;
  returned_.member = member;
}

ScriptOutcome JScriptRun::run() {
  heap_.enter(*this);
  int rc = duk_pcall(thread_, 0);
  ScriptOutcome outcome = finish(rc);
  heap_.leave();
  return outcome;
}

bool JScriptRun::hasProcedure(TextView name) {
  std::string engineName = toEngineString(name);
  Lookup lookup{engineName.data(), engineName.size()};
  heap_.enter(*this);
  duk_safe_call(thread_, findProcedure, &lookup, 0, 1);
  duk_pop(thread_);
  heap_.leave();
  return lookup.found;
}

ScriptOutcome JScriptRun::call(TextView name) {
  std::string engineName = toEngineString(name);
  Lookup lookup{engineName.data(), engineName.size()};
  heap_.enter(*this);
  duk_safe_call(thread_, findProcedure, &lookup, 0, 1);
  ScriptOutcome outcome;
  if (lookup.found) {
    outcome = finish(duk_pcall(thread_, 0));
  } else {
    duk_pop(thread_);
  }
  heap_.leave();
  return outcome;
}

// After a pcall: the result or the error on top of the thread, popped here.
ScriptOutcome JScriptRun::finish(int rc) {
  ScriptOutcome outcome;
  if (ended_) {
    outcome = ScriptOutcome::ended();
  } else if (rc != DUK_EXEC_SUCCESS) {
    outcome = ScriptOutcome::failed(describeUncaught());
  }
  duk_pop(thread_);
  return outcome;
}

ScriptFailure JScriptRun::describeUncaught() {
  ThrownValue t = inspectThrown(thread_);
  int line = t.line > 0 ? t.line : lastThrowLine_;
  if (site_.pastDeadline()) {
    return {hr::kFail, u"JScript runtime", u"script timed out", program_.locate(line)};
  }
  // A number of 0 is JScript's "no number": a plain Error the page made.
  bool numbered = t.hasNumber && t.number != 0;
  auto code = numbered ? static_cast<automation::HRESULT>(static_cast<std::int64_t>(t.number))
                       : errorNumberForName(t.name);
  Text category = t.source.empty() ? Text(u"JScript runtime") : fromEngineString(t.source);
  return {code, std::move(category), fromEngineString(t.description), program_.locate(line)};
}

}  // namespace host::jscript
