// The lexer of VBScript source: identifiers and keywords, numbers in decimal, &h and &o forms,
// strings with doubled quotes, #date# literals, comments (' and Rem), line continuation with
// " _", and ':' as a statement separator. Piece boundaries of a page end statements too.
#include "lexer.h"

#include <cmath>
#include <cstdlib>

#include "dates.h"
#include "errors.h"

namespace vbscript {

namespace {

struct KeywordEntry {
  const char16_t* word;
  Kw kw;
};

constexpr KeywordEntry kKeywords[] = {
    {u"and", Kw::And},
    {u"byref", Kw::ByRef},
    {u"byval", Kw::ByVal},
    {u"call", Kw::Call},
    {u"case", Kw::Case},
    {u"class", Kw::Class},
    {u"const", Kw::Const},
    {u"default", Kw::Default},
    {u"dim", Kw::Dim},
    {u"do", Kw::Do},
    {u"each", Kw::Each},
    {u"else", Kw::Else},
    {u"elseif", Kw::ElseIf},
    {u"empty", Kw::Empty},
    {u"end", Kw::End},
    {u"eqv", Kw::Eqv},
    {u"erase", Kw::Erase},
    {u"error", Kw::Error},
    {u"exit", Kw::Exit},
    {u"explicit", Kw::Explicit},
    {u"false", Kw::False},
    {u"for", Kw::For},
    {u"function", Kw::Function},
    {u"get", Kw::Get},
    {u"goto", Kw::GoTo},
    {u"if", Kw::If},
    {u"imp", Kw::Imp},
    {u"in", Kw::In},
    {u"is", Kw::Is},
    {u"let", Kw::Let},
    {u"loop", Kw::Loop},
    {u"me", Kw::Me},
    {u"mod", Kw::Mod},
    {u"new", Kw::New},
    {u"next", Kw::Next},
    {u"not", Kw::Not},
    {u"nothing", Kw::Nothing},
    {u"null", Kw::Null},
    {u"on", Kw::On},
    {u"option", Kw::Option},
    {u"or", Kw::Or},
    {u"preserve", Kw::Preserve},
    {u"private", Kw::Private},
    {u"property", Kw::Property},
    {u"public", Kw::Public},
    {u"redim", Kw::ReDim},
    {u"resume", Kw::Resume},
    {u"select", Kw::Select},
    {u"set", Kw::Set},
    {u"step", Kw::Step},
    {u"sub", Kw::Sub},
    {u"then", Kw::Then},
    {u"to", Kw::To},
    {u"true", Kw::True},
    {u"until", Kw::Until},
    {u"wend", Kw::Wend},
    {u"while", Kw::While},
    {u"with", Kw::With},
    {u"xor", Kw::Xor},
};

bool isLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c > 0x7F;
}
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isNameChar(char16_t c) { return isLetter(c) || isDigit(c) || c == u'_'; }
bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0xA0 || c == 0xFEFF; }

class Lexer {
 public:
  Lexer(std::vector<Token>& out) : out_(out) {}

  void code(const Piece& p) {
    s_ = p.text;
    i_ = 0;
    origin_ = p.origin;
    atStart_ = true;
    while (i_ < s_.size()) step();
  }

  void newline() {
    if (!out_.empty() && out_.back().kind == Tok::Newline) {
      out_.back().ival = 0;  // a line break after a ':' still ends the line
      return;
    }
    Token t;
    t.kind = Tok::Newline;
    t.origin = origin_;
    out_.push_back(std::move(t));
  }

  void push(Token t) {
    t.origin = origin_;
    t.spaceBefore = space_ || atStart_;
    space_ = false;
    atStart_ = false;
    out_.push_back(std::move(t));
  }

  [[noreturn]] void fail(int number) {
    ScriptError e{number, Text(errorText(number)), kCompileSource, origin_};
    throw CompileError(std::move(e));
  }

  Origin origin_;

 private:
  char16_t at(std::size_t k) const { return k < s_.size() ? s_[k] : 0; }

