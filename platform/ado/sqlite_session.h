// One open SQLite handle and what is learned about its database between queries: prepared
// statements, and which columns are declared as dates (read again only when the schema version
// moves, whichever handle changed it; the kept statements are dropped then too, so that a
// statement never reports the columns of an older schema). A session serves one connection at a
// time; the pool (sqlite_pool.h) hands it to the next connection of the same file when it is
// as a freshly opened handle would be.
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ado/sqlite_dialect.h"
#include "ado/statement_cache.h"

namespace ado {

using automation::Text;

// The database file itself, whatever path names it.
struct FileId {
  dev_t device;
  ino_t inode;
  bool operator==(const FileId&) const = default;
};
std::optional<FileId> fileIdOf(const std::string& path);
// False for a memory database and for a URI, whose parameters may open anything.
bool namesAFile(const std::string& path);

class SqliteSession {
 public:
  // Opens `path` (UTF-8) in WAL mode with a busy timeout; raises the provider error if it
  // cannot. `statements` is how many prepared statements are kept.
  SqliteSession(const std::string& path, std::size_t statements);
  SqliteSession(const SqliteSession&) = delete;
  SqliteSession& operator=(const SqliteSession&) = delete;

  sqlite3* db() const { return db_.get(); }
  [[noreturn]] void fail() const;  // raises the handle's last error

  // The statement kept under `key`, or one newly prepared from sqlFor(); raises the
  // database's error. Returned under the same key with release() once done
  // (SessionStatement does both). Keys of the statements kept are valid while the date
  // columns are: a key may stand for the text before the dialect adapter rewrote it.
  sqlite3_stmt* prepare(const Text& key, const std::function<Text()>& sqlFor);
  void release(const Text& key, sqlite3_stmt* stmt) { statements_.put(key, stmt); }
  bool keeps(const Text& key) const { return statements_.keeps(key); }

  const sql::DateColumns& dateColumns();

  // The file of a session that may be pooled; nullopt for memory databases and URIs.
  const std::optional<FileId>& file() const { return file_; }
  pid_t creator() const { return creator_; }
  // True when the next user finds the handle as a fresh one: no statement running, no
  // transaction open, no row ever changed through it (so changes(), total_changes() and
  // last_insert_rowid() read 0) and no statement that sets connection state (a pragma with a
  // value, attach, detach, temporary objects).
  bool asFresh() const;

 private:
  struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
  };
  // Our own statements do not count as the user's changes to the connection state.
  struct Internal {
    explicit Internal(SqliteSession& s) : session(s) { session.internal_ = true; }
    ~Internal() { session.internal_ = false; }
    SqliteSession& session;
  };
  static int watchState(void* self, int action, const char*, const char* argument, const char*,
                        const char*);
  std::int64_t schemaVersion();

  std::unique_ptr<sqlite3, Closer> db_;
  StatementCache statements_;
  sql::DateColumns dates_;
  std::int64_t datesVersion_ = -1;
  std::optional<FileId> file_;
  pid_t creator_;
  bool internal_ = false;
  bool keepsState_ = false;
};

}  // namespace ado

namespace ado {

// A statement of a session for one run, given back to the session when destroyed.
class SessionStatement {
 public:
  SessionStatement(SqliteSession& session, Text key, const std::function<Text()>& sqlFor)
      : session_(session), key_(std::move(key)), stmt_(session.prepare(key_, sqlFor)) {}
  SessionStatement(SqliteSession& session, const Text& sql)
      : SessionStatement(session, sql, [&] { return sql; }) {}
  ~SessionStatement() { session_.release(key_, stmt_); }
  SessionStatement(const SessionStatement&) = delete;
  SessionStatement& operator=(const SessionStatement&) = delete;

  sqlite3_stmt* get() const { return stmt_; }
  // True when a row is current, false after the last; raises the database's error.
  bool step() const {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) session_.fail();
    return false;
  }

 private:
  SqliteSession& session_;
  Text key_;
  sqlite3_stmt* stmt_;
};

}  // namespace ado
