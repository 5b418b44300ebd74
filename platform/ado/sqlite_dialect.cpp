#include "ado/sqlite_dialect.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "ado/sql_tokens.h"
#include "automation/date.h"

namespace ado::sql {
namespace {

struct Edit {
  Text before;
  bool drop = false;
  std::optional<Text> replacement;
  Text after;
};

bool isComparison(const Token& t) {
  static constexpr TextView kOps[] = {u"=",  u"<",  u">",  u"<=", u">=",
                                      u"<>", u"!=", u"==", u"!<", u"!>"};
  if (t.kind != TokenKind::Symbol) return false;
  for (TextView op : kOps) {
    if (t.text == op) return true;
  }
  return false;
}

// Works on the significant tokens (no blanks or comments), remembering the parenthesis depth
// of each, and records its changes as edits of the original tokens.
class Rewriter {
 public:
  Rewriter(TextView sql, const DateColumns& dates)
      : tokens_(tokenize(sql)), editOf_(tokens_.size(), kNone), dates_(dates) {
    sig_.reserve(tokens_.size());
    depth_.reserve(tokens_.size());
    int depth = 0;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      const Token& t = tokens_[i];
      if (t.kind == TokenKind::Blank || t.kind == TokenKind::Comment) continue;
      if (isSymbol(t, u")")) --depth;
      sig_.push_back(i);
      depth_.push_back(depth);
      if (isSymbol(t, u"(")) ++depth;
    }
  }

  Text run() {
    rewriteStatementHeads();
    for (std::size_t k = 0; k < sig_.size(); ++k) {
      if (isWord(tok(k), u"select")) rewriteSelect(k);
    }
    normaliseDateComparisons();
    spellOutNuls();
    return output();
  }

 private:
  const Token& tok(std::size_t k) const { return tokens_[sig_[k]]; }
  Edit& edit(std::size_t k) { return editAt(sig_[k]); }
  // The edit of token i, made on first use: most tokens are never edited.
  Edit& editAt(std::size_t i) {
    if (editOf_[i] == kNone) {
      editOf_[i] = edits_.size();
      edits_.emplace_back();
    }
    return edits_[editOf_[i]];
  }
  bool word(std::size_t k, TextView w) const { return k < sig_.size() && isWord(tok(k), w); }
  bool symbol(std::size_t k, TextView s) const { return k < sig_.size() && isSymbol(tok(k), s); }

  // Drops significant tokens [from, to) and the blanks and comments among and after them.
  void dropRange(std::size_t from, std::size_t to) {
    std::size_t end = to < sig_.size() ? sig_[to] : tokens_.size();
    for (std::size_t i = sig_[from]; i < end; ++i) editAt(i).drop = true;
  }

  // The end of a select's scope: the closing parenthesis or ';' that ends its depth.
  std::size_t scopeEnd(std::size_t k) const {
    int d = depth_[k];
    for (std::size_t e = k + 1; e < sig_.size(); ++e) {
      if (depth_[e] < d || (depth_[e] == d && symbol(e, u";"))) return e;
    }
    return sig_.size();
  }

  std::size_t findAtDepth(std::size_t from, std::size_t to, int d, TextView w) const {
    for (std::size_t k = from; k < to; ++k) {
      if (depth_[k] == d && word(k, w)) return k;
    }
    return to;
  }

  void rewriteStatementHeads() {
    for (std::size_t k = 0; k < sig_.size(); ++k) {
      if (k > 0 && !(depth_[k] == 0 && symbol(k - 1, u";"))) continue;
      if (word(k, u"insert") && k + 1 < sig_.size() && !word(k + 1, u"into")) {
        edit(k + 1).before += u"into ";
      }
      if (word(k, u"delete") && k + 1 < sig_.size() && !word(k + 1, u"from")) {
        edit(k + 1).before += u"from ";
      }
      if (word(k, u"insert")) normaliseInsertedDates(k);
    }
  }

  void rewriteSelect(std::size_t k) {
    int d = depth_[k];
    std::size_t end = scopeEnd(k);
    bool compound = findAtDepth(k + 1, end, d, u"union") < end ||
                    findAtDepth(k + 1, end, d, u"except") < end ||
                    findAtDepth(k + 1, end, d, u"intersect") < end;
    std::size_t list = k + 1;
    if (word(list, u"distinct") || word(list, u"all")) ++list;
    std::optional<Text> top;
    if (word(list, u"top") && list + 1 < end && tok(list + 1).kind == TokenKind::Number &&
        !compound) {
      top = Text(tok(list + 1).text);
      dropRange(list, list + 2);
      list += 2;
    }
    rewriteAliases(list, findAtDepth(list, end, d, u"from"), d);
    if (top && end > list) edit(end - 1).after += u" LIMIT " + *top;
  }

