#include "dna/statement_text.h"

namespace dna {

using automation::Int16;
using automation::Text;
using automation::TextView;

Int16 keywordPosition(TextView lowered, TextView keyword) {
  return Int16::checked(automation::find(lowered, keyword));
}

Text midChecked(TextView s, int start, int length) {
  if (length < 0) automation::throwInvalidProcedureCall();
  return automation::mid(s, start, length);
}

Text columnText(TextView sql, Int16 fromPos) {
  if (fromPos > 7) return automation::trim(midChecked(sql, 7, fromPos.value() - 7));
  const int rest = static_cast<int>(sql.size()) - 7;
  if (rest < 0) automation::throwInvalidProcedureCall();
  return automation::trim(automation::right(sql, rest));
}

Text decimal(std::int64_t n) {
  const std::string digits = std::to_string(n);
  return Text(digits.begin(), digits.end());
}

automation::Variant activeConnection(const std::shared_ptr<ado::Connection>& conn) {
  if (!conn) return {};
  return automation::Variant(automation::ObjectRef(conn));
}

}  // namespace dna
