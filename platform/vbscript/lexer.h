// The lexer: turns the pieces of a page into one stream of tokens. Literal chunks and <%= %>
// writes become tokens of their own, and every piece ends its statement, so the parser sees
// one program. Keywords are recognised without regard to case; after a dot any word is a
// member name (Response.End).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine.h"

namespace vbscript {

enum class Kw : std::uint8_t {
  None,
  And,
  ByRef,
  ByVal,
  Call,
  Case,
  Class,
  Const,
  Default,
  Dim,
  Do,
  Each,
  Else,
  ElseIf,
  Empty,
  End,
  Eqv,
  Erase,
  Error,
  Exit,
  Explicit,
  False,
  For,
  Function,
  Get,
  GoTo,
  If,
  Imp,
  In,
  Is,
  Let,
  Loop,
  Me,
  Mod,
  New,
  Next,
  Not,
  Nothing,
  Null,
  On,
  Option,
  Or,
  Preserve,
  Private,
  Property,
  Public,
  ReDim,
  Resume,
  Select,
  Set,
  Step,
  Sub,
  Then,
  To,
  True,
  Until,
  Wend,
  While,
  With,
  Xor
};

enum class Tok : std::uint8_t {
  End,         // end of the program
  Newline,     // end of a statement: a line break, ':' (ival 1) or the end of a piece
  Name,        // identifier or keyword (kw tells which)
  Integer,     // integer literal (ival; Integer or Long by its size)
  Number,      // floating literal (num)
  String,      // string literal (text)
  DateLit,     // #...# (num holds the date serial)
  Op,          // operator or punctuation (op)
  Literal,     // a literal chunk of the page (ival = chunk index)
  WriteBegin,  // start of a <%= %> expression
  WriteEnd,    // its end
};

enum class OpTok : std::uint8_t {
  None,
  Amp,
  Plus,
  Minus,
  Star,
  Slash,
  Backslash,
  Caret,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  LParen,
  RParen,
  Comma,
  Dot
};

struct Token {
  Tok kind = Tok::End;
  Kw kw = Kw::None;
  OpTok op = OpTok::None;
  bool spaceBefore = false;  // whitespace (or a statement start) right before the token
  bool hexLiteral = false;   // &h / &o literal: its 16/32-bit pattern decides its sign
  std::int64_t ival = 0;
  double num = 0;
  Text text;
  Origin origin;
};

// Throws CompileError on an invalid character, number, date or an unterminated string.
std::vector<Token> tokenize(std::span<const Piece> pieces);

Kw keywordOf(TextView word);

}  // namespace vbscript
