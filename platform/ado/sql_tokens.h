// A tokenizer for the SQL the components send: enough of the lexical grammar that a rewrite
// never looks inside quoted text, [bracketed] or "quoted" names, or comments.
#pragma once

#include <vector>

#include "automation/text.h"

namespace ado::sql {

using automation::Text;
using automation::TextView;

enum class TokenKind { Word, QuotedName, String, Number, Symbol, Blank, Comment };

struct Token {
  TokenKind kind;
  TextView text;  // a view into the tokenized statement
};

// Concatenating the texts gives the statement back, byte for byte.
std::vector<Token> tokenize(TextView sql);

bool isWord(const Token& t, TextView keyword);  // case-insensitive
bool isSymbol(const Token& t, TextView symbol);
// The name a Word or QuotedName stands for, without brackets or quotes.
Text unquotedName(const Token& t);

}  // namespace ado::sql
