// Which columns of a SQLite database are declared as dates, for the dialect adapter. Read from
// the schema, and read again whenever the schema version moves, whichever connection changed it.
// The embedded provider's sessions (sqlite_session.h) read the same statements natively.
#pragma once

#include <functional>
#include <memory>

#include "ado/provider.h"
#include "ado/sqlite_dialect.h"

namespace ado {

inline constexpr TextView kSchemaVersionSql = u"pragma schema_version";
inline constexpr TextView kColumnTypesSql =
    u"select p.name, p.type from sqlite_schema s, pragma_table_info(s.name) p "
    u"where s.type in ('table','view')";  // a column's name, then its declared type

// Adds the lower-case `name` when `declaredType` is a date type.
void noteDateColumn(sql::DateColumns& columns, const Text& name, const Text& declaredType);

class DateColumnCache {
 public:
  // Runs a statement on the connection the cache belongs to.
  using Run = std::function<std::unique_ptr<Rows>(const Text& sql)>;

  const sql::DateColumns& current(const Run& run);

 private:
  sql::DateColumns columns_;
  std::int64_t schemaVersion_ = -1;
};

}  // namespace ado
