#include "ado/cursor.h"

#include "ado/ado.h"
#include "ado/ado_errors.h"

namespace ado {
namespace {

// Further than this, re-running the statement from the wanted row beats stepping to it.
constexpr std::int64_t kStepLimit = 64;

}  // namespace

Cursor::Cursor(std::shared_ptr<Provider> provider, Text sql, std::int32_t cursorType,
               std::unique_ptr<Rows> rows)
    : provider_(std::move(provider)),
      sql_(std::move(sql)),
      cursorType_(cursorType),
      rows_(std::move(rows)) {
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

Variant Cursor::value(int column) {
  Rows& r = started();
  if (eof_ || bof_) throwNoCurrentRecord(errorSource::kField);
  return r.value(column);
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
  bof_ = false;
  advance();
}

void Cursor::moveFirst() { moveTo(0); }

void Cursor::moveTo(std::int64_t row) {
  rows();
  if (row < 0) throwArgumentOutOfRange(errorSource::kRecordset);
  if (row <= kStepLimit) started();
  if (started_ && !eof_ && row >= position_ && row - position_ <= kStepLimit) {
    while (position_ < row && !eof_) advance();
  } else {
    rows_ = provider_->query(sql_, row);
    position_ = row;
    started_ = true;
    eof_ = !rows_->next();
  }
  bof_ = false;
  if (eof_ && row == 0) bof_ = true;
}

bool Cursor::scrollable() const {
  return cursorType_ == adOpenKeyset || cursorType_ == adOpenStatic;
}

std::int64_t Cursor::recordCount() {
  rows();
  if (!scrollable()) return -1;
  if (!count_) count_ = provider_->count(sql_);
  return *count_;
}

}  // namespace ado
