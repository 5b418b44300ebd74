// The library of built-in functions, found by name at compile time and called by number at
// run time. Each family lives in its own file (builtins_text.cpp, builtins_dates.cpp, ...);
// this table only lists them.
#pragma once

#include <optional>

#include "automation/variant.h"

namespace vbscript {

class Runtime;
using automation::Args;
using automation::Text;
using automation::TextView;
using automation::Variant;

using BuiltinFn = Variant (*)(Runtime&, Args);

struct Builtin {
  const char16_t* name;
  int minArgs;
  int maxArgs;
  BuiltinFn fn;
};

// Number of the built-in with this name (any case), or -1.
int findBuiltin(TextView name);
const Builtin& builtinAt(int id);
// The vbXxx constants (vbCrLf, vbString, vbMonday, ...).
std::optional<Variant> findConstant(TextView name);

// The families register their entries through these lists.
struct BuiltinList {
  const Builtin* begin;
  const Builtin* end;
};
BuiltinList conversionBuiltins();
BuiltinList textBuiltins();
BuiltinList mathBuiltins();
BuiltinList dateBuiltins();
BuiltinList formatBuiltins();
BuiltinList arrayBuiltins();
BuiltinList runtimeBuiltins();

// Helpers shared by the families.
bool given(Args a, std::size_t i);  // argument i was passed and is not Missing
int intArg(Args a, std::size_t i, int fallback);
Text textArg(const Variant& v);  // as functions read text arguments; Null raises 94

}  // namespace vbscript
