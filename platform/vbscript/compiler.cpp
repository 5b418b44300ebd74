// The compiler walks the syntax tree once per procedure and emits register code: operands are
// slots, constants, global cells or fields, so expressions over variables need no loads. It
// also records, per instruction, the source line and where On Error Resume Next goes on.
#include "compiler.h"

#include <unordered_map>
#include <unordered_set>

#include "builtins.h"
#include "errors.h"
#include "script_object.h"
#include "stack_guard.h"

namespace vbscript {

namespace {

using K = Expr::Kind;
using SK = Stmt::Kind;
using automation::lower;

struct Resolved {
  enum class Kind { Local, Global, Field, Outer, Const, Proc, Method, Class, Builtin, Dynamic };
  Kind kind = Kind::Dynamic;
  int index = 0;
  Variant value;
  bool isVariable() const {
    return kind == Kind::Local || kind == Kind::Global || kind == Kind::Field ||
           kind == Kind::Outer;
  }
  std::int32_t operand() const {
    switch (kind) {
      case Kind::Local:
        return ref::kLocal | index;
      case Kind::Global:
        return ref::kGlobal | index;
      case Kind::Field:
        return ref::kField | index;
      case Kind::Outer:
        return ref::kOuter | index;
      default:
        return -1;
    }
  }
};

struct Loop {
  bool isFor;
  std::vector<int> exits;
};

struct ProcCtx {
  Procedure* proc = nullptr;
  const ProcDecl* decl = nullptr;
  const ClassDef* cls = nullptr;
  bool globalCode = false;
  std::unordered_map<Text, int> locals;
  std::unordered_map<Text, Variant> consts;
  std::unordered_set<Text> fixedArrays;
  int next = 0;
  std::vector<int> withSlots;
  std::vector<Loop> loops;
  std::vector<int> exitProc;
  Origin origin;
};

class Compiler {
 public:
  Compiler(Program& p, const CompileOptions& o, const OuterScope* outer)
      : p_(p), opts_(o), outer_(outer) {}

  void script(Script& s) {
    p_.optionExplicit = s.optionExplicit;
    p_.procs.resize(1);
    p_.procs[0].name = u"(global)";
    declareGlobals(s);
    ProcCtx g;
    g.proc = &p_.procs[0];
    g.globalCode = true;
    ctx_ = &g;
    emitFixedArrays(s.body, true);
    block(s.body);
    finish();
    for (std::size_t i = 0; i < s.procs.size(); ++i) procedure(s.procs[i], procIndex_[i], nullptr);
    for (std::size_t c = 0; c < s.classes.size(); ++c) classBody(s.classes[c], static_cast<int>(c));
  }

  void expressionProgram(ExprPtr e) {
    p_.procs.resize(1);
    p_.procs[0].name = u"(eval)";
    ProcCtx g;
    g.proc = &p_.procs[0];
    g.globalCode = true;
    ctx_ = &g;
    int result = temp();  // slot 0, returned as the function's result
    g.proc->resultSlot = result;
    ctx_->origin = e->origin;
    int start = pc();
    exprInto(*e, result, Assign::Raw);
    markResume(start, pc());
    finish();
  }

 private:
  enum class Assign { Raw, Let, Set };

  // ---- declarations
  void declareGlobals(Script& s) {
    for (std::size_t c = 0; c < s.classes.size(); ++c) {
      ClassDef def;
      def.name = s.classes[c].name;
      p_.classes.push_back(std::move(def));
      addGlobal(s.classes[c].name, GlobalName::Kind::Class, static_cast<int>(c),
                s.classes[c].origin);
    }
    for (auto& pd : s.procs) {
      int index = static_cast<int>(p_.procs.size());
      p_.procs.emplace_back();
      // Callers compiled before the procedure need to know which arguments go by reference.
      for (const Param& prm : pd.params) p_.procs.back().byRef.push_back(prm.byRef);
      p_.procs.back().kind = pd.kind;  // a Sub called as a statement leaves no result to drop
      procIndex_.push_back(index);
      addGlobal(pd.name, GlobalName::Kind::Procedure, index, pd.origin);
    }
    for (auto& c : s.classes) {
      classProcStart_.push_back(static_cast<int>(p_.procs.size()));
      p_.procs.resize(p_.procs.size() + c.procs.size());
    }
    for (const Text& h : opts_.hostNames) {
      if (!globalIndex_.count(lower(h))) addGlobal(h, GlobalName::Kind::Host, -1, {});
    }
    declareIn(s.body, s.optionExplicit);
  }

  void addGlobal(const Text& name, GlobalName::Kind kind, int index, Origin origin,
                 Variant value = {}) {
    Text key = lower(name);
    if (globalIndex_.count(key)) {
      GlobalName& g = p_.globals[globalIndex_[key]];
      if (g.kind == GlobalName::Kind::Host || g.kind == GlobalName::Kind::Implicit) {
        g.kind = kind;
        g.index = index;
        g.value = std::move(value);
        return;
      }
      compileError(1041, origin);
    }
    globalIndex_[key] = static_cast<int>(p_.globals.size());
    p_.globals.push_back({name, kind, index, std::move(value)});
  }

  // Dim and Const anywhere in the global code declare globals; without Option Explicit every
  // name the global code assigns is an (implicit) global as well.
  void declareIn(const Block& b, bool optionExplicit) {
    for (const auto& st : b) {
      switch (st->kind) {
        case SK::Dim:
          for (auto& item : st->items)
            addGlobal(item.name, GlobalName::Kind::Variable, -1, item.origin);
          break;
        case SK::Const:
          for (std::size_t i = 0; i < st->items.size(); ++i) {
            addGlobal(st->items[i].name, GlobalName::Kind::Constant, -1, st->items[i].origin,
                      constantOf(*st->values[i]));
          }
          break;
        default:
          if (!optionExplicit)
            implicitTargets(*st, [&](const Text& n) {
              if (!globalIndex_.count(lower(n)) && !isKnownElsewhere(n)) {
                addGlobal(n, GlobalName::Kind::Implicit, -1, st->origin);
              }
            });
          break;
      }
      for (const auto& inner : st->blocks) declareIn(inner, optionExplicit);
      for (const auto& c : st->cases) declareIn(c.body, optionExplicit);
      declareIn(st->body, optionExplicit);
    }
  }

  bool isKnownElsewhere(const Text& n) {
    if (outer_ && outer_->proc) {
      for (const Text& l : outer_->proc->localNames) {
        if (automation::equalsIgnoreCase(l, n)) return true;
      }
    }
    if (outer_ && outer_->cls && outer_->cls->find(n)) return true;
    return findBuiltin(n) >= 0 || findConstant(n).has_value();
  }

