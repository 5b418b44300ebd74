#include "ado/date_columns.h"

#include "ado/column_types.h"

namespace ado {
namespace {

std::int64_t firstValue(Rows& rows) {
  rows.next();
  return automation::toInt64Rounded(rows.value(0));
}

}  // namespace

const sql::DateColumns& DateColumnCache::current(const Run& run) {
  std::int64_t version = firstValue(*run(u"pragma schema_version"));
  if (version == schemaVersion_) return columns_;
  columns_.clear();
  auto rows =
      run(u"select p.name, p.type from sqlite_schema s, pragma_table_info(s.name) p "
          u"where s.type in ('table','view')");
  while (rows->next()) {
    auto type = adoTypeFromDeclared(automation::toUtf8(automation::joinText(rows->value(1))));
    if (type && isDateType(*type)) {
      columns_.insert(automation::lower(automation::joinText(rows->value(0))));
    }
  }
  schemaVersion_ = version;
  return columns_;
}

}  // namespace ado
