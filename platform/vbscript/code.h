// The compiled form of a program: procedures of instructions over numbered slots, the table
// of constants and the global names a program links to when it runs. A Program never changes
// after compilation, so one copy serves every run on every thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ast.h"
#include "automation/object.h"

namespace vbscript {

// An operand names where a value lives: the top four bits say which kind of place, the rest
// its number.
namespace ref {
inline constexpr std::int32_t kLocal = 0;         // a slot of the running procedure
inline constexpr std::int32_t kConst = 1 << 28;   // the program's constant table
inline constexpr std::int32_t kGlobal = 2 << 28;  // the program's link table (global cells)
inline constexpr std::int32_t kField = 3 << 28;   // a field of Me
inline constexpr std::int32_t kOuter = 4 << 28;   // a slot of the procedure that ran Execute
inline constexpr std::int32_t kIndexMask = (1 << 28) - 1;
inline constexpr std::int32_t tagOf(std::int32_t r) { return r & ~kIndexMask; }
inline constexpr std::int32_t indexOf(std::int32_t r) { return r & kIndexMask; }
}  // namespace ref

enum class Op : std::uint8_t {
  Move,          // a = b, as Let assigns (an object gives its default value)
  Copy,          // a = b as it is (arguments, temporaries)
  Take,          // a = b, leaving b empty (a local passed by reference for the call's length)
  SetRef,        // Set a = b (b must be an object or Nothing)
  Unary,         // a = x(b): x = UnOp; y: kReleaseB
  Binary,        // a = b x c: x = BinOp; y: kLiteralB/C, kReleaseB/C
  AppendTo,      // a = a & b & ... (operands b..b+c-1), in place when a's text is its own; a+x:
                 // snapshot
  Jump,          // goto a
  JumpIfFalse,   // if not b goto a
  JumpIfTrue,    // if b goto a
  ForPrep,       // a: variable, b: slots of end and step, c: exit
  ForStep,       // a: variable, b: slots of end and step, c: body start
  EachPrep,      // b: slot holding the collection, replaced by its items (b+1: position); c: exit
  EachNext,      // a: variable; b: as EachPrep; c: exit
  CallProc,      // a = call procedure c with x arguments at b
  CallMethod,    // a = Me's class member c (y: get/let/set) with x arguments at b
  CallBuiltin,   // a = built-in c with x arguments at b
  CallName,      // a = the global named by constant c, called with x arguments at b (y: had parens)
  Index,         // a = b(x arguments at c): array element or default member
  Element,       // a = b(c): one index, read from where it lives
  SetElement,    // b(c) = a (Let): one index
  Invoke,        // a = object at b, member named by constant c, x arguments after it; y = kind
  SetIndex,      // b(x arguments at c) = value at c+x; y: Set
  WriteBack,     // after a call: the variable b gets argument a back if its parameter is ByRef
  New,           // a = New class c
  NewName,       // a = New class named by constant c
  Me,            // a = Me
  WriteLiteral,  // host writes literal chunk a
  WriteValue,    // host writes b
  OnError,       // x = 1: Resume Next, 0: GoTo 0
  ReDim,         // b: variable, x bounds at c, y = preserve
  Erase,         // b: variable, y = fixed size
  Raise,         // raise runtime error a naming constant c ("variable is undefined: 'x'")
  Return,
};

enum class InvokeMode : std::uint8_t { Get, Put, PutRef };

// y bit of CallProc, CallMethod, CallBuiltin and Element: the result is assigned with Let, so
// an object result gives its default value.
inline constexpr std::uint8_t kLetResult = 0x80;
// y of Move, Copy and SetRef: the source is a temporary holding a call's result; its value is
// moved out and the temporary left empty.
inline constexpr std::uint8_t kFromTemp = 1;
// y bits of Binary and Unary: operand b or c is a literal the script wrote (comparisons of a
// text with a number follow it), or a call's result to let go of after the operation.
inline constexpr std::uint8_t kLiteralB = 1;
inline constexpr std::uint8_t kLiteralC = 2;
inline constexpr std::uint8_t kReleaseB = 4;
inline constexpr std::uint8_t kReleaseC = 8;

struct Instr {
  Op op;
  std::uint8_t x = 0;
  std::uint8_t y = 0;
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::int32_t c = 0;
};

struct Procedure {
  Text name;
  ProcDecl::Kind kind = ProcDecl::Kind::Sub;
  std::vector<bool> byRef;      // one per parameter
  std::uint64_t byRefMask = 0;  // the same for the first 64, a bit each, for the calls' write-back
  int slots = 0;
  int resultSlot = -1;           // the function's own name, as a variable
  std::vector<Text> localNames;  // by slot, for Execute and Eval inside the procedure
  std::vector<Instr> code;
  std::vector<Origin> origins;       // per instruction
  std::vector<std::int32_t> resume;  // per instruction: where On Error Resume Next goes on
  bool isPublic = true;
  int params() const { return static_cast<int>(byRef.size()); }
};

struct ClassMember {
  Text name;
  int get = -1;  // Function or Property Get
  int let = -1;
  int set = -1;
  int sub = -1;
  int field = -1;
  bool isPublic = true;
};

struct ClassDef {
  Text name;
  std::vector<Text> fields;
  std::vector<DimItem> fieldArrays;  // fields declared with bounds: Dim a(3)
  std::vector<ClassMember> members;
  int defaultMember = -1;
  int initialize = -1;  // procedure numbers
  int terminate = -1;
  std::shared_ptr<const automation::TypeInfo> typeInfo;
  const ClassMember* find(TextView name) const;
};

struct GlobalName {
  enum class Kind : std::uint8_t { Variable, Constant, Procedure, Class, Host, Implicit };
  Text name;
  Kind kind = Kind::Variable;
  int index = -1;  // procedure or class number
  Variant value;   // a constant's value
};

class Program {
 public:
  std::vector<Variant> constants;
  std::vector<GlobalName> globals;  // the link table, in order
  std::vector<Procedure> procs;     // procs[0] is the global code
  std::vector<ClassDef> classes;
  bool optionExplicit = false;
};

}  // namespace vbscript
