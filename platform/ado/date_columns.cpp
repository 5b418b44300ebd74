#include "ado/date_columns.h"

#include "ado/column_types.h"

namespace ado {
namespace {

std::int64_t firstValue(Rows& rows) {
  rows.next();
  return automation::toInt64Rounded(rows.value(0));
}

}  // namespace

void noteDateColumn(sql::DateColumns& columns, const Text& name, const Text& declaredType) {
  auto type = adoTypeFromDeclared(automation::toUtf8(declaredType));
  if (type && isDateType(*type)) columns.insert(automation::lower(name));
}

const sql::DateColumns& DateColumnCache::current(const Run& run) {
  std::int64_t version = firstValue(*run(Text(kSchemaVersionSql)));
  if (version == schemaVersion_) return columns_;
  columns_.clear();
  auto rows = run(Text(kColumnTypesSql));
  while (rows->next()) {
    noteDateColumn(columns_, automation::joinText(rows->value(0)),
                   automation::joinText(rows->value(1)));
  }
  schemaVersion_ = version;
  return columns_;
}

}  // namespace ado
