// The rows behind an open recordset: a forward reader over one statement plus what ADO adds
// on top of it. Only the current row is ever held. Keyset and static cursors can be
// positioned anywhere: moving a short way forward steps the reader, any other move runs the
// statement again from the wanted row on (the provider skips the rows before it), so a page of
// a large table costs the rows before it, not memory for them. The record count is asked of
// the database once, when first wanted.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "ado/provider.h"

namespace ado {

class Cursor {
 public:
  // Takes over the reader of the already executed statement `sql`.
  Cursor(std::shared_ptr<Provider> provider, Text sql, std::int32_t cursorType,
         std::unique_ptr<Rows> rows);

  void close();

  int columnCount() const;
  const Text& columnName(int column) const;
  std::optional<int> columnIndex(TextView name) const;  // case-insensitive
  // A 0-based number or a name; anything else raises ADO's "item cannot be found".
  int fieldIndex(const Variant& indexOrName) const;
  std::int32_t columnType(int column);
  Variant value(int column);  // raises ADO's "no current record" at EOF or BOF

  bool eof();
  bool bof();
  void moveNext();
  void moveFirst();
  // 0-based row; a row past the last leaves the cursor at EOF.
  void moveTo(std::int64_t row);
  std::int64_t position() const { return position_; }  // of the current row, 0-based

  bool scrollable() const;
  std::int64_t recordCount();  // -1 for forward-only cursors, as ADO reports it

 private:
  Rows& rows() const;
  // The first row is fetched when first wanted, so that a recordset opened and then
  // positioned at a page runs its statement once, not twice.
  Rows& started();
  void advance();

  std::shared_ptr<Provider> provider_;
  Text sql_;
  std::int32_t cursorType_;
  std::unique_ptr<Rows> rows_;
  std::vector<Text> names_;
  std::int64_t position_ = 0;
  bool started_ = false;
  bool eof_ = false;
  bool bof_ = false;
  std::optional<std::int64_t> count_;
};

}  // namespace ado