  template <class F>
  static void implicitTargets(const Stmt& st, F&& f) {
    auto target = [&](const Expr* e) {
      if (!e) return;
      if (e->kind == K::Name) f(e->name);
      if (e->kind == K::Call && e->lhs && e->lhs->kind == K::Name && st.kind != SK::Call) {
        f(e->lhs->name);
      }
    };
    switch (st.kind) {
      case SK::Assign:
      case SK::Set:
        target(st.target.get());
        break;
      case SK::For:
      case SK::ForEach:
        f(st.name);
        break;
      case SK::ReDim:
        for (auto& i : st.items) f(i.name);
        break;
      default:
        break;
    }
  }

  Variant constantOf(const Expr& e) {
    switch (e.kind) {
      case K::Const:
        return e.value;
      case K::Nothing:
        return Variant(automation::ObjectRef());
      case K::Paren:
        return constantOf(*e.lhs);
      case K::Unary: {
        Variant v = constantOf(*e.lhs);
        if (e.uop == UnOp::Plus) return v;
        if (v.type() == automation::VarType::I2) {
          int n = -static_cast<int>(std::get<std::int16_t>(v.storage()));
          return n > INT16_MAX ? Variant(static_cast<std::int32_t>(n))
                               : Variant(static_cast<std::int16_t>(n));
        }
        if (v.type() == automation::VarType::I4) {
          long long n = -static_cast<long long>(std::get<std::int32_t>(v.storage()));
          return n > INT32_MAX ? Variant(static_cast<double>(n))
                               : Variant(static_cast<std::int32_t>(n));
        }
        return Variant(-automation::toDouble(v));
      }
      default:
        compileError(1045, e.origin);
    }
  }

  [[noreturn]] void compileError(int number, Origin o) {
    throw CompileError(ScriptError{number, Text(errorText(number)), kCompileSource, o});
  }

  // ---- procedures and classes
  void procedure(const ProcDecl& d, int index, const ClassDef* cls) {
    Procedure& pr = p_.procs[index];
    pr.name = d.name;
    pr.kind = d.kind;
    pr.isPublic = d.isPublic;
    pr.byRef.clear();
    ProcCtx c;
    c.proc = &pr;
    c.decl = &d;
    c.cls = cls;
    ProcCtx* saved = ctx_;
    ctx_ = &c;
    for (const Param& prm : d.params) {
      Text key = lower(prm.name);
      if (c.locals.count(key)) compileError(1041, d.origin);
      c.locals[key] = c.next++;
      if (prm.byRef && pr.byRef.size() < 64) pr.byRefMask |= std::uint64_t{1} << pr.byRef.size();
      pr.byRef.push_back(prm.byRef);
      pr.localNames.push_back(prm.name);
    }
    if (d.kind == ProcDecl::Kind::Function || d.kind == ProcDecl::Kind::PropertyGet) {
      pr.resultSlot = c.next++;
      pr.localNames.push_back(d.name);
    }
    declareLocals(d.body);
    if (!p_.optionExplicit) implicitLocals(d.body);
    emitFixedArrays(d.body, false);
    block(d.body);
    finish();
    ctx_ = saved;
  }

  void declareLocals(const Block& b) {
    for (const auto& st : b) {
      if (st->kind == SK::Dim) {
        for (auto& item : st->items) declareLocal(item.name, item.origin);
      } else if (st->kind == SK::Const) {
        for (std::size_t i = 0; i < st->items.size(); ++i) {
          Text key = lower(st->items[i].name);
          if (ctx_->consts.count(key) || ctx_->locals.count(key)) compileError(1041, st->origin);
          ctx_->consts[key] = constantOf(*st->values[i]);
        }
      }
      for (const auto& inner : st->blocks) declareLocals(inner);
      for (const auto& c : st->cases) declareLocals(c.body);
      declareLocals(st->body);
    }
  }

  void declareLocal(const Text& name, Origin o) {
    Text key = lower(name);
    if (ctx_->locals.count(key)) {
      // A Dim of the function's own name or a parameter is VBScript's "Name redefined".
      compileError(1041, o);
    }
    ctx_->locals[key] = ctx_->next++;
    ctx_->proc->localNames.push_back(name);
  }

  void implicitLocals(const Block& b) {
    for (const auto& st : b) {
      implicitTargets(*st, [&](const Text& n) {
        Text key = lower(n);
        if (ctx_->locals.count(key) || ctx_->consts.count(key)) return;
        if (ctx_->cls && ctx_->cls->find(n)) return;
        if (globalIndex_.count(key) || isKnownElsewhere(n)) return;
        ctx_->locals[key] = ctx_->next++;
        ctx_->proc->localNames.push_back(n);
      });
      for (const auto& inner : st->blocks) implicitLocals(inner);
      for (const auto& c : st->cases) implicitLocals(c.body);
      implicitLocals(st->body);
    }
  }

  // Fixed-size arrays (Dim a(3)) exist from the start of their scope.
  void emitFixedArrays(const Block& b, bool global) {
    for (const auto& st : b) {
      if (st->kind == SK::Dim) {
        for (const auto& item : st->items) {
          if (item.bounds.empty()) {
            if (item.isArray) {  // Dim a(): an array without elements until ReDim
              emit({Op::ReDim, 0, 0, 0, resolve(item.name).operand(), 0}, item.origin);
            }
            continue;
          }
          ctx_->fixedArrays.insert(lower(item.name));
          ctx_->origin = item.origin;
          Resolved r = resolve(item.name);
          redim(r.operand(), item.bounds, false);
        }
      }
      for (const auto& inner : st->blocks) emitFixedArrays(inner, global);
      for (const auto& c : st->cases) emitFixedArrays(c.body, global);
      emitFixedArrays(st->body, global);
    }
  }

