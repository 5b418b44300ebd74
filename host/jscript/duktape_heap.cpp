// The heap of a thread: created with the page library, the execution-timeout check wired to the
// innermost run, and an occasional collection of what finished runs left behind.
#include "duktape_heap.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "duktape.h"
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

}  // namespace host::jscript
