// The syntax tree the parser builds and the compiler walks once. Procedures and classes are
// hoisted out of the statement lists (VBScript lets code call what is declared further down),
// so the compiler can resolve every name to a slot before it emits a single instruction.
#pragma once

#include <memory>
#include <vector>

#include "lexer.h"

namespace vbscript {

enum class BinOp : std::uint8_t {
  Imp,
  Eqv,
  Xor,
  Or,
  And,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  Is,
  Concat,
  Add,
  Sub,
  Mod,
  IntDiv,
  Mul,
  Div,
  Pow
};
enum class UnOp : std::uint8_t { Neg, Not, Plus };

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
  // Long chains (a & b & c & ...) make trees as deep as they are long: they are released
  // one node at a time, not by recursion.
  ~Expr();

  enum class Kind : std::uint8_t {
    Const,   // value (literal)
    Name,    // name
    Member,  // object.name; object null: the With object
    Call,    // callee(args): a call, an array element or an object's default member
    Unary,   // uop lhs
    Binary,  // lhs op rhs
    New,     // New name
    Me,
    Nothing,
    Paren,    // (lhs): a value, never a reference
    Missing,  // an argument left out: f(1, , 3)
  };
  Kind kind = Kind::Const;
  Origin origin;
  Variant value;
  Text name;
  BinOp op = BinOp::Add;
  UnOp uop = UnOp::Neg;
  ExprPtr lhs;  // Member/Call: the object or callee; Unary/Binary/Paren: the operand
  ExprPtr rhs;
  std::vector<ExprPtr> args;
};

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct DimItem {
  Text name;
  bool isArray = false;         // Dim a() or Dim a(3)
  std::vector<ExprPtr> bounds;  // upper bounds; empty for a dynamic array
  Origin origin;
};

struct CaseClause {
  struct Test {
    ExprPtr value;
    ExprPtr upper;           // value To upper
    BinOp isOp = BinOp::Eq;  // Is <op> value
  };
  std::vector<Test> tests;  // empty: Case Else
  Block body;
  Origin origin;
};

struct Stmt {
  enum class Kind : std::uint8_t {
    Call,     // target (a call written as a statement)
    Assign,   // target = value
    Set,      // Set target = value
    Dim,      // items (also Public/Private at script or class level)
    ReDim,    // items, preserve
    Const,    // items[i].name = values[i]
    Erase,    // target
    If,       // conds[i] → blocks[i]; blocks.size() > conds.size(): Else
    Select,   // value, cases
    For,      // name = value To upper Step step: body
    ForEach,  // name In value: body
    Do,       // cond with whileCond/untilCond at top or bottom
    Exit,     // exitWhat
    With,     // value: body
    OnError,  // resumeNext
    Literal,  // literal chunk number
    Write,    // <%= value %>
    OptionExplicit,
  };
  Kind kind = Kind::Call;
  Origin origin;
  ExprPtr target;
  ExprPtr value;
  ExprPtr upper;
  ExprPtr step;
  Text name;
  std::vector<DimItem> items;
  std::vector<ExprPtr> values;
  std::vector<ExprPtr> conds;
  std::vector<Block> blocks;
  std::vector<CaseClause> cases;
  Block body;
  bool preserve = false;
  bool resumeNext = false;
  bool condAtTop = true;
  bool until = false;  // Do Until / Loop Until
  bool isPublic = true;
  Kw exitWhat = Kw::None;
  int literal = 0;
};

struct Param {
  Text name;
  bool byRef = true;
  bool isArray = false;
};

struct ProcDecl {
  enum class Kind : std::uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };
  Kind kind = Kind::Sub;
  Text name;
  std::vector<Param> params;
  Block body;
  bool isPublic = true;
  bool isDefault = false;
  Origin origin;
};

struct ClassDecl {
  Text name;
  std::vector<DimItem> fields;
  std::vector<bool> fieldPublic;
  std::vector<ProcDecl> procs;
  Origin origin;
};

struct Script {
  bool optionExplicit = false;
  Block body;  // the global code, Dim and Const statements included
  std::vector<ProcDecl> procs;
  std::vector<ClassDecl> classes;
};

}  // namespace vbscript