  void classBody(const ClassDecl& cd, int ci) {
    ClassDef& def = p_.classes[ci];
    for (std::size_t f = 0; f < cd.fields.size(); ++f) {
      const DimItem& item = cd.fields[f];
      if (def.find(item.name)) compileError(1041, item.origin);
      ClassMember m;
      m.name = item.name;
      m.field = static_cast<int>(def.fields.size());
      m.isPublic = cd.fieldPublic[f];
      def.fields.push_back(item.name);
      def.members.push_back(m);
      if (item.isArray) {
        DimItem copy;
        copy.name = item.name;
        copy.isArray = true;
        copy.origin = item.origin;
        for (const auto& b : item.bounds) {
          auto e = std::make_unique<Expr>();
          e->kind = K::Const;
          e->value = constantOf(*b);
          copy.bounds.push_back(std::move(e));
        }
        def.fieldArrays.push_back(std::move(copy));
      }
    }
    const int firstProc = classProcStart_[ci];
    for (std::size_t i = 0; i < cd.procs.size(); ++i) {
      const ProcDecl& pd = cd.procs[i];
      int index = firstProc + static_cast<int>(i);
      ClassMember* m = nullptr;
      for (auto& existing : def.members) {
        if (automation::equalsIgnoreCase(existing.name, pd.name)) m = &existing;
      }
      if (!m) {
        def.members.push_back({pd.name});
        m = &def.members.back();
        m->isPublic = pd.isPublic;
      }
      int* slot = nullptr;
      switch (pd.kind) {
        case ProcDecl::Kind::Sub:
          slot = &m->sub;
          break;
        case ProcDecl::Kind::Function:
        case ProcDecl::Kind::PropertyGet:
          slot = &m->get;
          break;
        case ProcDecl::Kind::PropertyLet:
          slot = &m->let;
          break;
        case ProcDecl::Kind::PropertySet:
          slot = &m->set;
          break;
      }
      if (*slot >= 0 || m->field >= 0) compileError(1041, pd.origin);
      if ((pd.kind == ProcDecl::Kind::PropertyLet || pd.kind == ProcDecl::Kind::PropertySet) &&
          pd.params.empty()) {
        compileError(1054, pd.origin);
      }
      *slot = index;
      if (pd.isDefault) {
        if (pd.kind == ProcDecl::Kind::PropertyLet || pd.kind == ProcDecl::Kind::PropertySet) {
          compileError(1058, pd.origin);
        }
        if (def.defaultMember >= 0) compileError(1052, pd.origin);
        def.defaultMember = static_cast<int>(m - def.members.data());
      }
      bool initialize = automation::equalsIgnoreCase(pd.name, u"Class_Initialize");
      bool terminate = automation::equalsIgnoreCase(pd.name, u"Class_Terminate");
      if ((initialize || terminate) && pd.kind == ProcDecl::Kind::Sub) {
        if (!pd.params.empty()) compileError(1053, pd.origin);
        (initialize ? def.initialize : def.terminate) = index;
      }
    }
    for (std::size_t i = 0; i < cd.procs.size(); ++i)
      procedure(cd.procs[i], firstProc + static_cast<int>(i), &def);
  }

  // ---- emitting
  int pc() const { return static_cast<int>(ctx_->proc->code.size()); }

  int emit(Instr i, Origin o) {
    ctx_->proc->code.push_back(i);
    ctx_->proc->origins.push_back(o);
    ctx_->proc->resume.push_back(-1);
    return pc() - 1;
  }
  int emit(Instr i) { return emit(i, ctx_->origin); }

  void patch(int at, int target) { ctx_->proc->code[at].a = target; }

  // Instructions in [from, to) that no inner statement claimed go on at `to` after an error.
  void markResume(int from, int to, int target = -1) {
    auto& r = ctx_->proc->resume;
    for (int i = from; i < to; ++i) {
      if (r[i] < 0) r[i] = target < 0 ? to : target;
    }
  }

  int temp() {
    int t = ctx_->next++;
    if (ctx_->next > ctx_->proc->slots) ctx_->proc->slots = ctx_->next;
    return t;
  }

  void finish() {
    for (int at : ctx_->exitProc) patch(at, pc());
    emit({Op::Return});
    markResume(0, pc(), pc() - 1);
    if (ctx_->next > ctx_->proc->slots) ctx_->proc->slots = ctx_->next;
  }

  std::int32_t constant(const Variant& v) {
    for (std::size_t i = 0; i < p_.constants.size(); ++i) {
      const Variant& c = p_.constants[i];
      bool same = c.isText() && v.isText() ? c.text() == v.text() : c.storage() == v.storage();
      if (same) return ref::kConst | static_cast<std::int32_t>(i);
    }
    p_.constants.push_back(v);
    return ref::kConst | static_cast<std::int32_t>(p_.constants.size() - 1);
  }

  std::int32_t nameConstant(const Text& name) { return constant(Variant(name)); }

  // ---- names
  // `asCall`: the name is called with parentheses, where the running function's own name
  // means the function again, not the variable holding its result.
  Resolved resolve(const Text& name, bool asCall = false) {
    Text key = lower(name);
    Resolved r;
    if (auto it = ctx_->locals.find(key); it != ctx_->locals.end()) {
      r.kind = Resolved::Kind::Local;
      r.index = it->second;
      return r;
    }
    if (auto it = ctx_->consts.find(key); it != ctx_->consts.end()) {
      r.kind = Resolved::Kind::Const;
      r.value = it->second;
      return r;
    }
    if (ctx_->globalCode && outer_ && outer_->proc) {
      const auto& names = outer_->proc->localNames;
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (asCall && static_cast<int>(i) == outer_->proc->resultSlot) break;
        if (automation::equalsIgnoreCase(names[i], name)) {
          r.kind = Resolved::Kind::Outer;
          r.index = static_cast<int>(i);
          return r;
        }
      }
    }
    const ClassDef* cls = ctx_->cls ? ctx_->cls : (outer_ ? outer_->cls : nullptr);
    if (cls) {
      if (const ClassMember* m = cls->find(name)) {
        if (m->field >= 0) {
          r.kind = Resolved::Kind::Field;
          r.index = m->field;
        } else {
          r.kind = Resolved::Kind::Method;
          r.index = static_cast<int>(m - cls->members.data());
        }
        return r;
      }
    }
    if (auto it = globalIndex_.find(key); it != globalIndex_.end()) {
      const GlobalName& g = p_.globals[it->second];
      switch (g.kind) {
        case GlobalName::Kind::Constant:
          r.kind = Resolved::Kind::Const;
          r.value = g.value;
          return r;
        case GlobalName::Kind::Procedure:
          r.kind = Resolved::Kind::Proc;
          r.index = g.index;
          return r;
        case GlobalName::Kind::Class:
          r.kind = Resolved::Kind::Class;
          r.index = g.index;
          return r;
        default:
          r.kind = Resolved::Kind::Global;
          r.index = it->second;
          return r;
      }
    }
    if (int b = findBuiltin(name); b >= 0) {
      r.kind = Resolved::Kind::Builtin;
      r.index = b;
      return r;
    }
    if (auto c = findConstant(name)) {
      r.kind = Resolved::Kind::Const;
      r.value = *c;
      return r;
    }
    return r;  // Dynamic: looked up by name when it runs
  }

