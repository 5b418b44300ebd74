// The dispatch loop: one switch over the instructions of a procedure, with the common case
// of each operator (Integer, Long and Double arithmetic, comparisons, concatenation of two
// texts) and of array elements taken inline, and everything else handed to operators.cpp and
// elements.cpp. An error inside an instruction either goes on at the instruction's resume
// point (On Error Resume Next) or leaves the frame, after the frame has noted where it
// happened.
#include <cmath>

#include <utility>

#include "builtins.h"
#include "elements.h"
#include "errors.h"
#include "operators.h"
#include "regexp.h"
#include "runtime.h"
#include "script_object.h"

namespace vbscript {

namespace {

using automation::AutomationError;
using automation::ObjectRef;
using automation::VarType;

[[gnu::always_inline]] inline Variant& at(Frame& f, std::int32_t r) {
  switch (ref::tagOf(r)) {
    case ref::kLocal:
      return f.slots[r];
    case ref::kConst:
      return const_cast<Variant&>(f.program->constants[ref::indexOf(r)]);
    case ref::kGlobal:
      return f.links[ref::indexOf(r)]->value;
    case ref::kField:
      return f.me->fields[static_cast<std::size_t>(ref::indexOf(r))];
    default:
      return f.outer->slots[ref::indexOf(r)];
  }
}

// Integer or Long: the value and whether it is a Long.
inline bool smallInt(const Variant& v, std::int32_t& out, bool& isLong) {
  const auto& s = v.storage();
  if (auto p = std::get_if<std::int16_t>(&s)) {
    out = *p;
    isLong = false;
    return true;
  }
  if (auto p = std::get_if<std::int32_t>(&s)) {
    out = *p;
    isLong = true;
    return true;
  }
  return false;
}

// Integer, Long or Double as a double.
inline bool numberOf(const Variant& v, double& out) {
  const auto& s = v.storage();
  if (auto p = std::get_if<double>(&s))
    out = *p;
  else if (auto p = std::get_if<std::int32_t>(&s))
    out = *p;
  else if (auto p = std::get_if<std::int16_t>(&s))
    out = *p;
  else
    return false;
  return true;
}

// dst = v for a number or a boolean, in place when dst already holds one of its kind (the
// common case of a counter or a sum), so that the variant itself is not reassigned.
template <class T>
inline void put(Variant& dst, T v) {
  if (auto p = std::get_if<T>(&dst.storage()))
    *p = v;
  else
    dst = Variant(v);
}

inline void setInteger(Variant& dst, std::int64_t v, bool isLong) {
  if (!isLong && v >= INT16_MIN && v <= INT16_MAX)
    put(dst, static_cast<std::int16_t>(v));
  else if (v >= INT32_MIN && v <= INT32_MAX)
    put(dst, static_cast<std::int32_t>(v));
  else
    put(dst, static_cast<double>(v));
}

// Whether releasing v may run script code: an object's Class_Terminate, or those of the
// objects an array holds.
inline bool releaseMayRunCode(const Variant& v) {
  auto t = v.type();
  return t == VarType::Object || t == VarType::VariantArray;
}

// Assigning over such a value releases the old one only once the variable holds its new one,
// so that a Class_Terminate sees the variable whole.
inline void assign(Variant& dst, Variant&& v) {
  if (releaseMayRunCode(dst))
    Variant old = std::exchange(dst, std::move(v));
  else
    dst = std::move(v);
}

inline void assign(Variant& dst, const Variant& v) {
  if (releaseMayRunCode(dst))
    Variant old = std::exchange(dst, v);
  else
    dst = v;
}

// Fast paths of the binary operators; false when the general rules must decide.
inline bool fastBinary(BinOp op, const Variant& a, const Variant& b, Variant& dst) {
  std::int32_t x, y;
  bool lx, ly;
  if (smallInt(a, x, lx) && smallInt(b, y, ly)) {
    bool isLong = lx || ly;
    switch (op) {
      case BinOp::Add:
        setInteger(dst, std::int64_t{x} + y, isLong);
        return true;
      case BinOp::Sub:
        setInteger(dst, std::int64_t{x} - y, isLong);
        return true;
      case BinOp::Mul:
        setInteger(dst, std::int64_t{x} * y, isLong);
        return true;
      case BinOp::Mod:
        if (y == 0) return false;
        setInteger(dst, std::int64_t{x} % y, isLong);  // INT32_MIN Mod -1 must not trap
        return true;
      case BinOp::IntDiv:
        if (y == 0) return false;
        setInteger(dst, std::int64_t{x} / y, isLong);
        return true;
      case BinOp::Eq:
        put(dst, x == y);
        return true;
      case BinOp::Ne:
        put(dst, x != y);
        return true;
      case BinOp::Lt:
        put(dst, x < y);
        return true;
      case BinOp::Gt:
        put(dst, x > y);
        return true;
      case BinOp::Le:
        put(dst, x <= y);
        return true;
      case BinOp::Ge:
        put(dst, x >= y);
        return true;
      case BinOp::And:
        setInteger(dst, x & y, isLong);
        return true;
      case BinOp::Or:
        setInteger(dst, x | y, isLong);
        return true;
      case BinOp::Div:
        if (y == 0) return false;
        put(dst, static_cast<double>(x) / y);
        return true;
      default:
        return false;
    }
  }
  double p, q;
  if (numberOf(a, p) && numberOf(b, q)) {  // a Double with a Double, Integer or Long
    double r;
    switch (op) {
      case BinOp::Add:
        r = p + q;
        break;
      case BinOp::Sub:
        r = p - q;
        break;
      case BinOp::Mul:
        r = p * q;
        break;
      case BinOp::Div:
        if (q == 0) return false;
        r = p / q;
        break;
      case BinOp::Eq:
        put(dst, p == q);
        return true;
      case BinOp::Ne:
        put(dst, p != q);
        return true;
      case BinOp::Lt:
        put(dst, p < q);
        return true;
      case BinOp::Gt:
        put(dst, p > q);
        return true;
      case BinOp::Le:
        put(dst, p <= q);
        return true;
      case BinOp::Ge:
        put(dst, p >= q);
        return true;
      default:
        return false;
    }
    if (!std::isfinite(r)) return false;  // the general rules raise the overflow
    put(dst, r);
    return true;
  }
  if (a.isText() && b.isText()) {
    switch (op) {
      case BinOp::Concat:
      case BinOp::Add: {
        Text t;
        t.reserve(a.text().size() + b.text().size());
        t.append(a.text()).append(b.text());
        dst = Variant(std::move(t));
        return true;
      }
      case BinOp::Eq:
        put(dst, a.text() == b.text());
        return true;
      case BinOp::Ne:
        put(dst, a.text() != b.text());
        return true;
      default:
        return false;
    }
  }
  return false;
}

inline const Variant::ArrayData* arrayDataOf(const Variant& v) {
  auto p = std::get_if<std::shared_ptr<Variant::ArrayData>>(&v.storage());
  return p ? p->get() : nullptr;
}

inline bool condition(const Variant& v) {
  if (auto b = std::get_if<bool>(&v.storage())) return *b;
  return truth(v);
}

Variant itemsOf(const Variant& v) {
  if (v.isArray()) return Variant(Variant::Array(v.array()));
  if (v.isObject()) {
    const ObjectRef& o = v.object();
    if (!o) raise(err::kObjectNotSet);
    auto items = o->enumerate();
    if (!items) raise(err::kNotCollection);
    return Variant(std::move(*items));
  }
  raise(err::kNotCollection);
}

// Errors of automation's late binding, in VBScript's numbers.
[[noreturn]] void rethrowFromObject(TextView member) {
  try {
    throw;
  } catch (const AutomationError& e) {
    if (int number = scriptNumberFor(e.code())) raise(number, member);
    throw;
  } catch (const StopRun&) {
    throw;
  } catch (const std::bad_alloc&) {
    raise(err::kOutOfMemory);
  } catch (const std::exception& e) {
    throw AutomationError(automation::hr::kFail, u"", automation::fromUtf8(e.what()));
  }
}

std::uint64_t byRefMask(const automation::MemberInfo* m) {
  std::uint64_t mask = 0;
  if (!m) return mask;
  for (std::size_t i = 0; i < m->params.size() && i < 64; ++i) {
    if (m->params[i].byRef) mask |= std::uint64_t{1} << i;
  }
  return mask;
}

std::uint64_t byRefMask(const Procedure& p) { return p.byRefMask; }

}  // namespace

class Interpreter {
 public:
  // Writes the arguments a call returned through ByRef parameters into the variables that
  // were passed; returns the instruction after the call's WriteBack list.
  static int writeBack(Frame& f, int pc, int base, std::uint64_t mask) {
    const Instr* code = f.proc->code.data();
    int k = pc + 1;
    for (; code[k].op == Op::WriteBack; ++k) {
      int i = code[k].a - base;
      if (i < 64 && (mask >> i & 1)) assign(at(f, code[k].b), std::move(f.slots[code[k].a]));
    }
    return k;
  }

