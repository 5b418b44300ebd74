#include "ado/sql_tokens.h"

namespace ado::sql {
namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isWordStart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'@' ||
         c == u'#' || c >= 0x80;
}
bool isWordPart(char16_t c) { return isWordStart(c) || isDigit(c) || c == u'$'; }

class Lexer {
 public:
  explicit Lexer(TextView sql) : s_(sql) {}

  std::vector<Token> run() {
    std::vector<Token> tokens;
    while (i_ < s_.size()) {
      std::size_t start = i_;
      TokenKind kind = scan();
      tokens.push_back({kind, s_.substr(start, i_ - start)});
    }
    return tokens;
  }

 private:
  char16_t at(std::size_t k) const { return k < s_.size() ? s_[k] : u'\0'; }

  TokenKind scan() {
    char16_t c = s_[i_];
    if (isBlank(c)) return skipWhile(isBlank), TokenKind::Blank;
    if (c == u'-' && at(i_ + 1) == u'-') return lineComment();
    if (c == u'/' && at(i_ + 1) == u'*') return blockComment();
    if (c == u'\'') return quoted(u'\'', TokenKind::String);
    if (c == u'"') return quoted(u'"', TokenKind::QuotedName);
    if (c == u'`') return quoted(u'`', TokenKind::QuotedName);
    if (c == u'[') return quoted(u']', TokenKind::QuotedName);
    if (isDigit(c) || (c == u'.' && isDigit(at(i_ + 1)))) return number();
    if (isWordStart(c)) return skipWhile(isWordPart), TokenKind::Word;
    return symbol();
  }

  void skipWhile(bool (*pred)(char16_t)) {
    while (i_ < s_.size() && pred(s_[i_])) ++i_;
  }

  TokenKind lineComment() {
    while (i_ < s_.size() && s_[i_] != u'\n') ++i_;
    return TokenKind::Comment;
  }

  TokenKind blockComment() {
    std::size_t end = s_.find(u"*/", i_ + 2);
    i_ = end == TextView::npos ? s_.size() : end + 2;
    return TokenKind::Comment;
  }

  // A doubled closing character stands for itself ('it''s', [a]]b]).
  TokenKind quoted(char16_t close, TokenKind kind) {
    ++i_;
    while (i_ < s_.size()) {
      if (s_[i_++] != close) continue;
      if (at(i_) != close) break;
      ++i_;
    }
    return kind;
  }

  TokenKind number() {
    while (i_ < s_.size() &&
           (isWordPart(s_[i_]) || s_[i_] == u'.' ||
            ((s_[i_] == u'+' || s_[i_] == u'-') && (s_[i_ - 1] == u'e' || s_[i_ - 1] == u'E')))) {
      ++i_;
    }
    return TokenKind::Number;
  }

  TokenKind symbol() {
    static constexpr TextView kPairs[] = {u"<=", u">=", u"<>", u"!=", u"==", u"||", u"!<", u"!>"};
    for (TextView pair : kPairs) {
      if (s_.substr(i_, 2) == pair) {
        i_ += 2;
        return TokenKind::Symbol;
      }
    }
    ++i_;
    return TokenKind::Symbol;
  }

  TextView s_;
  std::size_t i_ = 0;
};

char16_t lowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

}  // namespace

std::vector<Token> tokenize(TextView sql) { return Lexer(sql).run(); }

bool isWord(const Token& t, TextView keyword) {
  if (t.kind != TokenKind::Word || t.text.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    if (lowerAscii(t.text[i]) != lowerAscii(keyword[i])) return false;
  }
  return true;
}

bool isSymbol(const Token& t, TextView symbol) {
  return t.kind == TokenKind::Symbol && t.text == symbol;
}

Text unquotedName(const Token& t) {
  if (t.kind != TokenKind::QuotedName || t.text.size() < 2) return Text(t.text);
  char16_t close = t.text.front() == u'[' ? u']' : t.text.front();
  Text inner(t.text.substr(1, t.text.size() - 2));
  Text doubled{close, close};
  return automation::replaceAll(inner, doubled, Text(1, close));
}

}  // namespace ado::sql