  // ---- statements
  void block(const Block& b) {
    for (const auto& st : b) statement(*st);
  }

  void statement(const Stmt& st) {
    if (stackNearlyExhausted()) compileError(err::kOutOfStack, st.origin);
    ctx_->origin = st.origin;
    int start = pc();
    int mark = ctx_->next;
    switch (st.kind) {
      case SK::Call:
        callStatement(*st.target);
        break;
      case SK::Assign:
        assignment(*st.target, *st.value, false);
        break;
      case SK::Set:
        assignment(*st.target, *st.value, true);
        break;
      case SK::Dim:
      case SK::Const:
      case SK::OptionExplicit:
        break;
      case SK::ReDim:
        for (const auto& item : st.items) {
          if (ctx_->fixedArrays.count(lower(item.name))) {
            emit({Op::Raise, 0, 0, err::kFixedArray, 0, nameConstant(item.name)}, item.origin);
            continue;
          }
          redim(variableOperand(item.name, item.origin), item.bounds, st.preserve);
        }
        break;
      case SK::Erase:
        emit({Op::Erase, 0,
              static_cast<std::uint8_t>(ctx_->fixedArrays.count(lower(st.name)) ? 1 : 0), 0,
              variableOperand(st.name, st.origin)});
        break;
      case SK::If:
        ifStatement(st);
        break;
      case SK::Select:
        selectStatement(st);
        break;
      case SK::For:
        forStatement(st);
        break;
      case SK::ForEach:
        forEachStatement(st);
        break;
      case SK::Do:
        doStatement(st);
        break;
      case SK::Exit:
        exitStatement(st);
        break;
      case SK::With:
        withStatement(st);
        break;
      case SK::OnError:
        emit({Op::OnError, static_cast<std::uint8_t>(st.resumeNext ? 1 : 0)});
        break;
      case SK::Literal:
        emit({Op::WriteLiteral, 0, 0, st.literal});
        break;
      case SK::Write:
        emit({Op::WriteValue, 0, 0, 0, operand(*st.value)});
        break;
    }
    ctx_->next = mark;
    markResume(start, pc());
  }

  // The operand of a variable being assigned; under Option Explicit an undeclared name
  // raises "variable is undefined" when the statement runs.
  std::int32_t variableOperand(const Text& name, Origin o) {
    Resolved r = resolve(name);
    if (r.isVariable()) return r.operand();
    if (r.kind == Resolved::Kind::Dynamic && p_.optionExplicit) {
      emit({Op::Raise, 0, 0, err::kUndefined, 0, nameConstant(name)}, o);
      return ref::kLocal | temp();
    }
    if (r.kind == Resolved::Kind::Dynamic) {  // Execute code assigning a name it does not know
      int g = static_cast<int>(p_.globals.size());
      globalIndex_[lower(name)] = g;
      p_.globals.push_back({name, GlobalName::Kind::Implicit, -1, {}});
      return ref::kGlobal | g;
    }
    compileError(err::kIllegalAssignment, o);
  }

  void redim(std::int32_t target, const std::vector<ExprPtr>& bounds, bool preserve) {
    int base = ctx_->next;
    for (const auto& b : bounds) exprInto(*b, temp(), Assign::Let);
    emit({Op::ReDim, static_cast<std::uint8_t>(bounds.size()), static_cast<std::uint8_t>(preserve),
          0, target, base});
    ctx_->next = base;
  }

  void assignment(const Expr& target, const Expr& value, bool isSet) {
    Assign mode = isSet ? Assign::Set : Assign::Let;
    switch (target.kind) {
      case K::Name: {
        if (ctx_->decl && automation::equalsIgnoreCase(target.name, ctx_->decl->name) &&
            ctx_->proc->resultSlot >= 0) {
          exprInto(value, ctx_->proc->resultSlot, mode);
          return;
        }
        Resolved r = resolve(target.name);
        if (r.kind == Resolved::Kind::Method) {  // a property of Me assigned inside its class
          int base = ctx_->next;
          exprInto(value, temp(), isSet ? Assign::Raw : Assign::Let);
          emit({Op::CallMethod, 0,
                static_cast<std::uint8_t>(isSet ? InvokeMode::PutRef : InvokeMode::Put),
                ref::kLocal | temp(), base, r.index});
          return;
        }
        std::int32_t dst = variableOperand(target.name, target.origin);
        if (mode == Assign::Let && !isSet && tryAppend(dst, target, value)) return;
        exprInto(value, dst, mode);
        return;
      }
      case K::Member: {
        int base = ctx_->next;
        int obj = temp();
        objectInto(target, obj);
        exprInto(value, temp(), isSet ? Assign::Raw : Assign::Let);
        emit({Op::Invoke, 0,
              static_cast<std::uint8_t>(isSet ? InvokeMode::PutRef : InvokeMode::Put),
              ref::kLocal | temp(), base, nameConstant(target.name)});
        return;
      }
      case K::Call: {
        const Expr& callee = *target.lhs;
        if (callee.kind == K::Member) {
          int base = ctx_->next;
          int obj = temp();
          objectInto(callee, obj);
          std::vector<std::pair<int, std::int32_t>> refs;
          arguments(target.args, nullptr, refs);
          exprInto(value, temp(), isSet ? Assign::Raw : Assign::Let);
          emit({Op::Invoke, static_cast<std::uint8_t>(target.args.size()),
                static_cast<std::uint8_t>(isSet ? InvokeMode::PutRef : InvokeMode::Put),
                ref::kLocal | temp(), base, nameConstant(callee.name)});
          return;
        }
        std::int32_t container;
        if (callee.kind == K::Name) {
          Resolved r = resolve(callee.name);
          if (r.kind == Resolved::Kind::Method) {
            int base = ctx_->next;
            std::vector<std::pair<int, std::int32_t>> refs;
            arguments(target.args, nullptr, refs);
            exprInto(value, temp(), isSet ? Assign::Raw : Assign::Let);
            emit({Op::CallMethod, static_cast<std::uint8_t>(target.args.size()),
                  static_cast<std::uint8_t>(isSet ? InvokeMode::PutRef : InvokeMode::Put),
                  ref::kLocal | temp(), base, r.index});
            return;
          }
          container = r.isVariable() ? r.operand() : variableOperand(callee.name, callee.origin);
        } else {
          int t = temp();
          exprInto(callee, t, Assign::Raw);
          container = ref::kLocal | t;
        }
        int base = ctx_->next;
        if (target.args.size() == 1 && !isSet && target.args[0]->kind != K::Missing) {
          // The index is taken before the value is worked out, as the general form does.
          const Expr& i = *target.args[0];
          std::int32_t index = mayRunCode(value) ? valueInTemp(i) : operand(i);
          emit({Op::SetElement, 0, 0, operand(value), container, index});
          return;
        }
        for (const auto& a : target.args) exprInto(*a, temp(), Assign::Let);
        exprInto(value, temp(), isSet ? Assign::Raw : Assign::Let);
        emit({Op::SetIndex, static_cast<std::uint8_t>(target.args.size()),
              static_cast<std::uint8_t>(isSet), 0, container, base});
        return;
      }
      default:
        compileError(err::kIllegalAssignment, target.origin);
    }
  }

