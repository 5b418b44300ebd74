#include "ado/statement_cache.h"

#include <functional>
#include <utility>

namespace ado {

std::size_t StatementCache::hashOf(const automation::Text& sql) {
  return std::hash<automation::Text>{}(sql);
}

std::size_t StatementCache::indexOf(const automation::Text& sql) const {
  const std::size_t hash = hashOf(sql);
  std::size_t i = 0;
  while (i < entries_.size() && !(entries_[i].hash == hash && entries_[i].sql == sql)) ++i;
  return i;
}

sqlite3_stmt* StatementCache::take(const automation::Text& sql) {
  const std::size_t i = indexOf(sql);
  return i == entries_.size() ? nullptr : std::exchange(entries_[i].stmt, nullptr);
}

bool StatementCache::keeps(const automation::Text& sql) const {
  return indexOf(sql) != entries_.size();
}

void StatementCache::put(const automation::Text& sql, sqlite3_stmt* stmt) {
  sqlite3_reset(stmt);
  const auto found = entries_.begin() + static_cast<std::ptrdiff_t>(indexOf(sql));
  if (found != entries_.end() && !found->stmt) {
    found->stmt = stmt;
    found->returned = ++clock_;
    return;
  }
  if (found != entries_.end() || capacity_ == 0) {
    sqlite3_finalize(stmt);
    return;
  }
  entries_.push_back({sql, hashOf(sql), stmt, ++clock_});
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
