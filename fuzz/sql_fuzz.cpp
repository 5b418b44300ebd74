// Fuzzes the SQL tokenizer and the SQLite dialect adapter with arbitrary statements. The first
// byte picks how the rest is read: as UTF-8 (the shapes the components send, with request
// values inside) or as raw UTF-16 code units (NULs, lone surrogates, anything). Besides never
// crashing, the adapter must keep what it promises:
//   - the tokens of any text give the text back, none of them empty;
//   - a NUL that stands inside a closed literal never reaches SQLite (which would end the
//     statement there), and a statement without NULs gets none;
//   - the rewritten statement, the one reading from a row on and the one counting its rows
//     tokenize back to themselves as well.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ado/sql_tokens.h"
#include "ado/sqlite_dialect.h"

namespace {

using automation::Text;
using automation::TextView;
using namespace ado::sql;

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken invariant: %s\n", what);
    abort();
  }
}

Text statementOf(const std::uint8_t* data, std::size_t size) {
  if (data[0] & 1) {
    return automation::fromUtf8(
        std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  }
  Text units((size - 1) / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[1 + 2 * i] | data[2 + 2 * i] << 8);
  }
  return units;
}

void requireTokensGiveBack(TextView sql) {
  Text joined;
  for (const Token& t : tokenize(sql)) {
    require(!t.text.empty(), "no token is empty");
    require(t.text.data() == sql.data() + joined.size(), "tokens follow each other");
    joined += t.text;
    if (t.kind == TokenKind::String) canonicalDateLiteral(t.text);
    unquotedName(t);
  }
  require(joined == sql, "the tokens give the statement back");
}

// A closed literal ends in a quote no other quote doubles.
bool isClosedLiteral(TextView literal) {
  if (literal.size() < 2 || literal.back() != u'\'') return false;
  std::size_t quotes = 0;
  for (char16_t c : literal.substr(1, literal.size() - 2)) quotes += c == u'\'';
  return quotes % 2 == 0;
}

bool nulsOnlyInsideLiterals(TextView sql) {
  for (const Token& t : tokenize(sql)) {
    if (t.text.find(u'\0') == TextView::npos) continue;
    if (t.kind != TokenKind::String || !isClosedLiteral(t.text)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Text sql = statementOf(data, size);
  requireTokensGiveBack(sql);
  isSingleStatement(sql);

  static const DateColumns dates{u"planstarttime", u"planendtime", u"d"};
  const Text adapted = toSqlite(sql, (data[0] & 2) ? dates : DateColumns{});
  requireTokensGiveBack(adapted);
  if (nulsOnlyInsideLiterals(sql)) {
    require(!endsEarlyForSqlite(adapted), "a NUL inside a literal is spelled out");
  }
  requireTokensGiveBack(fromRow(adapted, 40));
  requireTokensGiveBack(countRows(adapted));
  return 0;
}
