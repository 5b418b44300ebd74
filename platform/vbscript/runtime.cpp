// The run's state outside the dispatch loop: global cells and the linking of programs to
// them, procedure calls and their frames, members of script objects, Err, Execute and Eval.
#include <utility>

#include "runtime.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "compiler.h"
#include "elements.h"
#include "errors.h"
#include "lexer.h"
#include "operators.h"
#include "parser.h"
#include "script_object.h"
#include "stack_guard.h"

namespace vbscript {

namespace {

constexpr int kMaxDepth = 100000;
constexpr int kPollEvery = 4096;
// A page's first chunk of slots is small (most pages need a few dozen, and a run starts with
// none); each further chunk doubles, so deep recursion still takes few chunks.
constexpr std::size_t kFirstChunk = 256;
constexpr std::size_t kLargestChunk = 16384;

Text key(TextView name) { return automation::lower(name); }

}  // namespace

Variant* SlotStack::push(std::size_t n) {
  if (static_cast<std::size_t>(end_ - top_) < n) {
    if (top_) ++current_;
    if (current_ == chunks_.size()) chunks_.emplace_back();
    Chunk& c = chunks_[current_];
    if (c.size < n) {
      std::size_t grown =
          current_ == 0 ? kFirstChunk : std::min(chunks_[current_ - 1].size * 2, kLargestChunk);
      c.size = std::max(n, grown);
      c.data = std::make_unique<Variant[]>(c.size);
    }
    top_ = c.data.get();
    end_ = top_ + c.size;
  }
  Variant* p = top_;
  top_ += n;
  return p;
}

Variant* SlotStack::pushOver(Variant* at, std::size_t given, std::size_t n) {
  if (static_cast<std::size_t>(end_ - at) < n) return nullptr;
  Variant* frameEnd = at + n;
  // Dead temporaries of the caller may lie between the arguments and the top.
  for (Variant* v = at + given; v < top_ && v < frameEnd; ++v) {
    if (!v->isEmpty()) Variant old = std::exchange(*v, Variant());
  }
  if (frameEnd > top_) top_ = frameEnd;
  return at;
}

void SlotStack::pop(Mark m, Variant* from, Variant* fresh, Variant* to) {
  for (Variant* v = from; v < fresh; ++v) release(*v);
  for (Variant* v = fresh; v < to; ++v) {
    if (!v->isEmpty()) Variant old = std::exchange(*v, Variant());
  }
  current_ = m.chunk;
  top_ = m.top;
  end_ = top_ ? chunks_[current_].data.get() + chunks_[current_].size : nullptr;
}

Runtime::Runtime(std::shared_ptr<const Program> program, Host& host,
                 std::vector<NamedObject> objects)
    : main_(std::move(program)), host_(&host) {
  for (auto& o : objects) globalCell(o.name).value = Variant(std::move(o.object));
  namedObjects_ = globalOrder_.size();
}

void Runtime::start() {
  GlobalCell& e = globalCell(u"Err");
  e.value = Variant(errObject());
  e.constant = true;
  link(*main_);
}

Runtime::~Runtime() = default;

GlobalCell* Runtime::findGlobal(TextView name) {
  auto it = globals_.find(key(name));
  return it == globals_.end() ? nullptr : it->second.get();
}

GlobalCell& Runtime::globalCell(const Text& name) {
  Text k = key(name);
  auto it = globals_.find(k);
  if (it != globals_.end()) return *it->second;
  auto cell = std::make_unique<GlobalCell>();
  cell->name = name;
  GlobalCell* p = cell.get();
  globals_.emplace(std::move(k), std::move(cell));
  globalOrder_.push_back(p);
  return *p;
}

// Binds each global name of a program to the run's cell of that name; declarations of the
// program (procedures, classes, constants) are entered into their cells.
GlobalCell* const* Runtime::link(const Program& program) {
  auto it = links_.find(&program);
  if (it != links_.end()) return it->second.data();
  std::vector<GlobalCell*> cells;
  cells.reserve(program.globals.size());
  for (const GlobalName& g : program.globals) {
    GlobalCell& c = globalCell(g.name);
    switch (g.kind) {
      case GlobalName::Kind::Procedure:
        c.program = &program;
        c.proc = g.index;
        break;
      case GlobalName::Kind::Class:
        c.program = &program;
        c.cls = g.index;
        break;
      case GlobalName::Kind::Constant:
        c.value = g.value;
        c.constant = true;
        break;
      default:
        break;
    }
    cells.push_back(&c);
  }
  return links_.emplace(&program, std::move(cells)).first->second.data();
}

void Runtime::runMain() { callProcedure(*main_, 0, automation::Args(), nullptr); }

void Runtime::shutdown() {
  // Globals are released in the order they came into being, so Class_Terminate runs in a
  // predictable order; the cells stay, in case a terminating object looks at them.
  // The host's objects go last: a Class_Terminate may still write to Response.
  for (bool hostObjects : {false, true}) {
    for (std::size_t i = 0; i < globalOrder_.size(); ++i) {
      GlobalCell* c = globalOrder_[i];
      if (c->name == u"Err" || (i < namedObjects_) != hostObjects) continue;
      Variant old = std::move(c->value);
      c->value = Variant();
    }
  }
  host_ = nullptr;
}

void Runtime::enterCall() {
  if (depth_ >= kMaxDepth || stackNearlyExhausted()) raise(err::kOutOfStack);
}

void Runtime::poll() {
  pollBudget_ = kPollEvery;
  if (!host_) return;
  switch (host_->poll()) {
    case Host::Poll::Continue:
      return;
    case Host::Poll::End:
      throw StopRun{false};
    case Host::Poll::Timeout:
      throw StopRun{true};
  }
}

Variant Runtime::callProcedure(const Program& program, int index, automation::Args args,
                               ScriptObject* me, Frame* outer, bool onTop) {
  const Procedure& p = program.procs[index];
  if (static_cast<int>(args.size()) != p.params()) raise(err::kWrongArgs, p.name);
  enterCall();
  pollSometimes();
  const auto size = static_cast<std::size_t>(p.slots);
  SlotStack::Mark mark = stack_.mark();
  Variant* slots = onTop ? stack_.pushOver(args.data(), args.size(), size) : nullptr;
  bool copied = !slots;
  Variant* fresh;
  if (copied) {
    slots = stack_.push(size);
    fresh = slots;
    for (std::size_t i = 0; i < args.size(); ++i) slots[i] = std::move(args[i]);
  } else {
    fresh = std::max(slots + args.size(), mark.top);
  }
  Frame f;
  f.program = &program;
  f.proc = &p;
  f.slots = slots;
  if (&program != linkedProgram_) {
    linkedProgram_ = &program;
    linkedCells_ = link(program);
  }
  f.links = linkedCells_;
  f.me = me;
  f.outer = outer;
  f.caller = current_;
  ++depth_;
  current_ = &f;
  // However the call ends: ByRef parameters go back into the arguments (they are the same
  // slots when the frame was laid over them), the rest of the frame is released.
  struct Leave {
    Runtime& rt;
    Frame& f;
    automation::Args args;
    SlotStack::Mark mark;
    Variant* fresh;
    bool copied;
    ~Leave() {
      std::size_t kept = args.size();
      if (copied) {
        for (std::size_t i = 0; i < kept; ++i) {
          if (f.proc->byRef[i]) args[i] = std::move(f.slots[i]);
        }
        kept = 0;
      }
      rt.current_ = f.caller;
      --rt.depth_;
      rt.stack_.pop(mark, f.slots + kept, std::max(fresh, f.slots + kept), f.slots + f.proc->slots);
    }
  } leave{*this, f, args, mark, fresh, copied};
  run(f);
  return p.resultSlot >= 0 ? std::move(slots[p.resultSlot]) : Variant();
}

namespace {

// Releasing an object releases what its fields hold, which may release further objects: a
// linked list of a million nodes would recurse a million times. Past a modest depth the
// releases queue up, and the outermost one works through them.
struct ReleaseInTurn {
  static constexpr int kMaxNested = 64;
  void operator()(ScriptObject* object) const {
    thread_local int nested = 0;
    thread_local std::vector<ScriptObject*> queued;
    if (nested >= kMaxNested) {
      queued.push_back(object);
      return;
    }
    ++nested;
    delete object;
    if (nested == 1) {
      while (!queued.empty()) {
        ScriptObject* next = queued.back();
        queued.pop_back();
        delete next;
      }
    }
    --nested;
  }
};

}  // namespace

ObjectRef Runtime::newObject(const Program& program, int cls) {
  std::shared_ptr<ScriptObject> object(new ScriptObject(shared_from_this(), program, cls),
                                       ReleaseInTurn{});
  object->initialize();
  return object;
}

// A member of a script object, called from inside or outside its class. `args` holds the
// index arguments, then (for Put and PutRef) the assigned value.
Variant Runtime::callMember(ScriptObject& o, int index, InvokeMode mode, automation::Args args,
                            bool onTop) {
  const ClassDef& cls = o.classDef();
  const ClassMember& m = cls.members[index];
  const Program& program = o.program();
  if (m.field >= 0) {
    Variant& field = o.fields[m.field];
    if (mode == InvokeMode::Get) {
      if (args.empty()) return field;
      return elementOf(field, args);
    }
    const Variant& value = args.back();
    automation::Args indexes = args.first(args.size() - 1);
    if (mode == InvokeMode::PutRef && !value.isObject()) raise(err::kObjectRequired);
    Variant v = mode == InvokeMode::PutRef ? value : valueOf(value);
    if (indexes.empty()) {
      Variant old = std::exchange(field, std::move(v));
    } else {
      assignElement(field, indexes, std::move(v));
    }
    return {};
  }
  int proc = mode == InvokeMode::Get   ? (m.get >= 0 ? m.get : m.sub)
             : mode == InvokeMode::Put ? (m.let >= 0 ? m.let : m.set)
                                       : (m.set >= 0 ? m.set : m.let);
  if (proc < 0) raise(err::kNoSuchMember, m.name);
  return callProcedure(program, proc, args, &o, nullptr, onTop);
}

void Runtime::setErr(const automation::AutomationError& e) {
  err.number = errNumberOf(e.code());
  err.description = e.description();
  err.source = e.source();
}

ObjectRef Runtime::errObject() {
  if (!errObject_) errObject_ = makeErrObject(weak_from_this(), this);
  return errObject_;
}

void Runtime::noteError(const Frame& f, int pc) {
  if (errorNoted_) return;
  errorNoted_ = true;
  errorOrigin_ = f.proc->origins[static_cast<std::size_t>(pc)];
}

namespace {

// The scope Execute and Eval compile against and run in: the locals of the running procedure
// (or, inside an Execute chunk, of the procedure that ran it) and Me.
struct LocalScope {
  OuterScope names;
  Frame* frame = nullptr;
  ScriptObject* me = nullptr;
  const OuterScope* outer() const { return frame || me ? &names : nullptr; }
};

LocalScope localScopeOf(Frame* at) {
  LocalScope s;
  if (!at) return s;
  s.frame = at->proc != &at->program->procs[0] ? at : at->outer;
  if (s.frame) s.names.proc = s.frame->proc;
  s.me = at->me;
  if (s.me) s.names.cls = &s.me->classDef();
  return s;
}

// Compiles script text handed over at run time; its compilation errors are runtime errors of
// the statement that handed it over.
template <class Compile>
std::shared_ptr<const Program> compileAtRunTime(const Text& code, Compile&& compile) {
  std::vector<Piece> pieces{Piece{Piece::Kind::Code, code, 0, {}}};
  try {
    return compile(tokenize(pieces));
  } catch (const CompileError& e) {
    throw automation::AutomationError(hresultOf(e.error().number), kCompileSource,
                                      e.error().description);
  }
}

}  // namespace

// Execute and ExecuteGlobal: the text is compiled on the spot. Inside a procedure, Execute
// sees the procedure's variables; ExecuteGlobal always runs at the global level.
void Runtime::execute(const Text& code, bool global) {
  LocalScope scope = global ? LocalScope() : localScopeOf(current_);
  auto chunk = compileAtRunTime(code, [&](std::vector<Token> tokens) {
    return compileScript(parse(std::move(tokens)), {}, scope.outer());
  });
  // A chunk that declares procedures or classes stays for as long as the run: its code is
  // what they run. Any other is done with once it ran.
  bool declares = chunk->procs.size() > 1 || !chunk->classes.empty();
  if (declares) chunks_.push_back(chunk);
  ChunkUse use{*this, declares ? nullptr : chunk.get()};
  callProcedure(*chunk, 0, automation::Args(), scope.me, scope.frame);
}

Variant Runtime::eval(const Text& expression) {
  LocalScope scope = localScopeOf(current_);
  auto chunk = compileAtRunTime(expression, [&](std::vector<Token> tokens) {
    return compileExpression(parseExpression(std::move(tokens)), {}, scope.outer());
  });
  ChunkUse use{*this, chunk.get()};
  return callProcedure(*chunk, 0, automation::Args(), scope.me, scope.frame);
}

Runtime::ChunkUse::~ChunkUse() {
  if (!chunk) return;
  rt.links_.erase(chunk);
  if (rt.linkedProgram_ == chunk) rt.linkedProgram_ = nullptr;
}

ObjectRef Runtime::procedureRef(TextView name) {
  GlobalCell* c = findGlobal(name);
  if (!c || c->proc < 0) raise(err::kInvalidCall);
  return makeProcedureRef(shared_from_this(), *c->program, c->proc);
}

void Runtime::randomize(std::optional<double> seed) {
  // Randomize mixes the seed into the middle bytes of the state, as the runtime does; without
  // a seed, the timer serves.
  double s = seed ? *seed
                  : static_cast<double>(
                        std::chrono::steady_clock::now().time_since_epoch().count() % 86400000) /
                        1000.0;
  float f = static_cast<float>(s);
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  bits = ((bits & 0xFFFF) ^ (bits >> 16)) << 8;
  rndState_ = (rndState_ & 0xFF0000FFu) | bits;
}

// Rnd: the runtime's 24-bit linear congruential generator.
float Runtime::rnd(bool next, bool repeat, std::optional<double> reseed) {
  if (repeat) return rndLast_;
  if (reseed) {
    float f = static_cast<float>(*reseed);
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    rndState_ = (bits + (bits >> 24)) & 0xFFFFFF;
  }
  if (next || reseed) rndState_ = (rndState_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFF;
  rndLast_ = static_cast<float>(rndState_) / 16777216.0f;
  return rndLast_;
}

}  // namespace vbscript