  // Alias=expr items of a select list [from, to) become expr AS Alias.
  void rewriteAliases(std::size_t from, std::size_t to, int d) {
    std::size_t item = from;
    for (std::size_t k = from; k <= to; ++k) {
      if (k < to && !(depth_[k] == d && symbol(k, u","))) continue;
      if (k >= item + 3 && symbol(item + 1, u"=") &&
          (tok(item).kind == TokenKind::Word || tok(item).kind == TokenKind::QuotedName)) {
        Text alias(tok(item).text);
        dropRange(item, item + 2);
        edit(k - 1).after += u" AS " + alias;
      }
      item = k + 1;
    }
  }

  bool isDateColumn(std::size_t k) const {
    if (k >= sig_.size() || dates_.empty()) return false;
    const Token& t = tok(k);
    if (t.kind != TokenKind::Word && t.kind != TokenKind::QuotedName) return false;
    return dates_.count(automation::lower(unquotedName(t))) > 0;
  }

  // The column of a qualified name starting at k: planStartTime in p.planStartTime.
  std::size_t lastNamePart(std::size_t k) const {
    while (symbol(k + 1, u".") && k + 2 < sig_.size()) k += 2;
    return k;
  }

  void normaliseLiteral(std::size_t k) {
    if (tok(k).kind != TokenKind::String) return;
    if (auto canonical = canonicalDateLiteral(tok(k).text)) edit(k).replacement = *canonical;
  }

  // col op 'literal', 'literal' op col, col between 'a' and 'b'.
  void normaliseDateComparisons() {
    for (std::size_t k = 0; k < sig_.size(); ++k) {
      if (tok(k).kind != TokenKind::String) continue;
      bool compared =
          (k >= 2 && isComparison(tok(k - 1)) && isDateColumn(k - 2)) ||
          (k + 2 < sig_.size() && isComparison(tok(k + 1)) && isDateColumn(lastNamePart(k + 2)));
      bool between =
          (k >= 2 && word(k - 1, u"between") && isDateColumn(k - 2)) ||
          (k >= 4 && word(k - 1, u"and") && word(k - 3, u"between") && isDateColumn(k - 4));
      if (compared || between) normaliseLiteral(k);
    }
  }

  // insert [into] T (c1, c2, ...) values (v1, v2, ...): a value that is one literal and goes
  // into a date column is normalised.
  void normaliseInsertedDates(std::size_t k) {
    std::size_t open = k + 1;
    while (open < sig_.size() && !symbol(open, u"(")) ++open;
    std::vector<bool> dateColumn;
    std::size_t close = open + 1;
    for (; close < sig_.size() && depth_[close] > depth_[open]; ++close) {
      if (symbol(close, u",")) continue;
      dateColumn.push_back(isDateColumn(close));
    }
    if (!word(close + 1, u"values") || !symbol(close + 2, u"(")) return;
    std::size_t column = 0;
    std::size_t itemStart = close + 3;
    for (std::size_t v = close + 3; v < sig_.size() && depth_[v] > depth_[close + 2]; ++v) {
      if (depth_[v] != depth_[close + 2] + 1 || !symbol(v, u",")) continue;
      if (v == itemStart + 1 && column < dateColumn.size() && dateColumn[column]) {
        normaliseLiteral(itemStart);
      }
      ++column;
      itemStart = v + 1;
    }
    std::size_t last = close + 3;
    while (last < sig_.size() && depth_[last] > depth_[close + 2]) ++last;
    if (last == itemStart + 1 && column < dateColumn.size() && dateColumn[column]) {
      normaliseLiteral(itemStart);
    }
  }

  void spellOutNuls() {
    for (std::size_t k = 0; k < sig_.size(); ++k) {
      const TextView literal = tok(k).text;
      if (tok(k).kind != TokenKind::String || literal.find(u'\0') == TextView::npos ||
          !isClosedLiteral(literal) || edit(k).replacement) {
        continue;
      }
      Text spelled = u"(";
      const auto pieces = automation::split(literal.substr(1, literal.size() - 2), Text(1, u'\0'));
      for (std::size_t p = 0; p < pieces.size(); ++p) {
        if (p > 0) spelled += u"||char(0)||";
        spelled += u"'" + pieces[p] + u"'";
      }
      edit(k).replacement = spelled + u")";
    }
  }

