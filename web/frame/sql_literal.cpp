// The two ways a value enters a statement: as a plain integer, or quoted.
#include "frame/sql_literal.h"

#include <algorithm>

namespace frame {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool isPlainInteger(automation::TextView s) {
  const auto body = automation::trim(s);
  automation::TextView digits = body;
  if (!digits.empty() && (digits.front() == u'-' || digits.front() == u'+')) {
    digits.remove_prefix(1);
  }
  return !digits.empty() && std::all_of(digits.begin(), digits.end(), isDigit);
}

}  // namespace

automation::Text integerLiteral(const automation::Variant& v) {
  automation::Text text = automation::joinText(v);
  if (!isPlainInteger(text)) automation::throwTypeMismatch();
  return text;
}

automation::Text doubleApostrophes(automation::TextView s) {
  return automation::replaceAll(s, u"'", u"''");
}

}  // namespace frame
