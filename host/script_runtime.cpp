#include "script_runtime.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "duktape.h"
#include "object_wrapper.h"
#include "script_text.h"

// The engine's execution-timeout check (see host/CMakeLists.txt): true once the page that the
// heap runs has passed its deadline or ended its response.
extern "C" int host_check(void* udata) {
  return udata && static_cast<host::ScriptHeap*>(udata)->stopped() ? 1 : 0;
}

namespace host {
namespace hr = automation::hr;

std::string Program::bytecode() const {
  std::lock_guard lock(mutex_);
  return bytecode_;
}

void Program::setBytecode(std::string bytes) const {
  std::lock_guard lock(mutex_);
  if (bytecode_.empty()) bytecode_ = std::move(bytes);
}

namespace {

void fatal(void*, const char* message) {
  std::fprintf(stderr, "balance-host: script engine failure: %s\n", message ? message : "");
  std::abort();
}

int writeChunk(duk_context* ctx) {
  ScriptHeap::of(ctx).output().writeChunk(duk_get_uint(ctx, 0));
  return 0;
}

int writeValue(duk_context* ctx) {
  ScriptHeap::of(ctx).output().writeValue(defaultValue(toVariant(ctx, 0)));
  return 0;
}

template <NativeBody Body>
duk_ret_t native(duk_context* ctx) {
  return callGuarded(ctx, Body);
}

// Duktape.errThrow sees every thrown value, Error or not; it passes the value on unchanged.
duk_ret_t noteThrow(duk_context* ctx) {
  ScriptHeap::of(ctx).noteThrow(callerLine(ctx));
  return 1;
}

// What an uncaught value tells, read in a safe call: its getters may throw.
struct Uncaught {
  bool hasNumber = false;
  double number = 0;
  std::string description;
  std::string name;
  int line = 0;
};

void readString(duk_context* ctx, const char* key, std::string& out) {
  if (duk_get_prop_string(ctx, -1, key) && duk_is_string(ctx, -1)) out = duk_get_string(ctx, -1);
  duk_pop(ctx);
}

duk_ret_t inspectUncaught(duk_context* ctx, void* udata) {
  auto* u = static_cast<Uncaught*>(udata);
  if (!duk_is_object(ctx, -1)) {
    u->description = duk_safe_to_string(ctx, -1);
    return 0;
  }
  if (duk_get_prop_string(ctx, -1, "number") && duk_is_number(ctx, -1)) {
    u->hasNumber = true;
    u->number = duk_get_number(ctx, -1);
  }
  duk_pop(ctx);
  readString(ctx, "description", u->description);
  if (u->description.empty()) readString(ctx, "message", u->description);
  readString(ctx, "name", u->name);
  duk_get_prop_string(ctx, -1, "lineNumber");
  u->line = duk_get_int(ctx, -1);
  duk_pop(ctx);
  return 0;
}

// Script errors without a number get the numbers the classic script engine uses.
automation::HRESULT numberForName(const std::string& name) {
  if (name == "SyntaxError") return static_cast<automation::HRESULT>(0x800A03EA);
  if (name == "ReferenceError") return static_cast<automation::HRESULT>(0x800A1391);
  if (name == "TypeError") return static_cast<automation::HRESULT>(0x800A01B6);
  return static_cast<automation::HRESULT>(0x800A139E);  // exception thrown and not caught
}

// The error value on top of `ctx`.
ScriptError describeUncaught(duk_context* ctx) {
  Uncaught u;
  duk_dup_top(ctx);
  duk_safe_call(ctx, inspectUncaught, &u, 1, 1);
  duk_pop(ctx);
  ScriptError e;
  e.code = u.hasNumber ? static_cast<automation::HRESULT>(static_cast<std::int64_t>(u.number))
                       : numberForName(u.name);
  e.description = fromEngineString(u.description);
  e.scriptLine = u.line;
  return e;
}

thread_local std::unique_ptr<ScriptHeap> threadHeap;

}  // namespace

ScriptHeap::ScriptHeap() : ctx_(duk_create_heap(nullptr, nullptr, nullptr, this, fatal)) {
  if (!ctx_) throw std::bad_alloc();
  installObjectWrappers(ctx_);
  duk_get_global_string(ctx_, "Duktape");
  duk_push_c_function(ctx_, host::noteThrow, 1);
  duk_put_prop_string(ctx_, -2, "errThrow");
  duk_pop(ctx_);
}

ScriptHeap::~ScriptHeap() { duk_destroy_heap(ctx_); }

ScriptHeap& ScriptHeap::forThisThread() {
  if (!threadHeap) threadHeap = std::make_unique<ScriptHeap>();
  return *threadHeap;
}

ScriptHeap& ScriptHeap::of(duk_context* ctx) {
  duk_memory_functions functions;
  duk_get_memory_functions(ctx, &functions);
  return *static_cast<ScriptHeap*>(functions.udata);
}

void ScriptHeap::endPage() {
  ended_ = true;
  deadline_ = Clock::time_point::min();
}

bool ScriptHeap::load(duk_context* thread, const Program& program,
                      std::optional<ScriptError>& error) {
  std::string bytecode = program.bytecode();
  if (!bytecode.empty()) {
    void* p = duk_push_fixed_buffer(thread, bytecode.size());
    std::memcpy(p, bytecode.data(), bytecode.size());
    duk_load_function(thread);
    return true;
  }
  const CompiledSource& source = program.source();
  std::string script = toEngineString(source.script);
  duk_push_string(thread, source.files.empty() ? "page" : source.files[0].c_str());
  if (duk_pcompile_lstring_filename(thread, 0, script.data(), script.size()) != 0) {
    error = describeUncaught(thread);
    duk_pop(thread);
    return false;
  }
  duk_dup_top(thread);
  duk_dump_function(thread);
  duk_size_t size = 0;
  const char* bytes = static_cast<const char*>(duk_get_buffer(thread, -1, &size));
  program.setBytecode(std::string(bytes, size));
  duk_pop(thread);
  return true;
}

std::optional<ScriptError> ScriptHeap::run(const Program& program, const Globals& globals,
                                           PageOutput& output, Clock::time_point deadline) {
  output_ = &output;
  ended_ = false;
  lastThrowLine_ = 0;
  deadline_ = deadline;
  // A fresh global object and environment for the page, inheriting from the heap's own global
  // object: what the page declares or assigns dies with it, while the engine's built-in
  // objects are made once per heap rather than once per request.
  duk_push_thread(ctx_);
  duk_context* thread = duk_get_context(ctx_, -1);
  duk_push_object(thread);
  duk_push_global_object(thread);
  duk_set_prototype(thread, -2);
  duk_set_global_object(thread);
  duk_push_c_function(thread, native<writeChunk>, 1);
  duk_put_global_string(thread, "$$text");
  duk_push_c_function(thread, native<writeValue>, 1);
  duk_put_global_string(thread, "$$write");
  for (const auto& [name, object] : globals) {
    pushObject(thread, object);
    duk_put_global_string(thread, name.c_str());
  }
  std::optional<ScriptError> error;
  if (load(thread, program, error)) {
    if (duk_pcall(thread, 0) != DUK_EXEC_SUCCESS && !ended_) {
      error = describeUncaught(thread);
      if (error->scriptLine == 0) error->scriptLine = lastThrowLine_;
      if (pastDeadline()) *error = ScriptError{hr::kFail, u"script timed out", error->scriptLine};
    }
    duk_pop(thread);
  }
  duk_pop(ctx_);
  // Each page leaves a global environment behind, whose cycles only a full collection frees,
  // together with the wrappers (and so the objects) the page still held. A failed page may
  // hold a database connection: its objects go at once.
  if (++pagesSinceCollection_ >= kPagesPerCollection || error) {
    duk_gc(ctx_, 0);
    pagesSinceCollection_ = 0;
  }
  output_ = nullptr;
  deadline_ = Clock::time_point::max();
  return error;
}

}  // namespace host