  // s = s & a & b ...: append to s in place instead of copying it once per turn, so that
  // building a text in a loop stays linear. The old value is snapshotted first and the append
  // happens only if nothing changed s meanwhile, which keeps VBScript's order of evaluation.
  bool tryAppend(std::int32_t dst, const Expr& target, const Expr& value) {
    std::vector<const Expr*> parts;
    const Expr* e = &value;
    while (e->kind == K::Binary && e->op == BinOp::Concat) {
      parts.push_back(e->rhs.get());
      e = e->lhs.get();
    }
    if (parts.empty() || e->kind != K::Name ||
        !automation::equalsIgnoreCase(e->name, target.name)) {
      return false;
    }
    if (parts.size() > 200) return false;
    int snapshot = temp();
    emit({Op::Copy, 0, 0, ref::kLocal | snapshot, dst});
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) exprInto(**it, temp(), Assign::Raw);
    emit({Op::AppendTo, 0, 0, dst, snapshot, static_cast<std::int32_t>(parts.size())});
    return true;
  }

  void callStatement(const Expr& target) {
    int base = ctx_->next;
    int dst = temp();
    if (target.kind == K::Call) {
      call(target, ref::kLocal | dst);
    } else if (target.kind == K::Name) {
      nameValue(target, dst, true);
    } else if (target.kind == K::Member) {
      memberCall(target, nullptr, ref::kLocal | dst);
    } else {
      compileError(1024, target.origin);
    }
    // A result nobody takes is let go of at once (an object returned ends here).
    if (!callsSub(target)) emit({Op::Copy, 0, 0, ref::kLocal | dst, constant(Variant())});
    ctx_->next = base;
  }

  bool callsSub(const Expr& target) {
    const Expr& callee = target.kind == K::Call ? *target.lhs : target;
    if (callee.kind != K::Name) return false;
    Resolved r = resolve(callee.name, true);
    return r.kind == Resolved::Kind::Proc && p_.procs[r.index].kind == ProcDecl::Kind::Sub;
  }

  void ifStatement(const Stmt& st) {
    std::vector<int> toEnd;
    for (std::size_t i = 0; i < st.conds.size(); ++i) {
      int condStart = pc();
      std::int32_t c = operand(*st.conds[i]);
      int jf = emit({Op::JumpIfFalse, 0, 0, 0, c}, st.conds[i]->origin);
      // An error in the condition goes on inside the block, as VBScript does.
      markResume(condStart, pc(), pc());
      block(st.blocks[i]);
      if (i + 1 < st.blocks.size()) toEnd.push_back(emit({Op::Jump}));
      patch(jf, pc());
    }
    if (st.blocks.size() > st.conds.size()) block(st.blocks.back());
    for (int j : toEnd) patch(j, pc());
  }

  void selectStatement(const Stmt& st) {
    int subject = temp();
    exprInto(*st.value, subject, Assign::Let);
    bool literalSubject = st.value->kind == K::Const;
    std::vector<int> toEnd;
    for (const auto& c : st.cases) {
      ctx_->origin = c.origin;
      int mark = ctx_->next;
      if (c.tests.empty()) {
        block(c.body);
        break;
      }
      std::vector<int> toBody;
      for (const auto& t : c.tests) {
        int testStart = pc();
        int r = temp();
        if (t.upper) {
          int lo = temp();
          compare(BinOp::Ge, ref::kLocal | subject, literalSubject, *t.value, lo);
          int skip = emit({Op::JumpIfFalse, 0, 0, 0, ref::kLocal | lo});
          compare(BinOp::Le, ref::kLocal | subject, literalSubject, *t.upper, r);
          toBody.push_back(emit({Op::JumpIfTrue, 0, 0, 0, ref::kLocal | r}));
          patch(skip, pc());
        } else {
          compare(t.isOp, ref::kLocal | subject, literalSubject, *t.value, r);
          toBody.push_back(emit({Op::JumpIfTrue, 0, 0, 0, ref::kLocal | r}));
        }
        markResume(testStart, pc());
      }
      int toNext = emit({Op::Jump});
      for (int j : toBody) patch(j, pc());
      ctx_->next = mark;
      block(c.body);
      toEnd.push_back(emit({Op::Jump}));
      patch(toNext, pc());
    }
    for (int j : toEnd) patch(j, pc());
  }

  void compare(BinOp op, std::int32_t subject, bool literalSubject, const Expr& value, int dst) {
    std::int32_t v = operand(value);
    std::uint8_t lit = static_cast<std::uint8_t>((literalSubject ? kLiteralB : 0) |
                                                 (value.kind == K::Const ? kLiteralC : 0));
    emit({Op::Binary, static_cast<std::uint8_t>(op), lit, ref::kLocal | dst, subject, v});
  }

  void forStatement(const Stmt& st) {
    std::int32_t var = loopVariable(st.name, st.origin);
    int bounds = temp();
    temp();
    exprInto(*st.value, var, Assign::Let);
    exprInto(*st.upper, bounds, Assign::Let);
    if (st.step)
      exprInto(*st.step, bounds + 1, Assign::Let);
    else
      emit({Op::Copy, 0, 0, ref::kLocal | (bounds + 1), constant(Variant(std::int16_t{1}))});
    int prep = emit({Op::ForPrep, 0, 0, var, bounds});
    int bodyStart = pc();
    ctx_->loops.push_back({true, {}});
    block(st.body);
    emit({Op::ForStep, 0, 0, var, bounds, bodyStart});
    for (int j : ctx_->loops.back().exits) patch(j, pc());
    ctx_->loops.pop_back();
    ctx_->proc->code[prep].c = pc();
  }

  std::int32_t loopVariable(const Text& name, Origin o) {
    Resolved r = resolve(name);
    if (r.isVariable()) return r.operand();
    if (r.kind == Resolved::Kind::Dynamic) return variableOperand(name, o);
    compileError(1040, o);
  }

