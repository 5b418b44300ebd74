// One Duktape heap per thread. The heap holds the engine's built-ins, the page library
// (Enumerator, VBArray, getVarDate, the JScript Error) and the natives every page shares; each
// run of a page gets a fresh global object in front of them. Runs nest (Server.Execute runs a
// page from inside a native of another), so the heap keeps a stack of them: natives and the
// execution-timeout check always belong to the innermost.
#pragma once

#include <cstdint>
#include <vector>

struct duk_hthread;
typedef struct duk_hthread duk_context;

namespace host::jscript {

class JScriptProgram;
class JScriptRun;

class DuktapeHeap {
 public:
  DuktapeHeap();
  ~DuktapeHeap();
  DuktapeHeap(const DuktapeHeap&) = delete;
  DuktapeHeap& operator=(const DuktapeHeap&) = delete;

  // The heap of the calling thread, created on first use.
  static DuktapeHeap& forThisThread();
  static DuktapeHeap& of(duk_context* ctx);

  duk_context* context() const { return ctx_; }
  // The innermost run; nullptr between pages.
  JScriptRun* current() const { return runs_.empty() ? nullptr : runs_.back(); }
  void enter(JScriptRun& run) { runs_.push_back(&run); }
  void leave() { runs_.pop_back(); }
  // A number no other run of this heap has had: wrappers carry it, so that a wrapper left behind
  // by one page (on the heap's shared global object) never reaches another page's objects.
  std::uint32_t nextSerial() { return ++serial_; }
  // Called when a run ends: collects the garbage the runs left, now and then.
  void runEnded();
  // Pushes onto `thread` (of this heap) a function that runs `program` in the thread's global
  // environment. The bytecode is loaded the first time only; every call makes a closure of its
  // own, so nothing one run declares reaches another.
  void pushProgram(duk_context* thread, const JScriptProgram& program);

 private:
  static constexpr int kRunsPerCollection = 64;
  // Loaded programs kept; beyond it they are all dropped (pages compiled again leave theirs).
  static constexpr int kMaxPrograms = 512;

  duk_context* ctx_;
  std::vector<JScriptRun*> runs_;
  std::uint32_t serial_ = 0;
  int runsSinceCollection_ = 0;
  int programsLoaded_ = 0;
};

}  // namespace host::jscript
