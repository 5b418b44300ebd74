// The script runtime: one Duktape heap per worker thread, a fresh global object and environment
// for every page (the engine's built-ins are shared by the pages of a heap), and a deadline
// after which the engine's execution-timeout check stops the script.
// Compiled pages are kept as bytecode, shared by every heap.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "automation/error.h"
#include "automation/variant.h"
#include "page_compiler.h"

struct duk_hthread;
typedef struct duk_hthread duk_context;

namespace host {

using Clock = std::chrono::steady_clock;

// What the page's own natives ($$text, $$write) do; the page runner implements it.
class PageOutput {
 public:
  virtual ~PageOutput() = default;
  virtual void writeChunk(std::size_t index) = 0;
  virtual void writeValue(const automation::Variant& value) = 0;
};

// An uncaught error of a page script.
struct ScriptError {
  automation::HRESULT code = 0;
  Text description;
  int scriptLine = 0;  // 0 when the engine gave no line
};

// A compiled page: the script and, once a heap has compiled it, its bytecode.
class Program {
 public:
  explicit Program(CompiledSource source) : source_(std::move(source)) {}
  const CompiledSource& source() const { return source_; }
  std::string bytecode() const;
  void setBytecode(std::string bytes) const;

 private:
  CompiledSource source_;
  mutable std::mutex mutex_;
  mutable std::string bytecode_;
};

using Globals = std::vector<std::pair<std::string, automation::ObjectRef>>;

class ScriptHeap {
 public:
  ScriptHeap();
  ~ScriptHeap();
  ScriptHeap(const ScriptHeap&) = delete;
  ScriptHeap& operator=(const ScriptHeap&) = delete;

  // The heap of the calling thread, created on first use.
  static ScriptHeap& forThisThread();

  // Runs `program` with `globals` until it completes, fails, ends the response or passes the
  // deadline. Returns the uncaught error; none for a page that completed or ended itself.
  std::optional<ScriptError> run(const Program& program, const Globals& globals, PageOutput& output,
                                 Clock::time_point deadline);

  // For the natives of the running page.
  static ScriptHeap& of(duk_context* ctx);
  PageOutput& output() { return *output_; }
  // Response.End or Redirect: the script stops at once, and its end is no error.
  void endPage();
  bool stopped() const { return ended_ || Clock::now() > deadline_; }
  bool pastDeadline() const { return Clock::now() > deadline_; }
  void noteThrow(int line) { lastThrowLine_ = line; }

 private:
  bool load(duk_context* thread, const Program& program, std::optional<ScriptError>& error);

  static constexpr int kPagesPerCollection = 16;

  duk_context* ctx_;
  int pagesSinceCollection_ = 0;
  int lastThrowLine_ = 0;  // where the last value was thrown: names the line of a non-Error
  PageOutput* output_ = nullptr;
  bool ended_ = false;
  Clock::time_point deadline_ = Clock::time_point::max();
};

}  // namespace host