  void forEachStatement(const Stmt& st) {
    std::int32_t var = loopVariable(st.name, st.origin);
    int items = temp();
    temp();
    exprInto(*st.value, items, Assign::Raw);
    int prep = emit({Op::EachPrep, 0, 0, 0, items});
    int top = emit({Op::EachNext, 0, 0, var, items});
    ctx_->loops.push_back({true, {}});
    block(st.body);
    emit({Op::Jump, 0, 0, top});
    int end = pc();
    ctx_->proc->code[prep].c = end;
    ctx_->proc->code[top].c = end;
    for (int j : ctx_->loops.back().exits) patch(j, end);
    ctx_->loops.pop_back();
    // The items stay alive until the loop ends; clear them there.
    emit({Op::Copy, 0, 0, ref::kLocal | items, constant(Variant())});
  }

  void doStatement(const Stmt& st) {
    int top = pc();
    int exitJump = -1;
    ctx_->loops.push_back({false, {}});
    if (st.value && st.condAtTop) {
      int condStart = pc();
      std::int32_t c = operand(*st.value);
      exitJump = emit({st.until ? Op::JumpIfTrue : Op::JumpIfFalse, 0, 0, 0, c});
      markResume(condStart, pc(), pc());
    }
    int mark = ctx_->next;
    block(st.body);
    ctx_->next = mark;
    if (st.value && !st.condAtTop) {
      int condStart = pc();
      std::int32_t c = operand(*st.value);
      emit({st.until ? Op::JumpIfFalse : Op::JumpIfTrue, 0, 0, top, c});
      markResume(condStart, pc());
    } else {
      emit({Op::Jump, 0, 0, top});
    }
    if (exitJump >= 0) patch(exitJump, pc());
    for (int j : ctx_->loops.back().exits) patch(j, pc());
    ctx_->loops.pop_back();
  }

  void exitStatement(const Stmt& st) {
    switch (st.exitWhat) {
      case Kw::For:
      case Kw::Do: {
        bool isFor = st.exitWhat == Kw::For;
        for (auto it = ctx_->loops.rbegin(); it != ctx_->loops.rend(); ++it) {
          if (it->isFor == isFor) {
            it->exits.push_back(emit({Op::Jump}));
            return;
          }
        }
        compileError(1039, st.origin);
      }
      default: {
        Kw want = Kw::Sub;
        if (ctx_->decl) {
          switch (ctx_->decl->kind) {
            case ProcDecl::Kind::Sub:
              want = Kw::Sub;
              break;
            case ProcDecl::Kind::Function:
              want = Kw::Function;
              break;
            default:
              want = Kw::Property;
              break;
          }
        }
        if (!ctx_->decl || want != st.exitWhat) compileError(1039, st.origin);
        ctx_->exitProc.push_back(emit({Op::Jump}));
      }
    }
  }

  void withStatement(const Stmt& st) {
    int slot = temp();
    exprInto(*st.value, slot, Assign::Raw);
    ctx_->withSlots.push_back(slot);
    block(st.body);
    ctx_->withSlots.pop_back();
    emit({Op::Copy, 0, 0, ref::kLocal | slot, constant(Variant())});
  }

  // ---- expressions
  // Whether working out e may run script code (a call, a member, a property of Me, New)
  // that could change variables.
  bool mayRunCode(const Expr& e) {
    if (stackNearlyExhausted()) return true;
    switch (e.kind) {
      case K::Const:
      case K::Nothing:
      case K::Me:
      case K::Missing:
        return false;
      case K::Name: {
        Resolved r = resolve(e.name);
        return !r.isVariable() && r.kind != Resolved::Kind::Const;
      }
      case K::Unary:
      case K::Paren:
        return mayRunCode(*e.lhs);
      case K::Binary:
        return mayRunCode(*e.lhs) || mayRunCode(*e.rhs);
      case K::Call: {
        // An element of an array variable: counted as data, though an object in the variable
        // would run its default member.
        if (e.lhs->kind != K::Name || !isElement(e) || mayRunCode(*e.args[0])) return true;
        Resolved r = resolve(e.lhs->name, true);
        return !r.isVariable();
      }
      default:
        return true;
    }
  }

  // `flag` when e's value is the result of a call, which lands in a temporary that may hold
  // an object: the operator lets go of it at once, so that the object can end.
  static std::uint8_t callResult(const Expr& e, std::uint8_t flag) {
    return e.kind == K::Call || e.kind == K::Member ? flag : 0;
  }

  // e's value in a new temporary, even when e is a variable.
  std::int32_t valueInTemp(const Expr& e) {
    int t = temp();
    exprInto(e, ref::kLocal | t, Assign::Raw);
    return ref::kLocal | t;
  }

  // The operand that holds e's value: a variable or constant as it is, else a new temporary.
  std::int32_t operand(const Expr& e) {
    switch (e.kind) {
      case K::Const:
        return constant(e.value);
      case K::Nothing:
        return constant(Variant(automation::ObjectRef()));
      case K::Name: {
        Resolved r = resolve(e.name);
        if (r.isVariable()) return r.operand();
        if (r.kind == Resolved::Kind::Const) return constant(r.value);
        break;
      }
      default:
        break;
    }
    int t = temp();
    exprInto(e, t, Assign::Raw);
    return ref::kLocal | t;
  }

