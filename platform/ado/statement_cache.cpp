#include "ado/statement_cache.h"

#include <algorithm>
#include <utility>

namespace ado {

sqlite3_stmt* StatementCache::take(const automation::Text& sql) {
  for (Entry& e : entries_) {
    if (e.sql == sql) return std::exchange(e.stmt, nullptr);
  }
  return nullptr;
}

bool StatementCache::keeps(const automation::Text& sql) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const Entry& e) { return e.sql == sql; });
}

void StatementCache::put(const automation::Text& sql, sqlite3_stmt* stmt) {
  sqlite3_reset(stmt);
  auto found =
      std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.sql == sql; });
  if (found != entries_.end() && !found->stmt) {
    found->stmt = stmt;
    found->returned = ++clock_;
    return;
  }
  if (found != entries_.end() || capacity_ == 0) {
    sqlite3_finalize(stmt);
    return;
  }
  entries_.push_back({sql, stmt, ++clock_});
  if (entries_.size() > capacity_) evictLeastRecent();
}

// Of the statements kept, not lent out.
void StatementCache::evictLeastRecent() {
  auto oldest = entries_.end();
  for (auto e = entries_.begin(); e != entries_.end(); ++e) {
    if (e->stmt && (oldest == entries_.end() || e->returned < oldest->returned)) oldest = e;
  }
  if (oldest == entries_.end()) return;
  sqlite3_finalize(oldest->stmt);
  entries_.erase(oldest);
}

void StatementCache::clear() {
  for (const Entry& e : entries_) sqlite3_finalize(e.stmt);
  entries_.clear();
}

}  // namespace ado