  // Runs a call instruction's work, writing ByRef arguments back however it ends. The
  // argument slots (from `first`) are emptied afterwards, so that an object passed or
  // called is released as soon as the script lets go of it (Class_Terminate runs on time).
  // The result is stored last, so that x = F(x) leaves x holding what F returned.
  template <class Call>
  static int guardedCall(Frame& f, int pc, int first, int base, int count, std::uint64_t& mask,
                         Call&& call) {
    Variant r;
    try {
      r = call();
    } catch (...) {
      writeBack(f, pc, base, mask);
      clear(f, first, base + count);
      throw;
    }
    int next = writeBack(f, pc, base, mask);
    clear(f, first, base + count);
    storeResult(f, f.proc->code[static_cast<std::size_t>(pc)], std::move(r));
    return next;
  }

  static void storeResult(Frame& f, const Instr& in, Variant&& r) {
    if ((in.y & kLetResult) && r.isObject()) r = valueOf(r);
    assign(at(f, in.a), std::move(r));
  }

  static void clear(Frame& f, int from, int to) {
    for (int i = from; i < to; ++i) release(f.slots[i]);
  }

  static Variant invoke(Runtime& rt, Frame& f, const Instr& in, std::uint64_t& mask) {
    Variant& objv = f.slots[in.b];
    TextView name = f.program->constants[ref::indexOf(in.c)].text();
    if (!objv.isObject()) raise(err::kObjectRequired, name);
    ObjectRef o = objv.object();
    if (!o) raise(err::kObjectNotSet);
    auto mode = static_cast<InvokeMode>(in.y);
    std::size_t n = in.x + (mode == InvokeMode::Get ? 0 : 1);
    automation::Args args(&f.slots[in.b + 1], n);
    if (auto* so = dynamic_cast<ScriptObject*>(o.get()); so && &so->runtime() == &rt) {
      const ClassMember* m = so->classDef().find(name);
      if (!m || !m->isPublic) raise(err::kNoSuchMember, name);
      int index = static_cast<int>(m - so->classDef().members.data());
      const auto& procs = so->program().procs;
      int put = mode == InvokeMode::Get ? -1 : m->let >= 0 ? m->let : m->set;
      bool putTakesThem = put >= 0 && procs[put].params() == in.x + 1;
      if (in.x > 0 && m->get >= 0 && procs[m->get].params() == 0 && !putTakesThem) {
        return throughValue(rt, f, mode, rt.callMember(*so, index, InvokeMode::Get, {}), args,
                            mask);
      }
      int shape = m->get >= 0 ? m->get : m->sub >= 0 ? m->sub : put;
      if (shape >= 0) mask = byRefMask(procs[shape]);
      return rt.callMember(*so, index, mode, args);
    }
    const automation::MemberInfo* m = o->typeInfo().find(name);
    if (!m) raise(err::kNoSuchMember, name);
    if (m->params.empty() && in.x > 0 && m->kind == automation::MemberInfo::Kind::Property) {
      Variant holder;
      try {
        holder = o->invoke(name, automation::InvokeKind::PropertyGet, automation::Args());
      } catch (...) {
        rethrowFromObject(name);
      }
      return throughValue(rt, f, mode, std::move(holder), args, mask);
    }
    mask = byRefMask(m);
    Variant r;
    try {
      r = o->invoke(name,
                    mode == InvokeMode::Get ? automation::InvokeKind::Method
                                            : automation::InvokeKind::PropertyPut,
                    args);
    } catch (...) {
      rethrowFromObject(name);
    }
    rt.poll();
    return r;
  }

