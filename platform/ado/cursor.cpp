// Positioning, reading and editing the current row of a recordset over a forward reader.
#include "ado/cursor.h"

#include <utility>

#include "ado/ado.h"
#include "ado/ado_errors.h"

namespace ado {
namespace {

// Further than this, re-running the statement from the wanted row beats stepping to it.
constexpr std::int64_t kStepLimit = 64;

}  // namespace

Cursor::Cursor(std::shared_ptr<Provider> provider, Text sql, std::int32_t cursorType,
               std::unique_ptr<Rows> rows, std::vector<Variant> params)
    : provider_(std::move(provider)),
      sql_(std::move(sql)),
      cursorType_(cursorType),
      rows_(std::move(rows)),
      params_(std::move(params)) {
  for (int i = 0; i < rows_->columnCount(); ++i) names_.push_back(rows_->columnName(i));
}

void Cursor::close() { rows_.reset(); }

Rows& Cursor::rows() const {
  if (!rows_) throwObjectClosed(errorSource::kRecordset);
  return *rows_;
}

Rows& Cursor::started() {
  Rows& r = rows();
  if (!started_) {
    started_ = true;
    eof_ = !r.next();
    bof_ = eof_;  // an empty recordset is at BOF and EOF at once
  }
  return r;
}

int Cursor::columnCount() const {
  rows();
  return static_cast<int>(names_.size());
}

const Text& Cursor::columnName(int column) const {
  rows();
  return names_.at(column);
}

std::optional<int> Cursor::columnIndex(TextView name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (automation::equalsIgnoreCase(names_[i], name)) return static_cast<int>(i);
  }
  return std::nullopt;
}

int Cursor::fieldIndex(const Variant& indexOrName) const {
  rows();
  if (indexOrName.isText()) {
    if (auto i = columnIndex(indexOrName.text())) return *i;
  } else if (indexOrName.isNumeric()) {
    std::int32_t i = automation::toInt32(indexOrName);
    if (i >= 0 && i < columnCount()) return i;
  }
  throwItemNotFound(errorSource::kFields);
}

std::int32_t Cursor::columnType(int column) { return started().columnType(column); }
std::int32_t Cursor::columnSize(int column) { return started().columnSize(column); }

Variant Cursor::storedValue(int column) {
  if (pinned_) return (*pinned_)[column];
  Rows& r = started();
  if (eof_ || bof_ || deleted_) throwNoCurrentRecord(errorSource::kField);
  return r.value(column);
}

Variant Cursor::editedValue(int column) {
  if (editMode_ != EditState::None && edits_[column]) return *edits_[column];
  if (editMode_ == EditState::Adding) return {};
  return storedValue(column);
}

std::vector<Variant> Cursor::currentRow() {
  std::vector<Variant> row;
  for (int i = 0; i < columnCount(); ++i) row.push_back(storedValue(i));
  return row;
}

void Cursor::beginAdd() {
  rows();
  edits_.assign(names_.size(), std::nullopt);
  editMode_ = EditState::Adding;
}

void Cursor::setValue(int column, Variant v) {
  if (editMode_ == EditState::None) {
    storedValue(column);  // a current row is needed
    edits_.assign(names_.size(), std::nullopt);
    editMode_ = EditState::Editing;
  }
  edits_[column] = std::move(v);
}

std::vector<std::optional<Variant>> Cursor::takeEdits() {
  editMode_ = EditState::None;
  return std::exchange(edits_, {});
}

void Cursor::pin(std::vector<Variant> row) {
  pinned_ = std::move(row);
  deleted_ = false;
  count_.reset();
}

void Cursor::markDeleted() {
  pinned_.reset();
  deleted_ = true;
  count_.reset();
}

void Cursor::leaveRow() {
  editMode_ = EditState::None;
  edits_.clear();
  pinned_.reset();
  deleted_ = false;
}

bool Cursor::eof() {
  started();
  return eof_;
}

bool Cursor::bof() {
  started();
  return bof_;
}

void Cursor::advance() {
  eof_ = !rows().next();
  ++position_;
}

void Cursor::moveNext() {
  if (eof()) throwNoCurrentRecord(errorSource::kRecordset);
  leaveRow();
  if (bof_) {  // before the first row, the reader already holds it
    bof_ = false;
    return;
  }
  advance();
}

void Cursor::moveFirst() {
  leaveRow();
  moveTo(0);
}

void Cursor::movePrevious() {
  if (!scrollable()) throwNotCapable(errorSource::kRecordset);
  if (bof()) throwNoCurrentRecord(errorSource::kRecordset);
  std::int64_t row = eof_ ? recordCount() - 1 : position_ - 1;
  moveTo(row < 0 ? -1 : row);
}

void Cursor::moveLast() {
  std::int64_t n = scrollable() ? recordCount() : provider_->count(sql_, params_);
  moveTo(n > 0 ? n - 1 : 0);
}

void Cursor::moveTo(std::int64_t row) {
  rows();
  leaveRow();
  if (row < -1) throwArgumentOutOfRange(errorSource::kRecordset);
  const bool beforeFirst = row == -1;
  if (beforeFirst) row = 0;
  if (row <= kStepLimit) started();
  if (started_ && !eof_ && !bof_ && row >= position_ && row - position_ <= kStepLimit) {
    while (position_ < row && !eof_) advance();
  } else {
    rows_ = provider_->query(sql_, row, params_);
    position_ = row;
    started_ = true;
    eof_ = !rows_->next();
  }
  bof_ = beforeFirst || (eof_ && row == 0);
}

bool Cursor::scrollable() const {
  return cursorType_ == adOpenKeyset || cursorType_ == adOpenStatic;
}

std::int64_t Cursor::recordCount() {
  rows();
  if (!scrollable()) return -1;
  if (!count_) count_ = provider_->count(sql_, params_);
  return *count_;
}

}  // namespace ado
