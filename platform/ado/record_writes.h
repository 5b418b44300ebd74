// The statements behind AddNew, Update and Delete of an updatable recordset. The recordset's
// statement must read one table ("select ... from T [where ...]"); a row is found again by
// the table's primary key, or by every original value when the table has none. Values always
// travel as bound parameters; the names in the statements are the table's own, bracketed.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "ado/provider.h"

namespace ado {

// The table a one-table SELECT reads, as written there; nullopt for anything else.
std::optional<Text> updatableTable(TextView selectSql);

class RowWriter {
 public:
  // Raises ADO's "does not support updating" when the statement reads no single table.
  RowWriter(std::shared_ptr<Provider> provider, TextView selectSql, std::vector<Text> columns);

  // Each returns the row as it now stands in the database, in the recordset's columns.
  std::vector<Variant> insert(const std::vector<std::optional<Variant>>& edits);
  std::vector<Variant> update(const std::vector<Variant>& original,
                              const std::vector<std::optional<Variant>>& edits);
  void remove(const std::vector<Variant>& original);

 private:
  // " where ..." finding `row`, adding its parameters.
  Text criteria(const std::vector<Variant>& row, std::vector<Variant>& params) const;
  std::optional<std::vector<Variant>> reread(TextView condition, std::vector<Variant> params);
  void runExpectingOneRow(const Text& sql, const std::vector<Variant>& params);

  std::shared_ptr<Provider> provider_;
  Text table_;
  std::vector<Text> columns_;
  std::vector<std::size_t> keys_;  // positions of the key columns; empty: every column
};

}  // namespace ado
