// The heap of a thread: created with the page library, the execution-timeout check wired to the
// innermost run, and an occasional collection of what finished runs left behind.
#include "duktape_heap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "duktape.h"
#include "duktape_closure.h"
#include "heap_keys.h"
#include "jscript_engine.h"
#include "jscript_run.h"
#include "page_library.h"

// The engine's execution-timeout check (see host/CMakeLists.txt): true once the innermost run of
// the heap has passed its deadline or ended its response.
extern "C" int host_check(void* udata) {
  if (!udata) return 0;
  auto* run = static_cast<host::jscript::DuktapeHeap*>(udata)->current();
  return run && run->stopped() ? 1 : 0;
}

namespace host::jscript {

namespace {

void fatal(void*, const char* message) {
  std::fprintf(stderr, "balance-host: script engine failure: %s\n", message ? message : "");
  std::abort();
}

thread_local std::unique_ptr<DuktapeHeap> threadHeap;

}  // namespace

DuktapeHeap::DuktapeHeap() : ctx_(duk_create_heap(nullptr, nullptr, nullptr, this, fatal)) {
  if (!ctx_) throw std::bad_alloc();
  installPageLibrary(ctx_);
  duk_push_heap_stash(ctx_);
  duk_push_bare_object(ctx_);
  duk_put_prop_string(ctx_, -2, keys::kPrograms);
  duk_pop(ctx_);
}

DuktapeHeap::~DuktapeHeap() { duk_destroy_heap(ctx_); }

DuktapeHeap& DuktapeHeap::forThisThread() {
  if (!threadHeap) threadHeap = std::make_unique<DuktapeHeap>();
  return *threadHeap;
}

DuktapeHeap& DuktapeHeap::of(duk_context* ctx) {
  duk_memory_functions functions;
  duk_get_memory_functions(ctx, &functions);
  return *static_cast<DuktapeHeap*>(functions.udata);
}

void DuktapeHeap::runEnded() {
  // Runs leave their global environments behind, whose cycles only a full collection frees;
  // the host's objects are released already, so this is about the heap's own memory.
  if (runs_.empty() && ++runsSinceCollection_ >= kRunsPerCollection) {
    duk_gc(ctx_, 0);
    runsSinceCollection_ = 0;
  }
}

void DuktapeHeap::pushProgram(duk_context* thread, const JScriptProgram& program) {
  duk_push_heap_stash(ctx_);
  duk_get_prop_string(ctx_, -1, keys::kPrograms);
  if (!duk_get_prop_index(ctx_, -1, program.id())) {
    duk_pop(ctx_);
    if (++programsLoaded_ > kMaxPrograms) {
      duk_pop(ctx_);
      duk_push_bare_object(ctx_);
      duk_dup_top(ctx_);
      duk_put_prop_string(ctx_, -3, keys::kPrograms);
      programsLoaded_ = 1;
    }
    const std::string& bytecode = program.bytecode();
    void* p = duk_push_fixed_buffer(ctx_, bytecode.size());
    std::memcpy(p, bytecode.data(), bytecode.size());
    duk_load_function(ctx_);
    duk_dup_top(ctx_);
    duk_put_prop_index(ctx_, -3, program.id());
  }
  duk_xmove_top(thread, ctx_, 1);
  duk_pop_2(ctx_);
  host_push_global_closure(thread, -1);
  duk_remove(thread, -2);
}

}  // namespace host::jscript
