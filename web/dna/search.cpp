// search: the posted search form becomes one condition, kept in the session for the list
// statements of the following requests. Integer columns match by equality (plain integers
// only, as they stand unquoted), all others by substring.
#include "dna/dna.h"
#include "frame/sql_literal.h"

namespace dna {

void DNA::search() {
  GetFieldTypes();
  Text cond;
  for (const auto i : takingPartColumns()) {
    if (isIntegerColumn(i)) {
      cond += aFields[i] + u"=" + frame::integerLiteral(aValues[i]) + u" and ";
    } else {
      const Text value = automation::trim(automation::joinText(aValues[i]));
      cond += aFields[i] + u" like '%" + frame::doubleApostrophes(value) + u"%' and ";
    }
  }
  // The last "and " goes; the blank before it stays.
  if (cond.size() > 4) cond.resize(cond.size() - 4);
  setSession(u"strSearch", Variant(cond));
}

}  // namespace dna
