// Which columns of a SQLite database are declared as dates, for the dialect adapter. Read from
// the schema, and read again whenever the schema version moves, whichever connection changed it.
#pragma once

#include <functional>
#include <memory>

#include "ado/provider.h"
#include "ado/sqlite_dialect.h"

namespace ado {

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
