#include "ado/statement_cache.h"

namespace ado {

sqlite3_stmt* StatementCache::take(const automation::Text& sql) {
  auto found = bySql_.find(sql);
  if (found == bySql_.end()) return nullptr;
  sqlite3_stmt* stmt = found->second->stmt;
  order_.erase(found->second);
  bySql_.erase(found);
  return stmt;
}

void StatementCache::put(const automation::Text& sql, sqlite3_stmt* stmt) {
  sqlite3_reset(stmt);
  if (capacity_ == 0 || bySql_.count(sql)) {
    sqlite3_finalize(stmt);
    return;
  }
  order_.push_front({sql, stmt});
  bySql_.emplace(order_.front().sql, order_.begin());
  if (order_.size() > capacity_) {
    bySql_.erase(order_.back().sql);
    sqlite3_finalize(order_.back().stmt);
    order_.pop_back();
  }
}

void StatementCache::clear() {
  for (const Entry& e : order_) sqlite3_finalize(e.stmt);
  order_.clear();
  bySql_.clear();
}

}  // namespace ado
