// Open SQLite handles kept between connections of the same database file, as ADO's session
// pooling keeps them: opening a handle, reading the schema and preparing the components' few
// statements again costs more than a list page's queries. A session comes back when its last
// user (connection or recordset) lets go of it, and is kept only if it is as a freshly opened
// handle would be; a kept one is closed after being idle for long, or when more are kept than
// the limits allow, the oldest first. Handles never cross a fork: a child opens its own.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ado/sqlite_session.h"

namespace ado {

class SqlitePool : public std::enable_shared_from_this<SqlitePool> {
 public:
  using Clock = std::chrono::steady_clock;
  struct Limits {
    std::size_t perFile = 8;
    std::size_t total = 16;
    Clock::duration idle = std::chrono::seconds(60);
    // Kept per handle: enough for a page that walks a tree one query per node (a three-level
    // menu of a hundred items) to find every statement again on its next request.
    std::size_t statements = 160;
  };

  static std::shared_ptr<SqlitePool> create(Limits limits);
  static SqlitePool& shared();  // the pool of the process
  ~SqlitePool();
  SqlitePool(const SqlitePool&) = delete;
  SqlitePool& operator=(const SqlitePool&) = delete;

  // A kept session of the file at `path` (UTF-8) or a newly opened one; raises the provider
  // error when the file cannot be opened.
  std::shared_ptr<SqliteSession> open(const std::string& path);
  std::size_t idleCount() const;

 private:
  explicit SqlitePool(Limits limits) : limits_(limits), owner_(getpid()) {}
  struct Idle {
    std::unique_ptr<SqliteSession> session;
    Clock::time_point since;
  };
  using Sessions = std::vector<std::unique_ptr<SqliteSession>>;

  std::unique_ptr<SqliteSession> takeIdle(const std::string& path);
  void giveBack(std::unique_ptr<SqliteSession> session);
  // Under the lock; what is to be closed goes to `closing`, closed once the lock is released.
  void expire(Clock::time_point now, Sessions& closing);
  void trim(Sessions& closing);
  void forgetInherited();

  const Limits limits_;
  mutable std::mutex mutex_;
  std::vector<Idle> idle_;  // oldest first
  pid_t owner_;
};

}  // namespace ado
