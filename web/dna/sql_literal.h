// Values enter the statements of the class as text. These two helpers are the only way they
// do, so that a value can stand for a value and never for more of the statement.
#pragma once

#include "automation/variant.h"

namespace dna {

// The text of `v`, unchanged, when it reads as a plain integer: blanks, an optional sign,
// digits, blanks. Anything else (an empty value included) raises the type-mismatch error.
// Integer columns and key values stand unquoted in a statement, hence this check.
automation::Text integerLiteral(const automation::Variant& v);

// `s` with every apostrophe doubled, for use between single quotes. Request values arrive with
// their apostrophes already turned into grave accents; values read back from the database
// (an edit form followed by a write on the same page) may still hold them.
automation::Text doubleApostrophes(automation::TextView s);

}  // namespace dna
