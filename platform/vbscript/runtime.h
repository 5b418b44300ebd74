// The state of one run: global cells, the slot stack that procedure frames live on, Err, and
// the dispatch loop (vm.cpp) that executes a procedure's code on a frame. Calls between
// script procedures recurse in C++; the depth is bounded by the native stack that is left,
// so that runaway recursion ends in "out of stack space" rather than a crash.
#pragma once

#include <memory>
#include <unordered_map>
#include <utility>

#include "code.h"

namespace vbscript {

class ScriptObject;

// A global name of a run: a variable (or constant, or named object) in `value`, or a
// procedure or class of one of the run's programs.
struct GlobalCell {
  Text name;
  Variant value;
  const Program* program = nullptr;
  int proc = -1;
  int cls = -1;
  bool constant = false;
};

struct Frame {
  const Program* program = nullptr;
  const Procedure* proc = nullptr;
  Variant* slots = nullptr;
  GlobalCell* const* links = nullptr;
  ScriptObject* me = nullptr;
  Frame* outer = nullptr;  // Execute/Eval inside a procedure: the procedure's frame
  Frame* caller = nullptr;
  bool resumeNext = false;
};

// Thrown to end a run that the host stopped; no On Error Resume Next catches it.
struct StopRun {
  bool timedOut = false;
};

// Whether v holds something shared: a text, an object, an array.
inline bool holdsReference(const Variant& v) {
  auto t = v.type();
  return t == automation::VarType::Text || t == automation::VarType::Object ||
         t == automation::VarType::VariantArray || t == automation::VarType::ByteArray;
}

// Lets go of what a dead slot holds, at once, so that objects end on time. A number may stay:
// every slot is written before it is read, except those of a new frame, which start empty.
inline void release(Variant& v) {
  if (holdsReference(v)) Variant old = std::exchange(v, Variant());
}

// Frames' slots, in chunks that never move, so a frame's slots stay put while deeper calls
// come and go. Every slot above the top is empty.
class SlotStack {
 public:
  // Where the top stands, to go back to when a frame ends.
  struct Mark {
    std::size_t chunk = 0;
    Variant* top = nullptr;
  };
  Mark mark() const { return {current_, top_}; }

  // n empty slots on top.
  Variant* push(std::size_t n);
  // A frame of n slots starting at `at`, the argument slots on top of the running frame, so
  // that arguments become parameters without being copied; slots from `at + given` up are
  // emptied first. nullptr when the chunk has no room for the frame there.
  Variant* pushOver(Variant* at, std::size_t given, std::size_t n);
  // Ends a frame, back to `m`: its slots from `from` to `to` are released, and those from
  // `fresh` (where the top stood when it began) are emptied.
  void pop(Mark m, Variant* from, Variant* fresh, Variant* to);

 private:
  struct Chunk {
    std::unique_ptr<Variant[]> data;
    std::size_t size = 0;
  };
  std::vector<Chunk> chunks_;
  std::size_t current_ = 0;
  Variant* top_ = nullptr;
  Variant* end_ = nullptr;
};

class Runtime : public std::enable_shared_from_this<Runtime> {
 public:
  Runtime(std::shared_ptr<const Program> program, Host& host, std::vector<NamedObject> objects);
  ~Runtime();
  void start();  // once owned by a shared_ptr: makes Err

  // Runs the main program's global code. Throws AutomationError or StopRun.
  void runMain();
  // Releases the globals (Class_Terminate runs) and detaches from the host.
  void shutdown();

  // Calls a procedure with `args` as its parameters (ByRef ones are written back into them).
  // `onTop`: the arguments are the top slots of the running frame, nothing live above them,
  // and the callee's frame starts on them.
  Variant callProcedure(const Program& program, int proc, automation::Args args, ScriptObject* me,
                        Frame* outer = nullptr, bool onTop = false);
  Variant callMember(ScriptObject& object, int member, InvokeMode mode, automation::Args args,
                     bool onTop = false);
  ObjectRef newObject(const Program& program, int cls);

  GlobalCell* findGlobal(TextView name);
  GlobalCell& globalCell(const Text& name);

  // Err
  struct ErrState {
    std::int32_t number = 0;
    Text description;
    Text source;
    Text helpFile;
    std::int32_t helpContext = 0;
  };
  ErrState err;
  void setErr(const automation::AutomationError& e);
  void clearErr() { err = ErrState(); }
  ObjectRef errObject();

  // For the built-ins.
  Host* host() const { return host_; }
  Frame* currentFrame() const { return current_; }
  void execute(const Text& code, bool global);
  Variant eval(const Text& expression);
  ObjectRef procedureRef(TextView name);
  float rnd(bool next, bool repeat, std::optional<double> reseed);
  void randomize(std::optional<double> seed);

  // Where the error now travelling up the frames happened.
  Origin takeErrorOrigin() {
    errorNoted_ = false;
    return errorOrigin_;
  }
  const std::shared_ptr<const Program>& mainProgram() const { return main_; }

 private:
  friend class Interpreter;
  GlobalCell* const* link(const Program& program);
  // While a chunk of Execute or Eval runs; afterwards its links are dropped (the chunk itself
  // goes with its last owner), unless `chunk` is null because the run keeps it.
  struct ChunkUse {
    Runtime& rt;
    const Program* chunk;
    ~ChunkUse();
  };
  Variant run(Frame& f);
  void poll();
  void pollSometimes() {
    if (--pollBudget_ <= 0) poll();
  }
  void enterCall();
  void noteError(const Frame& f, int pc);

  std::shared_ptr<const Program> main_;
  Host* host_;
  std::unordered_map<Text, std::unique_ptr<GlobalCell>> globals_;
  std::vector<GlobalCell*> globalOrder_;
  std::size_t namedObjects_ = 0;  // the first cells hold the host's objects
  std::vector<std::shared_ptr<const Program>> chunks_;
  std::unordered_map<const Program*, std::vector<GlobalCell*>> links_;
  const Program* linkedProgram_ = nullptr;  // the last program linked, and its cells
  GlobalCell* const* linkedCells_ = nullptr;
  SlotStack stack_;
  Frame* current_ = nullptr;
  ObjectRef errObject_;
  int depth_ = 0;
  int pollBudget_ = 0;
  Origin errorOrigin_;
  bool errorNoted_ = false;
  std::uint32_t rndState_ = 0x50000;
  float rndLast_ = 0;
};

}  // namespace vbscript