  void step() {
    char16_t c = s_[i_];
    if (isBlank(c)) {
      ++i_;
      space_ = true;
      return;
    }
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && at(i_ + 1) == u'\n') ++i_;
      ++i_;
      newline();
      ++origin_.line;
      atStart_ = true;
      return;
    }
    if (c == u':') {
      ++i_;
      std::size_t before = out_.size();
      newline();
      if (out_.size() > before) out_.back().ival = 1;  // ':' separates statements of one line
      atStart_ = true;
      return;
    }
    if (c == u'\'') return comment();
    if (c == u'_' && continuation()) return;
    if (isLetter(c)) return word();
    if (c == u'[') return bracketedName();
    if (isDigit(c) || (c == u'.' && isDigit(at(i_ + 1)))) return number();
    if (c == u'"') return string();
    if (c == u'#') return date();
    if (c == u'&' && (at(i_ + 1) == u'h' || at(i_ + 1) == u'H' || at(i_ + 1) == u'o' ||
                      at(i_ + 1) == u'O' || isDigit(at(i_ + 1)))) {
      return radixNumber();
    }
    return op();
  }

  void comment() {
    while (i_ < s_.size() && s_[i_] != u'\r' && s_[i_] != u'\n') ++i_;
  }

  // " _" at the end of a line joins it with the next.
  bool continuation() {
    std::size_t k = i_ + 1;
    while (k < s_.size() && isBlank(s_[k])) ++k;
    if (k < s_.size() && s_[k] != u'\r' && s_[k] != u'\n') return false;
    if (at(k) == u'\r' && at(k + 1) == u'\n') ++k;
    i_ = k + 1;
    ++origin_.line;
    space_ = true;
    return true;
  }

  void word() {
    std::size_t b = i_;
    while (i_ < s_.size() && isNameChar(s_[i_])) ++i_;
    Token t;
    t.kind = Tok::Name;
    t.text = s_.substr(b, i_ - b);
    t.kw = keywordOf(t.text);
    if (t.kw == Kw::None && automation::equalsIgnoreCase(t.text, u"rem") &&
        !(!out_.empty() && out_.back().op == OpTok::Dot && !space_)) {
      comment();
      return;
    }
    push(std::move(t));
  }

  void bracketedName() {
    std::size_t b = ++i_;
    while (i_ < s_.size() && s_[i_] != u']' && s_[i_] != u'\n') ++i_;
    if (at(i_) != u']') fail(1007);
    Token t;
    t.kind = Tok::Name;
    t.text = s_.substr(b, i_ - b);
    ++i_;
    push(std::move(t));
  }

  void number() {
    std::size_t b = i_;
    bool floating = false;
    while (isDigit(at(i_))) ++i_;
    if (at(i_) == u'.') {
      floating = true;
      ++i_;
      while (isDigit(at(i_))) ++i_;
    }
    if ((at(i_) == u'e' || at(i_) == u'E') &&
        (isDigit(at(i_ + 1)) ||
         ((at(i_ + 1) == u'+' || at(i_ + 1) == u'-') && isDigit(at(i_ + 2))))) {
      floating = true;
      i_ += 2;
      while (isDigit(at(i_))) ++i_;
    }
    std::string ascii(s_.begin() + b, s_.begin() + i_);
    if (isNameChar(at(i_))) fail(1031);
    Token t;
    double d = std::strtod(ascii.c_str(), nullptr);
    if (!std::isfinite(d)) fail(1031);
    if (!floating && d <= 2147483647.0) {
      t.kind = Tok::Integer;
      t.ival = std::strtoll(ascii.c_str(), nullptr, 10);
    } else {
      t.kind = Tok::Number;
      t.num = d;
    }
    push(std::move(t));
  }

  // &hFF, &o17, &17; a trailing & is allowed. Values up to &hFFFF are Integer bit patterns,
  // up to &hFFFFFFFF Long ones, as the runtime reads them.
  void radixNumber() {
    ++i_;
    int radix = 8;
    if (at(i_) == u'h' || at(i_) == u'H')
      radix = 16, ++i_;
    else if (at(i_) == u'o' || at(i_) == u'O')
      ++i_;
    std::uint64_t v = 0;
    std::size_t digits = 0;
    for (;; ++i_, ++digits) {
      char16_t c = at(i_);
      int d = isDigit(c)                 ? c - u'0'
              : (c >= u'a' && c <= u'f') ? c - u'a' + 10
              : (c >= u'A' && c <= u'F') ? c - u'A' + 10
                                         : 99;
      if (d >= radix) break;
      v = v * radix + d;
      if (v > 0xFFFFFFFFull) fail(1031);
    }
    if (digits == 0) fail(1031);
    if (at(i_) == u'&') ++i_;
    Token t;
    t.kind = Tok::Integer;
    t.hexLiteral = true;
    t.ival = v <= 0xFFFF ? static_cast<std::int16_t>(v) : static_cast<std::int32_t>(v);
    push(std::move(t));
  }

  void string() {
    Text value;
    ++i_;
    for (;;) {
      if (i_ >= s_.size() || s_[i_] == u'\n' || s_[i_] == u'\r') fail(1033);
      if (s_[i_] == u'"') {
        if (at(i_ + 1) == u'"') {
          value += u'"';
          i_ += 2;
          continue;
        }
        ++i_;
        break;
      }
      value += s_[i_++];
    }
    Token t;
    t.kind = Tok::String;
    t.text = std::move(value);
    push(std::move(t));
  }

  void date() {
    std::size_t b = ++i_;
    while (i_ < s_.size() && s_[i_] != u'#' && s_[i_] != u'\n') ++i_;
    if (at(i_) != u'#') fail(1032);
    auto d = parseDateText(TextView(s_).substr(b, i_ - b));
    if (!d) fail(1032);
    ++i_;
    Token t;
    t.kind = Tok::DateLit;
    t.num = d->serial();
    push(std::move(t));
  }

  void op() {
    char16_t c = s_[i_++];
    OpTok o = OpTok::None;
    switch (c) {
      case u'&':
        o = OpTok::Amp;
        break;
      case u'+':
        o = OpTok::Plus;
        break;
      case u'-':
        o = OpTok::Minus;
        break;
      case u'*':
        o = OpTok::Star;
        break;
      case u'/':
        o = OpTok::Slash;
        break;
      case u'\\':
        o = OpTok::Backslash;
        break;
      case u'^':
        o = OpTok::Caret;
        break;
      case u'=':
        o = OpTok::Eq;
        break;
      case u'(':
        o = OpTok::LParen;
        break;
      case u')':
        o = OpTok::RParen;
        break;
      case u',':
        o = OpTok::Comma;
        break;
      case u'.':
        o = OpTok::Dot;
        break;
      case u'<':
        if (at(i_) == u'>')
          ++i_, o = OpTok::Ne;
        else if (at(i_) == u'=')
          ++i_, o = OpTok::Le;
        else
          o = OpTok::Lt;
        break;
      case u'>':
        if (at(i_) == u'=')
          ++i_, o = OpTok::Ge;
        else if (at(i_) == u'<')
          ++i_, o = OpTok::Ne;
        else
          o = OpTok::Gt;
        break;
      default:
        --i_;
        fail(1032);
    }
    Token t;
    t.kind = Tok::Op;
    t.op = o;
    push(std::move(t));
  }

  std::vector<Token>& out_;
  TextView s_;
  std::size_t i_ = 0;
  bool space_ = false;
  bool atStart_ = true;
};

}  // namespace