  void exprInto(const Expr& e, std::int32_t dst, Assign mode) {
    if (stackNearlyExhausted()) compileError(err::kOutOfStack, e.origin);
    Op move = mode == Assign::Set ? Op::SetRef : mode == Assign::Let ? Op::Move : Op::Copy;
    switch (e.kind) {
      case K::Const:
        emit({move == Op::SetRef ? Op::SetRef : Op::Copy, 0, 0, dst, constant(e.value)}, e.origin);
        return;
      case K::Nothing:
        emit({move == Op::Move ? Op::Move : Op::Copy, 0, 0, dst,
              constant(Variant(automation::ObjectRef()))},
             e.origin);
        return;
      case K::Name: {
        Resolved r = resolve(e.name);
        if (r.isVariable()) {
          emit({move, 0, 0, dst, r.operand()}, e.origin);
          return;
        }
        if (r.kind == Resolved::Kind::Const) {
          emit({Op::Copy, 0, 0, dst, constant(r.value)}, e.origin);
          return;
        }
        int t = ctx_->next;
        int tmp = temp();
        nameValue(e, tmp, false);
        emit({move, 0, kFromTemp, dst, ref::kLocal | tmp}, e.origin);
        ctx_->next = t;
        return;
      }
      case K::Paren:
        exprInto(*e.lhs, dst, mode == Assign::Set ? Assign::Set : Assign::Let);
        return;
      case K::Unary: {
        int mark = ctx_->next;
        std::int32_t a = operand(*e.lhs);
        emit({Op::Unary, static_cast<std::uint8_t>(e.uop), callResult(*e.lhs, kReleaseB), dst, a},
             e.origin);
        ctx_->next = mark;
        if (mode == Assign::Set) emit({Op::SetRef, 0, 0, dst, dst}, e.origin);
        return;
      }
      case K::Binary: {
        int mark = ctx_->next;
        // Left to right: a variable on the left is read before a call on the right may
        // change it.
        std::int32_t a = mayRunCode(*e.rhs) ? valueInTemp(*e.lhs) : operand(*e.lhs);
        std::int32_t b = operand(*e.rhs);
        std::uint8_t flags = static_cast<std::uint8_t>(
            (e.lhs->kind == K::Const ? kLiteralB : 0) | (e.rhs->kind == K::Const ? kLiteralC : 0) |
            callResult(*e.lhs, kReleaseB) | callResult(*e.rhs, kReleaseC));
        emit({Op::Binary, static_cast<std::uint8_t>(e.op), flags, dst, a, b}, e.origin);
        ctx_->next = mark;
        if (mode == Assign::Set) emit({Op::SetRef, 0, 0, dst, dst}, e.origin);
        return;
      }
      case K::Me:
        if (!ctx_->cls && !(outer_ && outer_->cls)) compileError(1037, e.origin);
        emit({Op::Me, 0, 0, dst}, e.origin);
        return;
      case K::New: {
        Resolved r = resolve(e.name);
        if (r.kind == Resolved::Kind::Class)
          emit({Op::New, 0, 0, dst, 0, r.index}, e.origin);
        else
          emit({Op::NewName, 0, 0, dst, 0, nameConstant(e.name)}, e.origin);
        return;
      }
      case K::Missing:
        emit({Op::Copy, 0, 0, dst, constant(Variant::missing())}, e.origin);
        return;
      case K::Member:
      case K::Call: {
        int mark = ctx_->next;
        bool direct = mode == Assign::Raw && ref::tagOf(dst) == ref::kLocal;
        bool letDirect = mode == Assign::Let && storesLetResult(e);
        std::int32_t into = direct || letDirect ? dst : ref::kLocal | temp();
        if (e.kind == K::Member)
          memberCall(e, nullptr, into);
        else
          call(e, into, letDirect ? kLetResult : 0);
        if (!direct && !letDirect) emit({move, 0, kFromTemp, dst, into}, e.origin);
        ctx_->next = mark;
        return;
      }
    }
  }

  // Whether a Let of e's value may go straight into its variable: calls of procedures, of
  // methods of Me and of built-ins, and array elements store a Let result themselves.
  bool storesLetResult(const Expr& e) {
    if (e.kind != K::Call || e.lhs->kind != K::Name) return false;
    Resolved r = resolve(e.lhs->name, true);
    switch (r.kind) {
      case Resolved::Kind::Proc:
      case Resolved::Kind::Method:
      case Resolved::Kind::Builtin:
        return true;
      case Resolved::Kind::Const:
        return isElement(e);
      default:
        return r.isVariable() && isElement(e);
    }
  }

  static bool isElement(const Expr& e) {
    return e.args.size() == 1 && e.args[0]->kind != K::Missing;
  }

  // The object of a member access: the With object when the access starts with a dot.
  void objectInto(const Expr& member, int slot) {
    if (member.lhs) {
      exprInto(*member.lhs, ref::kLocal | slot, Assign::Raw);
    } else {
      if (ctx_->withSlots.empty()) compileError(505, member.origin);
      emit({Op::Copy, 0, 0, ref::kLocal | slot, ref::kLocal | ctx_->withSlots.back()},
           member.origin);
    }
  }

  // obj.name [args]: the result into slot `dst`.
  void memberCall(const Expr& member, const std::vector<ExprPtr>* args, std::int32_t dst) {
    int base = ctx_->next;
    int obj = temp();
    objectInto(member, obj);
    std::vector<std::pair<int, std::int32_t>> refs;
    if (args) arguments(*args, nullptr, refs);
    emit({Op::Invoke, static_cast<std::uint8_t>(args ? args->size() : 0),
          static_cast<std::uint8_t>(InvokeMode::Get), dst, base, nameConstant(member.name)},
         member.origin);
    writeBacks(refs, base + 1);
    ctx_->next = base;
  }

  // Evaluates arguments into consecutive temporaries. A variable passed where a parameter
  // may be ByRef is remembered, so that the call can write it back.
  void arguments(const std::vector<ExprPtr>& args, const Procedure* callee,
                 std::vector<std::pair<int, std::int32_t>>& refs) {
    for (std::size_t i = 0; i < args.size(); ++i) {
      const Expr& a = *args[i];
      int slot = temp();
      bool byRef = !callee || (i < callee->byRef.size() && callee->byRef[i]);
      if (a.kind == K::Name && byRef) {
        Resolved r = resolve(a.name);
        if (r.isVariable()) {
          // A local of this procedure lends its value for the call; nothing else can see it.
          bool lend = callee && r.kind == Resolved::Kind::Local && !mentionedElsewhere(args, i);
          emit({lend ? Op::Take : Op::Copy, 0, 0, ref::kLocal | slot, r.operand()}, a.origin);
          refs.emplace_back(static_cast<int>(i), r.operand());
          continue;
        }
      }
      exprInto(a, ref::kLocal | slot, Assign::Raw);
    }
  }

  static bool mentions(const Expr& e, const Text& name) {
    if (e.kind == K::Name && automation::equalsIgnoreCase(e.name, name)) return true;
    if (e.lhs && mentions(*e.lhs, name)) return true;
    if (e.rhs && mentions(*e.rhs, name)) return true;
    for (const auto& a : e.args) {
      if (mentions(*a, name)) return true;
    }
    return false;
  }

  static bool mentionedElsewhere(const std::vector<ExprPtr>& args, std::size_t i) {
    for (std::size_t k = 0; k < args.size(); ++k) {
      if (k != i && mentions(*args[k], args[i]->name)) return true;
    }
    return false;
  }

  void writeBacks(const std::vector<std::pair<int, std::int32_t>>& refs, int base) {
    for (auto& [i, var] : refs) emit({Op::WriteBack, 0, 0, base + i, var});
  }

