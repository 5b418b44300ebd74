// Values enter the statements of the classes as text. These two helpers are the only way they
// do, so that a value can stand for a value and never for more of the statement.
#pragma once

#include "automation/variant.h"

namespace frame {

// The text of `v`, unchanged, when it reads as a plain integer: blanks, an optional sign,
// digits, blanks. Anything else (an empty value included) raises the type-mismatch error.
// Ids, integer columns and key values stand unquoted in a statement, hence this check.
automation::Text integerLiteral(const automation::Variant& v);

// `s` with every apostrophe doubled, for use between single quotes: the text is stored exactly
// as it was given, whatever quotes it holds.
automation::Text doubleApostrophes(automation::TextView s);

}  // namespace frame
