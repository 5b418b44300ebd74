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

// The edits of the current row, or of a row being added, until they are written or dropped.
enum class EditState : std::int32_t { None = 0, Editing = 1, Adding = 2 };

class Cursor {
 public:
  // Takes over the reader of the already executed statement `sql` with its parameters.
  Cursor(std::shared_ptr<Provider> provider, Text sql, std::int32_t cursorType,
         std::unique_ptr<Rows> rows, std::vector<Variant> params = {});

  void close();

  int columnCount() const;
  const Text& columnName(int column) const;
  std::optional<int> columnIndex(TextView name) const;  // case-insensitive
  // A 0-based number or a name; anything else raises ADO's "item cannot be found".
  int fieldIndex(const Variant& indexOrName) const;
  std::int32_t columnType(int column);
  std::int32_t columnSize(int column);
  // Raises ADO's "no current record" at EOF or BOF. An edited column gives its new value.
  Variant value(int column) {
    if (editMode_ != EditState::None || pinned_ || deleted_) return editedValue(column);
    return storedValue(column);
  }
  Variant originalValue(int column) {
    return editMode_ == EditState::Adding ? Variant() : storedValue(column);
  }
  std::vector<Variant> currentRow();  // the stored values of the current row

  bool eof();
  bool bof();
  void moveNext();
  void moveFirst();
  void movePrevious();  // scrollable cursors only; before the first row it is at BOF
  void moveLast();
  // 0-based row; a row past the last leaves the cursor at EOF, one before the first at BOF.
  void moveTo(std::int64_t row);
  std::int64_t position() const { return position_; }  // of the current row, 0-based

  bool scrollable() const;
  std::int32_t cursorType() const { return cursorType_; }
  std::int64_t recordCount();  // -1 for forward-only cursors, as ADO reports it

  const Text& sql() const { return sql_; }
  const std::shared_ptr<Provider>& provider() const { return provider_; }

  // Editing: AddNew starts a row of unset columns, a first put of a current row's column
  // starts editing it. takeEdits ends either and hands over what was set.
  EditState editMode() const { return editMode_; }
  void beginAdd();
  void setValue(int column, Variant v);
  std::vector<std::optional<Variant>> takeEdits();
  // After a write: the row as it now stands stays current until the next move.
  void pin(std::vector<Variant> row);
  void markDeleted();

 private:
  Rows& rows() const;
  // The first row is fetched when first wanted, so that a recordset opened and then
  // positioned at a page runs its statement once, not twice.
  Rows& started();
  void advance();
  Variant storedValue(int column);
  Variant editedValue(int column);
  void leaveRow();  // forgets edits, pinned and deleted state before a move

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
  std::vector<Variant> params_;
  EditState editMode_ = EditState::None;
  std::vector<std::optional<Variant>> edits_;
  std::optional<std::vector<Variant>> pinned_;
  bool deleted_ = false;
};

}  // namespace ado