  // A String token runs to the end of the text when its closing quote is missing; a closed one
  // ends in a quote that no other quote doubles.
  static bool isClosedLiteral(TextView literal) {
    if (literal.size() < 2 || literal.back() != u'\'') return false;
    const TextView inner = literal.substr(1, literal.size() - 2);
    return std::count(inner.begin(), inner.end(), u'\'') % 2 == 0;
  }

  Text output() const {
    Text out;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      if (editOf_[i] == kNone) {
        out += tokens_[i].text;
        continue;
      }
      const Edit& e = edits_[editOf_[i]];
      out += e.before;
      if (!e.drop) out += e.replacement ? TextView(*e.replacement) : tokens_[i].text;
      out += e.after;
    }
    return out;
  }

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::vector<Token> tokens_;
  std::vector<std::size_t> editOf_;  // per token: its entry in edits_, or kNone
  std::vector<Edit> edits_;
  std::vector<std::size_t> sig_;
  std::vector<int> depth_;
  const DateColumns& dates_;
};

// The statement without a final ';' or trailing comments, so that it can stand inside a
// sub-select.
TextView withoutTerminator(TextView sql) {
  std::size_t end = 0;
  std::size_t offset = 0;
  for (const Token& t : tokenize(sql)) {
    offset += t.text.size();
    if (t.kind != TokenKind::Blank && t.kind != TokenKind::Comment && !isSymbol(t, u";")) {
      end = offset;
    }
  }
  return sql.substr(0, end);
}

// Counting needs no order: a final order by clause (one no LIMIT depends on) goes, so that
// counting a sorted list does not sort it.
TextView withoutFinalOrderBy(TextView sql) {
  std::vector<Token> tokens = tokenize(sql);
  std::size_t orderAt = TextView::npos;
  int depth = 0;
  const Token* previous = nullptr;
  for (const Token& t : tokens) {
    if (isSymbol(t, u"(")) ++depth;
    if (isSymbol(t, u")")) --depth;
    if (depth == 0 && isWord(t, u"limit")) orderAt = TextView::npos;
    if (depth == 0 && previous && isWord(*previous, u"order") && isWord(t, u"by")) {
      orderAt = static_cast<std::size_t>(previous->text.data() - sql.data());
    }
    if (t.kind != TokenKind::Blank && t.kind != TokenKind::Comment) previous = &t;
  }
  return sql.substr(0, orderAt);
}

}  // namespace

Text toSqlite(TextView sql, const DateColumns& dateColumns) {
  return Rewriter(sql, dateColumns).run();
}

Text fromRow(TextView adapted, std::int64_t skip) {
  return u"select * from (" + Text(withoutTerminator(adapted)) + u") limit -1 offset " +
         automation::fromUtf8(std::to_string(skip));
}

Text countRows(TextView adapted) {
  return u"select count(*) from (" + Text(withoutFinalOrderBy(withoutTerminator(adapted))) + u")";
}

bool isSingleStatement(TextView sql) {
  bool ended = false;
  for (const Token& t : tokenize(sql)) {
    if (t.kind == TokenKind::Blank || t.kind == TokenKind::Comment) continue;
    if (ended && !isSymbol(t, u";")) return false;
    if (isSymbol(t, u";")) ended = true;
  }
  return true;
}

bool endsEarlyForSqlite(TextView adapted) { return adapted.find(u'\0') != TextView::npos; }

std::optional<Text> canonicalDateLiteral(TextView quoted) {
  if (quoted.size() < 2 || quoted.front() != u'\'' || quoted.back() != u'\'') return std::nullopt;
  auto date = automation::parseDate(quoted.substr(1, quoted.size() - 2));
  if (!date) return std::nullopt;
  char buffer[32];
  const int n =
      std::snprintf(buffer, sizeof buffer, "'%04d-%02d-%02d %02d:%02d:%02d'", date->year(),
                    date->month(), date->day(), date->hour(), date->minute(), date->second());
  return Text(buffer, buffer + n);  // ASCII digits and punctuation
}

}  // namespace ado::sql