  // obj.Items(i) and obj.Items(i) = v where Items takes no parameters: the index goes to
  // the value of Items (an array, or an object's default member).
  static Variant throughValue(Runtime& rt, Frame& f, InvokeMode mode, Variant holder,
                              automation::Args args, std::uint64_t& mask) {
    if (mode == InvokeMode::Get) return index(rt, f, holder, args, mask);
    setIndex(rt, holder, args, mode == InvokeMode::PutRef);
    return {};
  }

  static Variant index(Runtime& rt, Frame& f, const Variant& container, automation::Args args,
                       std::uint64_t& mask) {
    if (container.isObject() && container.object()) {
      const ObjectRef& o = container.object();
      if (auto* so = dynamic_cast<ScriptObject*>(o.get()); so && &so->runtime() == &rt) {
        int d = so->classDef().defaultMember;
        if (d < 0) raise(err::kNoSuchMember);
        const ClassMember& m = so->classDef().members[d];
        int shape = m.get >= 0 ? m.get : m.sub;
        if (shape >= 0) mask = byRefMask(so->program().procs[shape]);
        return rt.callMember(*so, d, InvokeMode::Get, args);
      }
      mask = byRefMask(o->typeInfo().defaultMember());
      Variant r;
      try {
        r = elementOf(container, args);
      } catch (...) {
        rethrowFromObject(u"");
      }
      rt.poll();
      return r;
    }
    (void)f;
    if (args.empty() && !container.isArray()) return container;
    return elementOf(container, args);
  }

