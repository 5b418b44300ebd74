// Arrays (Array, LBound, UBound) and the functions that reach the engine or the host:
// CreateObject, Eval, Execute, ExecuteGlobal, GetRef, RGB, ScriptEngine and its versions,
// GetLocale and SetLocale.
#include <iterator>

#include "builtins.h"
#include "errors.h"
#include "operators.h"
#include "runtime.h"

namespace vbscript {

namespace {

constexpr std::int32_t kLocale = 2052;  // PRC

Variant arrayFn(Runtime&, Args a) {
  Variant::Array items;
  items.reserve(a.size());
  for (const Variant& v : a) items.push_back(v);
  return Variant(std::move(items));
}

Variant bound(Args a, bool upper) {
  const Variant& v = a[0];
  if (!v.isArray()) raise(err::kTypeMismatch);
  int dim = intArg(a, 1, 1);
  const auto& bounds = v.arrayBounds();
  if (dim < 1 || static_cast<std::size_t>(dim) > bounds.size()) raise(err::kSubscript);
  const auto& b = bounds[static_cast<std::size_t>(dim - 1)];
  return Variant(upper ? b.upper() : b.lower);
}

Variant lbound(Runtime&, Args a) { return bound(a, false); }
Variant ubound(Runtime&, Args a) { return bound(a, true); }

Variant createObject(Runtime& rt, Args a) {
  Text progId = textArg(a[0]);
  if (!rt.host()) raise(err::kCannotCreate, progId);
  try {
    ObjectRef o = rt.host()->createObject(progId);
    if (!o) raise(err::kCannotCreate, progId);
    return Variant(std::move(o));
  } catch (const automation::AutomationError& e) {
    if (e.code() == automation::hr::kInvalidClassString) raise(err::kCannotCreate, progId);
    throw;
  }
}

Variant evalFn(Runtime& rt, Args a) { return rt.eval(textArg(a[0])); }

Variant executeFn(Runtime& rt, Args a) {
  rt.execute(textArg(a[0]), false);
  return {};
}

Variant executeGlobal(Runtime& rt, Args a) {
  rt.execute(textArg(a[0]), true);
  return {};
}

Variant getRef(Runtime& rt, Args a) { return Variant(rt.procedureRef(textArg(a[0]))); }

Variant rgb(Runtime&, Args a) {
  auto channel = [&](std::size_t i) {
    std::int32_t c = automation::toInt32(valueOf(a[i]));
    if (c < 0) raise(err::kInvalidCall);
    return c > 255 ? 255 : c;
  };
  return Variant(static_cast<std::int32_t>(channel(0) | channel(1) << 8 | channel(2) << 16));
}

Variant scriptEngine(Runtime&, Args) { return Variant(u"VBScript"); }
Variant major(Runtime&, Args) { return Variant(std::int32_t{5}); }
Variant minor(Runtime&, Args) { return Variant(std::int32_t{8}); }
Variant build(Runtime&, Args) { return Variant(std::int32_t{16384}); }
Variant getLocale(Runtime&, Args) { return Variant(kLocale); }
Variant setLocale(Runtime&, Args) { return Variant(kLocale); }

// A server has no one to show a box to.
Variant noUserInterface(Runtime&, Args) { raise(70); }

constexpr Builtin kArrays[] = {
    {u"Array", 0, 250, arrayFn},
    {u"LBound", 1, 2, lbound},
    {u"UBound", 1, 2, ubound},
};

constexpr Builtin kRuntime[] = {
    {u"CreateObject", 1, 2, createObject},
    {u"Eval", 1, 1, evalFn},
    {u"Execute", 1, 1, executeFn},
    {u"ExecuteGlobal", 1, 1, executeGlobal},
    {u"GetRef", 1, 1, getRef},
    {u"RGB", 3, 3, rgb},
    {u"ScriptEngine", 0, 0, scriptEngine},
    {u"ScriptEngineMajorVersion", 0, 0, major},
    {u"ScriptEngineMinorVersion", 0, 0, minor},
    {u"ScriptEngineBuildVersion", 0, 0, build},
    {u"GetLocale", 0, 0, getLocale},
    {u"SetLocale", 0, 1, setLocale},
    {u"MsgBox", 1, 5, noUserInterface},
    {u"InputBox", 1, 7, noUserInterface},
};

}  // namespace

BuiltinList arrayBuiltins() { return {std::begin(kArrays), std::end(kArrays)}; }
BuiltinList runtimeBuiltins() { return {std::begin(kRuntime), std::end(kRuntime)}; }

}  // namespace vbscript
