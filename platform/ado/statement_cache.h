// The prepared statements of one SQLite handle, kept under their text (or the text they were
// made from) for the next query that sends the same: the components send the same few
// statements on every page, and parsing them again costs more than running them. A statement
// is taken out while it runs, so two readers of one text never share it; beyond the capacity
// the least recently returned statement is finalized.
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "automation/text.h"

namespace ado {

class StatementCache {
 public:
  explicit StatementCache(std::size_t capacity) : capacity_(capacity) {}
  ~StatementCache() { clear(); }
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // The kept statement for `sql`, now owned by the caller; nullptr when none is kept.
  sqlite3_stmt* take(const automation::Text& sql);
  // Resets `stmt` (ending its read of the database) and keeps it; finalizes it instead when
  // a statement of that text is kept already.
  void put(const automation::Text& sql, sqlite3_stmt* stmt);
  void clear();                                         // finalizes every kept statement
  bool keeps(const automation::Text& sql) const;        // lent out or kept
  std::size_t size() const { return entries_.size(); }  // texts known, lent out or kept

 private:
  // A text keeps its entry while its statement is lent out, so that giving it back costs no
  // allocation. The few entries are searched in order, by their text's hash first: the texts
  // of one page often share a long head (a plan query for each of many persons) and differ
  // only near the end.
  struct Entry {
    automation::Text sql;
    std::size_t hash;
    sqlite3_stmt* stmt;  // nullptr while lent out
    std::uint64_t returned;
  };
  static std::size_t hashOf(const automation::Text& sql);
  // The entry of `sql`, or entries_.size() when there is none.
  std::size_t indexOf(const automation::Text& sql) const;
  void evictLeastRecent();

  std::size_t capacity_;
  std::vector<Entry> entries_;
  std::uint64_t clock_ = 0;
};

}  // namespace ado