Kw keywordOf(TextView word) {
  if (word.size() < 2 || word.size() > 8) return Kw::None;
  char16_t lowered[8];
  for (std::size_t k = 0; k < word.size(); ++k) {
    char16_t c = word[k];
    lowered[k] = c >= u'A' && c <= u'Z' ? c + 32 : c;
  }
  TextView w(lowered, word.size());
  for (const auto& e : kKeywords) {
    if (w == e.word) return e.kw;
  }
  return Kw::None;
}

std::vector<Token> tokenize(std::span<const Piece> pieces) {
  std::vector<Token> out;
  Lexer lexer(out);
  for (const Piece& p : pieces) {
    lexer.origin_ = p.origin;
    switch (p.kind) {
      case Piece::Kind::Code:
        lexer.code(p);
        lexer.newline();
        break;
      case Piece::Kind::Literal: {
        Token t;
        t.kind = Tok::Literal;
        t.ival = p.literal;
        lexer.push(std::move(t));
        lexer.newline();
        break;
      }
      case Piece::Kind::Expression: {
        Token b;
        b.kind = Tok::WriteBegin;
        lexer.push(std::move(b));
        lexer.code(p);
        Token e;
        e.kind = Tok::WriteEnd;
        lexer.push(std::move(e));
        lexer.newline();
        break;
      }
    }
  }
  Token end;
  end.kind = Tok::End;
  lexer.push(std::move(end));
  return out;
}

}  // namespace vbscript