  // a(i) when a is no one-dimensional array or i is outside it: a default member may take i
  // by reference and write it back.
  static void element(Runtime& rt, Frame& f, const Instr& in) {
    Variant index = at(f, in.c);
    Variant container = at(f, in.b);
    std::uint64_t mask = 0;
    Variant r = Interpreter::index(rt, f, container, automation::Args(&index, 1), mask);
    if ((mask & 1) && ref::tagOf(in.c) != ref::kConst) assign(at(f, in.c), std::move(index));
    storeResult(f, in, std::move(r));
  }

  static void setIndex(Runtime& rt, Variant& container, automation::Args args, bool isSet) {
    Variant& value = args.back();
    automation::Args indexes = args.first(args.size() - 1);
    if (isSet && !value.isObject()) raise(err::kObjectRequired);
    if (container.isObject() && container.object()) {
      const ObjectRef& o = container.object();
      if (auto* so = dynamic_cast<ScriptObject*>(o.get()); so && &so->runtime() == &rt) {
        int d = so->classDef().defaultMember;
        if (d < 0) raise(err::kNoSuchMember);
        rt.callMember(*so, d, isSet ? InvokeMode::PutRef : InvokeMode::Put, args);
        return;
      }
      try {
        assignElement(container, indexes, std::move(value));
      } catch (...) {
        rethrowFromObject(u"");
      }
      rt.poll();
      return;
    }
    assignElement(container, indexes, isSet ? std::move(value) : valueOf(value));
  }

  static Variant callName(Runtime& rt, Frame& f, const Instr& in, std::uint64_t& mask) {
    TextView name = f.program->constants[ref::indexOf(in.c)].text();
    automation::Args args(&f.slots[in.b], in.x);
    GlobalCell* cell = rt.findGlobal(name);
    if (cell && cell->proc >= 0) {
      mask = byRefMask(cell->program->procs[cell->proc]);
      return rt.callProcedure(*cell->program, cell->proc, args, nullptr);
    }
    if (!cell) {
      if (f.program->optionExplicit || (rt.mainProgram() && rt.mainProgram()->optionExplicit)) {
        raise(err::kUndefined, name);
      }
      if (in.x > 0 || in.y) raise(err::kTypeMismatch, name);
      return {};
    }
    if (in.x == 0 && !in.y) return cell->value;
    return index(rt, f, cell->value, args, mask);
  }

  static void forPrep(Frame& f, const Instr& in, int& pc) {
    Variant& var = at(f, in.a);
    Variant& end = f.slots[in.b];
    Variant& step = f.slots[in.b + 1];
    for (Variant* v : {&var, &end, &step}) {
      *v = valueOf(*v);
      if (!v->isNumeric() && !v->isEmpty()) *v = Variant(automation::toDouble(*v));
    }
    if (forContinues(var, end, step))
      ++pc;
    else
      pc = in.c;
  }

  static bool forContinues(const Variant& var, const Variant& end, const Variant& step) {
    std::int32_t v, e, s;
    bool l;
    if (smallInt(var, v, l) && smallInt(end, e, l) && smallInt(step, s, l)) {
      return s >= 0 ? v <= e : v >= e;
    }
    double sd = automation::toDouble(step);
    auto c = compare(var, end);
    if (!c) raise(err::kInvalidNull);
    return sd >= 0 ? *c <= 0 : *c >= 0;
  }

