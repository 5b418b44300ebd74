// The item-assignment rewrite: a small JavaScript tokenizer finds `target(args) = value` and
// `target(args) op= value` at statement level and turns them into `target.$$put(args, value)`.
#include "script_rewrite.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace host::jscript {
namespace {

enum class TokenKind { Identifier, Number, String, Regex, Punctuator };

struct Token {
  TokenKind kind;
  std::size_t begin;
  std::size_t end;
  bool newlineBefore;
};

bool isIdentifierStart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'$' ||
         c >= 0x80;
}
bool isIdentifierPart(char16_t c) { return isIdentifierStart(c) || (c >= u'0' && c <= u'9'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isLineBreak(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }

constexpr std::array<TextView, 27> kKeywords = {
    u"break",      u"case", u"catch",   u"continue", u"debugger", u"default", u"delete",
    u"do",         u"else", u"finally", u"for",      u"function", u"if",      u"in",
    u"instanceof", u"new",  u"return",  u"switch",   u"this",     u"throw",   u"try",
    u"typeof",     u"var",  u"void",    u"while",    u"with",     u"of"};

bool isKeyword(TextView word) {
  return std::find(kKeywords.begin(), kKeywords.end(), word) != kKeywords.end();
}

// Longest first, so that a prefix never wins over the whole operator.
constexpr std::array<TextView, 51> kPunctuators = {
    u">>>=", u"===", u"!==", u">>>", u"<<=", u">>=", u"**=", u"...", u"=>", u"==", u"!=",
    u"<=",   u">=",  u"&&",  u"||",  u"++",  u"--",  u"+=",  u"-=",  u"*=", u"/=", u"%=",
    u"&=",   u"|=",  u"^=",  u"<<",  u">>",  u"**",  u"{",   u"}",   u"(",  u")",  u"[",
    u"]",    u";",   u",",   u"<",   u">",   u"+",   u"-",   u"*",   u"%",  u"&",  u"|",
    u"^",    u"!",   u"~",   u"?",   u":",   u"=",   u"."};

class Tokenizer {
 public:
  explicit Tokenizer(TextView s) : s_(s) {}

  std::vector<Token> run() {
    std::vector<Token> tokens;
    bool newline = false;
    while (skipBlanksAndComments(newline)) {
      Token t = next(tokens);
      t.newlineBefore = newline;
      newline = false;
      tokens.push_back(t);
    }
    return tokens;
  }

 private:
  // Returns false at the end of the text.
  bool skipBlanksAndComments(bool& newline) {
    while (pos_ < s_.size()) {
      char16_t c = s_[pos_];
      if (isLineBreak(c)) {
        newline = true;
        ++pos_;
      } else if (c == u' ' || c == u'\t' || c == u'\f' || c == u'\v' || c == 0xA0 || c == 0xFEFF) {
        ++pos_;
      } else if (c == u'/' && at(1) == u'/') {
        while (pos_ < s_.size() && !isLineBreak(s_[pos_])) ++pos_;
      } else if (c == u'/' && at(1) == u'*') {
        std::size_t close = s_.find(u"*/", pos_ + 2);
        std::size_t stop = close == TextView::npos ? s_.size() : close + 2;
        if (std::any_of(s_.begin() + pos_, s_.begin() + stop, isLineBreak)) newline = true;
        pos_ = stop;
      } else {
        return true;
      }
    }
    return false;
  }

  char16_t at(std::size_t ahead) const {
    return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : u'\0';
  }

  Token next(const std::vector<Token>& before) {
    std::size_t begin = pos_;
    char16_t c = s_[pos_];
    TokenKind kind = TokenKind::Punctuator;
    if (isIdentifierStart(c)) {
      while (pos_ < s_.size() && isIdentifierPart(s_[pos_])) ++pos_;
      kind = TokenKind::Identifier;
    } else if (isDigit(c) || (c == u'.' && isDigit(at(1)))) {
      scanNumber();
      kind = TokenKind::Number;
    } else if (c == u'"' || c == u'\'' || c == u'`') {
      scanQuoted(c);
      kind = TokenKind::String;
    } else if (c == u'/' && regexAllowed(before)) {
      scanRegex();
      kind = TokenKind::Regex;
    } else {
      scanPunctuator();
    }
    return {kind, begin, pos_, false};
  }

  void scanNumber() {
    if (s_[pos_] == u'0' && (at(1) == u'x' || at(1) == u'X')) {
      pos_ += 2;
      while (pos_ < s_.size() && isIdentifierPart(s_[pos_])) ++pos_;
      return;
    }
    while (pos_ < s_.size() && (isDigit(s_[pos_]) || s_[pos_] == u'.')) ++pos_;
    if (pos_ < s_.size() && (s_[pos_] == u'e' || s_[pos_] == u'E')) {
      ++pos_;
      if (pos_ < s_.size() && (s_[pos_] == u'+' || s_[pos_] == u'-')) ++pos_;
      while (pos_ < s_.size() && isDigit(s_[pos_])) ++pos_;
    }
  }

  void scanQuoted(char16_t quote) {
    ++pos_;
    while (pos_ < s_.size() && s_[pos_] != quote) {
      if (s_[pos_] == u'\\') ++pos_;
      if (quote != u'`' && pos_ < s_.size() && isLineBreak(s_[pos_])) return;  // unterminated
      ++pos_;
    }
    if (pos_ < s_.size()) ++pos_;
  }

  void scanRegex() {
    ++pos_;
    bool inClass = false;
    while (pos_ < s_.size() && !isLineBreak(s_[pos_])) {
      char16_t c = s_[pos_++];
      if (c == u'\\') {
        if (pos_ < s_.size()) ++pos_;
      } else if (c == u'[') {
        inClass = true;
      } else if (c == u']') {
        inClass = false;
      } else if (c == u'/' && !inClass) {
        break;
      }
    }
    while (pos_ < s_.size() && isIdentifierPart(s_[pos_])) ++pos_;  // flags
  }

  void scanPunctuator() {
    for (TextView p : kPunctuators) {
      if (s_.substr(pos_, p.size()) == p) {
        pos_ += p.size();
        return;
      }
    }
    ++pos_;  // a character JavaScript does not know; the compiler reports it
  }

  // A slash starts a regular expression where an operand is expected.
  bool regexAllowed(const std::vector<Token>& before) const {
    if (before.empty()) return true;
    const Token& t = before.back();
    TextView text = s_.substr(t.begin, t.end - t.begin);
    switch (t.kind) {
      case TokenKind::Identifier:
        return isKeyword(text) && text != u"this";
      case TokenKind::Punctuator:
        return text != u")" && text != u"]" && text != u"}";
      default:
        return false;
    }
  }

  TextView s_;
  std::size_t pos_ = 0;
};

bool isAssignment(TextView op) {
  constexpr std::array<TextView, 12> ops = {u"=",  u"+=", u"-=", u"*=",  u"/=",  u"%=",
                                            u"&=", u"|=", u"^=", u"<<=", u">>=", u">>>="};
  return std::find(ops.begin(), ops.end(), op) != ops.end();
}

class Rewriter {
 public:
  explicit Rewriter(TextView s) : s_(s), tokens_(Tokenizer(s).run()) {}

  Text run() {
    Text out;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < tokens_.size();) {
      std::size_t next = tryRewrite(i, copied, out);
      if (next == i) {
        ++i;
      } else {
        i = next;
      }
    }
    out.append(s_.substr(copied));
    return out;
  }

 private:
  TextView text(std::size_t i) const {
    return s_.substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin);
  }
  TextView span(std::size_t from, std::size_t to) const { return s_.substr(from, to - from); }
  bool is(std::size_t i, TextView punct) const {
    return i < tokens_.size() && tokens_[i].kind == TokenKind::Punctuator && text(i) == punct;
  }
  bool isName(std::size_t i) const {
    return i < tokens_.size() && tokens_[i].kind == TokenKind::Identifier && !isKeyword(text(i));
  }

  // Index of the bracket closing the one at `open`, or tokens_.size().
  std::size_t matching(std::size_t open) const {
    int depth = 0;
    for (std::size_t i = open; i < tokens_.size(); ++i) {
      if (is(i, u"(") || is(i, u"[") || is(i, u"{")) ++depth;
      if (is(i, u")") || is(i, u"]") || is(i, u"}")) {
        if (--depth == 0) return i;
      }
    }
    return tokens_.size();
  }

  bool canEndExpression(std::size_t i) const {
    switch (tokens_[i].kind) {
      case TokenKind::Identifier:
        return !isKeyword(text(i)) || text(i) == u"this";
      case TokenKind::Punctuator:
        return is(i, u")") || is(i, u"]") || is(i, u"}") || is(i, u"++") || is(i, u"--");
      default:
        return true;
    }
  }

  // Whether a token at the start of a line continues the expression of the line before.
  bool continuesExpression(std::size_t i) const {
    if (tokens_[i].kind == TokenKind::Identifier)
      return text(i) == u"in" || text(i) == u"instanceof";
    if (tokens_[i].kind != TokenKind::Punctuator) return false;
    return !(is(i, u"++") || is(i, u"--") || is(i, u"!") || is(i, u"~") || is(i, u"{"));
  }

  // First token after the assigned expression that starts at `from`.
  std::size_t expressionEnd(std::size_t from) const {
    int depth = 0;
    int conditionals = 0;
    for (std::size_t i = from; i < tokens_.size(); ++i) {
      if (depth == 0) {
        if (is(i, u";") || is(i, u",") || is(i, u")") || is(i, u"]") || is(i, u"}")) return i;
        if (is(i, u":") && conditionals-- == 0) return i;
        if (i > from && tokens_[i].newlineBefore && canEndExpression(i - 1) &&
            !continuesExpression(i)) {
          return i;
        }
      }
      if (is(i, u"?")) ++conditionals;
      if (is(i, u"(") || is(i, u"[") || is(i, u"{")) ++depth;
      if (is(i, u")") || is(i, u"]") || is(i, u"}")) --depth;
    }
    return tokens_.size();
  }

  // Rewrites `a.b(args) op value` starting at token i; returns i when nothing matches.
  std::size_t tryRewrite(std::size_t i, std::size_t& copied, Text& out) {
    if (!isName(i) || (i > 0 && is(i - 1, u"."))) return i;
    std::size_t last = i;
    while (is(last + 1, u".") && last + 2 < tokens_.size() &&
           tokens_[last + 2].kind == TokenKind::Identifier) {
      last += 2;
    }
    std::size_t open = last + 1;
    if (!is(open, u"(")) return i;
    std::size_t close = matching(open);
    std::size_t op = close + 1;
    if (op >= tokens_.size() || tokens_[op].kind != TokenKind::Punctuator ||
        !isAssignment(text(op))) {
      return i;
    }
    std::size_t valueEnd = expressionEnd(op + 1);
    if (valueEnd == op + 1) return i;

    TextView callee = span(tokens_[i].begin, tokens_[last].end);
    Text args = Rewriter(span(tokens_[open].end, tokens_[close].begin)).run();
    std::size_t valueBegin = tokens_[op + 1].begin;
    std::size_t valueStop = tokens_[valueEnd - 1].end;
    Text value = Rewriter(span(valueBegin, valueStop)).run();
    TextView gap = span(tokens_[close].end, valueBegin);  // blanks around the operator

    out.append(span(copied, tokens_[i].begin));
    out.append(callee).append(u".").append(kPutMethod).append(u"(").append(args);
    if (args.find_first_not_of(u" \t\r\n") != Text::npos) out.append(u",");
    // Line breaks stay, so that script lines keep matching page lines.
    Text breaks;
    std::copy_if(gap.begin(), gap.end(), std::back_inserter(breaks), isLineBreak);
    TextView keptGap = breaks.empty() ? TextView(u" ") : TextView(breaks);
    TextView opText = text(op);
    if (opText == u"=") {
      out.append(keptGap).append(value);
    } else {
      TextView binary = opText.substr(0, opText.size() - 1);
      out.append(keptGap).append(callee).append(u"(").append(args).append(u") ");
      out.append(binary).append(u" (").append(value).append(u")");
    }
    out.append(u")");
    copied = valueStop;
    return valueEnd;
  }

  TextView s_;
  std::vector<Token> tokens_;
};

}  // namespace

Text rewriteItemAssignments(TextView code) { return Rewriter(code).run(); }

}  // namespace host::jscript
