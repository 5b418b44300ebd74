// The compiler: syntax tree to slot-resolved code. Every name is resolved once, here: a local
// to its slot, a field of the class to its number, a global to its place in the link table,
// a procedure, class or built-in to its number. Nothing is looked up by name at run time but
// members of objects and names only Execute could have brought in.
#pragma once

#include "code.h"

namespace vbscript {

// The scope Execute and Eval run in when called inside a procedure: its locals, and the
// class whose method is running (if any).
struct OuterScope {
  const Procedure* proc = nullptr;
  const ClassDef* cls = nullptr;
};

std::shared_ptr<Program> compileScript(Script script, const CompileOptions& options,
                                       const OuterScope* outer = nullptr);
// Eval: one expression, compiled as a program whose global code returns its value in slot 0.
std::shared_ptr<Program> compileExpression(ExprPtr expr, const CompileOptions& options,
                                           const OuterScope* outer = nullptr);

}  // namespace vbscript