  // A name used alone: a variable, constant, a call without arguments or a dynamic lookup.
  void nameValue(const Expr& e, int dst, bool asStatement) {
    Resolved r = resolve(e.name);
    switch (r.kind) {
      case Resolved::Kind::Proc: {
        const Procedure& callee = p_.procs[r.index];
        if (ctx_->decl && !asStatement && callee.resultSlot >= 0 &&
            automation::equalsIgnoreCase(e.name, ctx_->decl->name)) {
          emit({Op::Copy, 0, 0, ref::kLocal | dst, ref::kLocal | ctx_->proc->resultSlot}, e.origin);
          return;
        }
        emit({Op::CallProc, 0, 0, ref::kLocal | dst, ctx_->next, r.index}, e.origin);
        return;
      }
      case Resolved::Kind::Method:
        if (ctx_->decl && !asStatement && ctx_->proc->resultSlot >= 0 &&
            automation::equalsIgnoreCase(e.name, ctx_->decl->name)) {
          emit({Op::Copy, 0, 0, ref::kLocal | dst, ref::kLocal | ctx_->proc->resultSlot}, e.origin);
          return;
        }
        emit({Op::CallMethod, 0, static_cast<std::uint8_t>(InvokeMode::Get), ref::kLocal | dst,
              ctx_->next, r.index},
             e.origin);
        return;
      case Resolved::Kind::Builtin:
        if (argCountFits(r.index, 0, e)) {
          emit({Op::CallBuiltin, 0, 0, ref::kLocal | dst, ctx_->next, r.index}, e.origin);
        }
        return;
      case Resolved::Kind::Class:
        compileError(err::kIllegalAssignment, e.origin);
      case Resolved::Kind::Const:
        emit({Op::Copy, 0, 0, ref::kLocal | dst, constant(r.value)}, e.origin);
        return;
      case Resolved::Kind::Dynamic:
        emit({Op::CallName, 0, 0, ref::kLocal | dst, ctx_->next, nameConstant(e.name)}, e.origin);
        return;
      default:
        emit({Op::Copy, 0, 0, ref::kLocal | dst, r.operand()}, e.origin);
        return;
    }
  }

  // A built-in called with too few or too many arguments fails when the call runs, as
  // VBScript's own functions do (On Error Resume Next goes on after it).
  bool argCountFits(int builtin, std::size_t n, const Expr& call) {
    const Builtin& b = builtinAt(builtin);
    if (static_cast<int>(n) >= b.minArgs && static_cast<int>(n) <= b.maxArgs) return true;
    emit({Op::Raise, 0, 0, err::kWrongArgs, 0, nameConstant(b.name)}, call.origin);
    return false;
  }

  // callee(args): procedure, built-in, array element, default member or member call.
  // `let`: kLetResult when the result is assigned to `dst` with Let.
  void call(const Expr& e, std::int32_t dst, std::uint8_t let = 0) {
    const Expr& callee = *e.lhs;
    std::uint8_t argc = static_cast<std::uint8_t>(e.args.size());
    if (e.args.size() > 250) compileError(err::kWrongArgs, e.origin);
    if (callee.kind == K::Member) {
      memberCall(callee, &e.args, dst);
      return;
    }
    int base = ctx_->next;
    std::vector<std::pair<int, std::int32_t>> refs;
    if (callee.kind == K::Name) {
      Resolved r = resolve(callee.name, true);
      switch (r.kind) {
        case Resolved::Kind::Proc: {
          const Procedure& p = p_.procs[r.index];
          arguments(e.args, &p, refs);
          emit({Op::CallProc, argc, let, dst, base, r.index}, e.origin);
          writeBacks(refs, base);
          ctx_->next = base;
          return;
        }
        case Resolved::Kind::Method:
          arguments(e.args, nullptr, refs);
          emit({Op::CallMethod, argc,
                static_cast<std::uint8_t>(let | static_cast<int>(InvokeMode::Get)), dst, base,
                r.index},
               e.origin);
          writeBacks(refs, base);
          ctx_->next = base;
          return;
        case Resolved::Kind::Builtin:
          if (!argCountFits(r.index, e.args.size(), e)) return;
          for (const auto& a : e.args) exprInto(*a, temp(), Assign::Raw);
          emit({Op::CallBuiltin, argc, let, dst, base, r.index}, e.origin);
          ctx_->next = base;
          return;
        case Resolved::Kind::Dynamic:
          arguments(e.args, nullptr, refs);
          emit({Op::CallName, argc, 1, dst, base, nameConstant(callee.name)}, e.origin);
          writeBacks(refs, base);
          ctx_->next = base;
          return;
        case Resolved::Kind::Class:
          compileError(err::kIllegalAssignment, e.origin);
        default: {
          std::int32_t container =
              r.kind == Resolved::Kind::Const ? constant(r.value) : r.operand();
          if (isElement(e)) {
            std::int32_t index = operand(*e.args[0]);
            emit({Op::Element, 0, let, dst, container, index}, e.origin);
            ctx_->next = base;
            return;
          }
          arguments(e.args, nullptr, refs);
          emit({Op::Index, argc, 0, dst, container, base}, e.origin);
          writeBacks(refs, base);
          ctx_->next = base;
          return;
        }
      }
    }
    // (expression)(args): an element or default member of a computed value.
    int holder = temp();
    exprInto(callee, ref::kLocal | holder, Assign::Raw);
    int argBase = ctx_->next;
    arguments(e.args, nullptr, refs);
    emit({Op::Index, argc, 0, dst, ref::kLocal | holder, argBase}, e.origin);
    writeBacks(refs, argBase);
    ctx_->next = base;
  }

  Program& p_;
  const CompileOptions& opts_;
  const OuterScope* outer_;
  ProcCtx* ctx_ = nullptr;
  std::unordered_map<Text, int> globalIndex_;
  std::vector<int> procIndex_;
  std::vector<int> classProcStart_;
};

}  // namespace

const ClassMember* ClassDef::find(TextView name) const {
  for (const auto& m : members) {
    if (automation::equalsIgnoreCase(m.name, name)) return &m;
  }
  return nullptr;
}

std::shared_ptr<Program> compileScript(Script script, const CompileOptions& options,
                                       const OuterScope* outer) {
  auto p = std::make_shared<Program>();
  Compiler c(*p, options, outer);
  c.script(script);
  for (ClassDef& def : p->classes) buildTypeInfo(def, *p);
  return p;
}

std::shared_ptr<Program> compileExpression(ExprPtr expr, const CompileOptions& options,
                                           const OuterScope* outer) {
  auto p = std::make_shared<Program>();
  Compiler c(*p, options, outer);
  c.expressionProgram(std::move(expr));
  return p;
}

}  // namespace vbscript