  [[gnu::always_inline]] static void forStep(Frame& f, const Instr& in, int& pc) {
    Variant& var = at(f, in.a);
    const Variant& end = f.slots[in.b];
    const Variant& step = f.slots[in.b + 1];
    std::int32_t v, s, e;
    bool lv, ls, le;
    if (smallInt(var, v, lv) && smallInt(step, s, ls)) {
      std::int64_t next = std::int64_t{v} + s;
      setInteger(var, next, lv || ls);
      if (smallInt(end, e, le)) {
        pc = (s >= 0 ? next <= e : next >= e) ? in.c : pc + 1;
        return;
      }
    } else {
      assign(var, binaryOp(BinOp::Add, var, step));
    }
    pc = forContinues(var, end, step) ? in.c : pc + 1;
  }
};

Variant Runtime::run(Frame& f) {
  const Instr* code = f.proc->code.data();
  int pc = 0;
  for (;;) {
    try {
      for (;;) {
        const Instr& in = code[pc];
        switch (in.op) {
          case Op::Move: {
            Variant& src = at(f, in.b);
            if (src.isObject())
              assign(at(f, in.a), valueOf(src));
            else if (in.y == kFromTemp)
              assign(at(f, in.a), std::move(src));
            else
              assign(at(f, in.a), src);
            if (in.y == kFromTemp) release(src);
            ++pc;
            break;
          }
          case Op::Copy:
            if (in.y == kFromTemp) {
              assign(at(f, in.a), std::move(at(f, in.b)));
              release(at(f, in.b));
            } else {
              assign(at(f, in.a), at(f, in.b));
            }
            ++pc;
            break;
          case Op::Take: {
            Variant& src = at(f, in.b);
            if (holdsReference(src)) {
              at(f, in.a) = std::move(src);
              src = Variant();
            } else {
              at(f, in.a) = src;  // a number is as cheap to copy, and comes back by write-back
            }
            ++pc;
            break;
          }
          case Op::SetRef: {
            Variant& src = at(f, in.b);
            if (!src.isObject()) raise(err::kObjectRequired);
            if (in.y == kFromTemp) {
              assign(at(f, in.a), std::move(src));
              release(src);
            } else {
              assign(at(f, in.a), src);
            }
            ++pc;
            break;
          }
          case Op::Unary: {
            const Variant& a = at(f, in.b);
            Variant& dst = at(f, in.a);
            auto op = static_cast<UnOp>(in.x);
            std::int32_t x;
            bool l;
            if (releaseMayRunCode(dst)) {
              assign(dst, unaryOp(op, a));
            } else if (op == UnOp::Neg && smallInt(a, x, l) && x != INT16_MIN && x != INT32_MIN) {
              setInteger(dst, -std::int64_t{x}, l);
            } else if (op == UnOp::Not && a.type() == VarType::Bool) {
              dst = Variant(!std::get<bool>(a.storage()));
            } else {
              dst = unaryOp(op, a);
            }
            if (in.y & kReleaseB) release(at(f, in.b));
            ++pc;
            break;
          }
          case Op::Binary: {
            auto op = static_cast<BinOp>(in.x);
            const Variant& a = at(f, in.b);
            const Variant& b = at(f, in.c);
            Variant& dst = at(f, in.a);
            if (releaseMayRunCode(dst) || !fastBinary(op, a, b, dst)) {
              assign(dst, binaryOp(op, a, b, in.y & kLiteralB, in.y & kLiteralC));
            }
            if (in.y & kReleaseB) release(at(f, in.b));
            if (in.y & kReleaseC) release(at(f, in.c));
            ++pc;
            break;
          }
          case Op::AppendTo: {
            Variant& target = at(f, in.a);
            Variant& snapshot = f.slots[in.b];
            Text* text = nullptr;
            if (target.sharesTextWith(snapshot)) {
              snapshot = Variant();
              text = target.uniqueText();
              if (!text) snapshot = target;  // shared elsewhere too (a constant): copy it
            }
            if (text) {
              for (int i = 1; i <= in.c; ++i) {
                const Variant& part = f.slots[in.b + i];
                if (part.isText())
                  text->append(part.text());
                else
                  text->append(concat(Variant(), part).isNull()
                                   ? Text()
                                   : automation::joinText(valueOf(part)));
              }
            } else {
              Variant r = std::move(snapshot);
              for (int i = 1; i <= in.c; ++i) r = concat(r, f.slots[in.b + i]);
              assign(target, std::move(r));
            }
            ++pc;
            break;
          }
          case Op::Jump:
            if (in.a <= pc) pollSometimes();
            pc = in.a;
            break;
          case Op::JumpIfFalse:
            pc = condition(at(f, in.b)) ? pc + 1 : in.a;
            break;
          case Op::JumpIfTrue:
            if (condition(at(f, in.b))) {
              if (in.a <= pc) pollSometimes();
              pc = in.a;
            } else {
              ++pc;
            }
            break;
          case Op::ForPrep:
            Interpreter::forPrep(f, in, pc);
            break;
          case Op::ForStep:
            pollSometimes();
            Interpreter::forStep(f, in, pc);
            break;
          case Op::EachPrep: {
            Variant& slot = f.slots[in.b];
            slot = itemsOf(slot);
            f.slots[in.b + 1] = Variant(std::int32_t{0});
            pc = slot.array().empty() ? in.c : pc + 1;
            break;
          }
          case Op::EachNext: {
            pollSometimes();
            const auto& items = f.slots[in.b].array();
            auto i = std::get<std::int32_t>(f.slots[in.b + 1].storage());
            if (static_cast<std::size_t>(i) >= items.size()) {
              pc = in.c;
              break;
            }
            assign(at(f, in.a), items[static_cast<std::size_t>(i)]);
            f.slots[in.b + 1] = Variant(i + 1);
            ++pc;
            break;
          }
          case Op::CallProc: {
            const Program& program = *f.program;
            std::uint64_t mask = byRefMask(program.procs[in.c]);
            pc = Interpreter::guardedCall(f, pc, in.b, in.b, in.x, mask, [&] {
              return callProcedure(program, in.c, automation::Args(&f.slots[in.b], in.x), f.me,
                                   nullptr, true);
            });
            break;
          }
          case Op::CallMethod: {
            if (!f.me) raise(err::kObjectRequired);
            const ClassMember& m = f.me->classDef().members[in.c];
            auto mode = static_cast<InvokeMode>(in.y & ~kLetResult);
            int shape = mode == InvokeMode::Get ? (m.get >= 0 ? m.get : m.sub) : -1;
            std::uint64_t mask = shape >= 0 ? byRefMask(f.me->program().procs[shape]) : 0;
            std::size_t n = in.x + (mode == InvokeMode::Get ? 0 : 1);
            pc = Interpreter::guardedCall(f, pc, in.b, in.b, static_cast<int>(n), mask, [&] {
              return callMember(*f.me, in.c, mode, automation::Args(&f.slots[in.b], n), true);
            });
            break;
          }
          case Op::CallBuiltin: {
            Variant r = builtinAt(in.c).fn(*this, automation::Args(&f.slots[in.b], in.x));
            Interpreter::clear(f, in.b, in.b + in.x);
            Interpreter::storeResult(f, in, std::move(r));
            ++pc;
            break;
          }
          case Op::CallName: {
            std::uint64_t mask = 0;
            pc = Interpreter::guardedCall(f, pc, in.b, in.b, in.x, mask, [&] {
              return Interpreter::callName(*this, f, in, mask);
            });
            break;
          }
          case Op::Index: {
            std::uint64_t mask = 0;
            pc = Interpreter::guardedCall(f, pc, in.c, in.c, in.x, mask, [&] {
              Variant container = at(f, in.b);
              return Interpreter::index(*this, f, container, automation::Args(&f.slots[in.c], in.x),
                                        mask);
            });
            break;
          }
          case Op::Invoke: {
            std::uint64_t mask = 0;
            int n = in.x + (static_cast<InvokeMode>(in.y) == InvokeMode::Get ? 0 : 1);
            pc = Interpreter::guardedCall(f, pc, in.b, in.b + 1, n, mask,
                                          [&] { return Interpreter::invoke(*this, f, in, mask); });
            break;
          }
          case Op::Element: {
            // a(i) on a one-dimensional array: the common case, without a call's ceremony.
            const Variant::ArrayData* data = arrayDataOf(at(f, in.b));
            std::int32_t i;
            bool l;
            if (data && smallInt(at(f, in.c), i, l)) {
              const auto& bounds = data->bounds;
              if (bounds.size() == 1 && i >= bounds[0].lower && i <= bounds[0].upper()) {
                const Variant& element = data->items[static_cast<std::size_t>(i - bounds[0].lower)];
                if (element.isObject() && (in.y & kLetResult))
                  assign(at(f, in.a), valueOf(element));
                else
                  assign(at(f, in.a), element);
                ++pc;
                break;
              }
            }
            Interpreter::element(*this, f, in);
            ++pc;
            break;
          }
          case Op::SetElement: {
            Variant& container = at(f, in.b);
            const Variant& value = at(f, in.a);
            std::int32_t i;
            bool l;
            if (container.isArray() && !value.isObject() && !value.isArray() &&
                smallInt(at(f, in.c), i, l)) {
              auto& data = container.mutableArray();
              if (data.bounds.size() == 1 && i >= data.bounds[0].lower &&
                  i <= data.bounds[0].upper()) {
                assign(data.items[static_cast<std::size_t>(i - data.bounds[0].lower)], value);
                ++pc;
                break;
              }
            }
            Variant args[2] = {at(f, in.c), value};
            Interpreter::setIndex(*this, container, automation::Args(args), false);
            ++pc;
            break;
          }
          case Op::SetIndex: {
            Interpreter::setIndex(*this, at(f, in.b), automation::Args(&f.slots[in.c], in.x + 1u),
                                  in.y);
            Interpreter::clear(f, in.c, in.c + in.x + 1);
            ++pc;
            break;
          }
          case Op::WriteBack:
            ++pc;
            break;
          case Op::New:
            assign(at(f, in.a), Variant(newObject(*f.program, in.c)));
            ++pc;
            break;
          case Op::NewName: {
            TextView name = f.program->constants[ref::indexOf(in.c)].text();
            GlobalCell* cell = findGlobal(name);
            if (cell && cell->cls >= 0)
              assign(at(f, in.a), Variant(newObject(*cell->program, cell->cls)));
            else if (automation::equalsIgnoreCase(name, u"RegExp"))
              assign(at(f, in.a), Variant(makeRegExp()));
            else
              raise(err::kClassNotDefined, name);
            ++pc;
            break;
          }
          case Op::Me: {
            ObjectRef me = f.me ? f.me->weak_from_this().lock() : ObjectRef();
            if (!me) raise(err::kObjectNotSet);
            assign(at(f, in.a), Variant(std::move(me)));
            ++pc;
            break;
          }
          case Op::WriteLiteral:
            if (host_) host_->writeLiteral(in.a);
            ++pc;
            break;
          case Op::WriteValue:
            if (host_) host_->write(valueOf(at(f, in.b)));
            ++pc;
            break;
          case Op::OnError:
            f.resumeNext = in.x == 1;
            clearErr();
            ++pc;
            break;
          case Op::ReDim: {
            Variant& target = at(f, in.b);
            if (in.x == 0) {
              assign(target, Variant(Variant::Array{}));
            } else {
              std::vector<std::int32_t> uppers;
              for (int i = 0; i < in.x; ++i)
                uppers.push_back(automation::toInt32(valueOf(f.slots[in.c + i])));
              assign(target, redimensioned(target, uppers, in.y != 0));
            }
            ++pc;
            break;
          }
          case Op::Erase: {
            Variant& target = at(f, in.b);
            if (!target.isArray()) raise(err::kTypeMismatch);
            if (in.y) {
              auto& data = target.mutableArray();
              Variant::Array fresh(data.items.size());
              std::swap(data.items, fresh);
            } else {
              assign(target, Variant(Variant::Array{}));
            }
            ++pc;
            break;
          }
          case Op::Raise:
            raise(in.a, f.program->constants[ref::indexOf(in.c)].text());
          case Op::Return:
            return {};
        }
      }
    } catch (const AutomationError& e) {
      noteError(f, pc);
      // Late binding's errors where no member name was at hand (a default value, say).
      int number = scriptNumberFor(e.code());
      if (!f.resumeNext) {
        if (number) raise(number);
        throw;
      }
      if (number)
        setErr(AutomationError(hresultOf(number), kRuntimeSource, Text(errorText(number))));
      else
        setErr(e);
      errorNoted_ = false;
      pc = f.proc->resume[static_cast<std::size_t>(pc)];
    }
  }
}

}  // namespace vbscript
