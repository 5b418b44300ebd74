#include "ado/sqlite_session.h"

#include <sys/stat.h>
#include <unistd.h>

#include "ado/date_columns.h"
#include "automation/deadline.h"
#include "automation/error.h"

namespace ado {
namespace {

constexpr automation::TextView kSource = u"SQLite";
constexpr int kBusyTimeoutMs = 10000;

Text columnText(sqlite3_stmt* stmt, int column) {
  auto text = static_cast<const char16_t*>(sqlite3_column_text16(stmt, column));
  return text ? Text(text) : Text();
}

sql::DateColumns readDateColumns(SqliteSession& session) {
  SessionStatement schema(session, Text(kColumnTypesSql));
  sql::DateColumns columns;
  while (schema.step()) {
    noteDateColumn(columns, columnText(schema.get(), 0), columnText(schema.get(), 1));
  }
  return columns;
}

}  // namespace

bool namesAFile(const std::string& path) {
  return path != ":memory:" && !path.starts_with("file:");
}

std::optional<FileId> fileIdOf(const std::string& path) {
  struct stat s {};
  if (stat(path.c_str(), &s) != 0) return std::nullopt;
  return FileId{s.st_dev, s.st_ino};
}

SqliteSession::SqliteSession(const std::string& path, std::size_t statements)
    : statements_(statements), creator_(getpid()) {
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI;
  int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  db_.reset(db);
  if (rc != SQLITE_OK) {
    automation::throwProviderError(kSource,
                                   automation::fromUtf8(sqlite3_errmsg(db) + (": " + path)));
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // A statement stops when the page that runs it passes its deadline.
  sqlite3_progress_handler(
      db, 4096, [](void*) { return automation::pastDeadline() ? 1 : 0; }, nullptr);
  sqlite3_set_authorizer(db, watchState, this);
  Internal internal(*this);
  SessionStatement wal(*this, u"pragma journal_mode=WAL");
  while (wal.step()) {
  }
  // SQLite leaves foreign keys unchecked unless asked on every connection; a schema that
  // declares them (cascading deletes included) means them.
  SessionStatement foreignKeys(*this, u"pragma foreign_keys=ON");
  while (foreignKeys.step()) {
  }
  const char* file = sqlite3_db_filename(db, "main");
  if (namesAFile(path) && file && *file) {
    file_ = fileIdOf(path);
  }
}

void SqliteSession::fail() const {
  if (sqlite3_errcode(db()) == SQLITE_INTERRUPT && automation::pastDeadline()) {
    automation::throwTimeout();
  }
  automation::throwProviderError(kSource, automation::fromUtf8(sqlite3_errmsg(db())));
}

int SqliteSession::watchState(void* self, int action, const char*, const char* argument,
                              const char*, const char*) {
  auto* session = static_cast<SqliteSession*>(self);
  switch (action) {
    case SQLITE_PRAGMA:
      if (!argument) break;
      [[fallthrough]];
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
    case SQLITE_CREATE_TEMP_TABLE:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_CREATE_TEMP_TRIGGER:
    case SQLITE_CREATE_TEMP_VIEW:
      if (!session->internal_) session->keepsState_ = true;
      break;
    default:
      break;
  }
  return SQLITE_OK;
}

sqlite3_stmt* SqliteSession::prepare(const Text& key, const std::function<Text()>& sqlFor) {
  if (sqlite3_stmt* kept = statements_.take(key)) return kept;
  const Text sql = sqlFor();
  if (sql::endsEarlyForSqlite(sql)) {
    automation::throwProviderError(kSource, u"The command text holds a NUL outside quoted text.");
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare16_v3(db(), sql.data(), static_cast<int>(sql.size() * 2),
                           SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
    fail();
  }
  if (!stmt) automation::throwProviderError(kSource, u"The command text is empty.");
  return stmt;
}

std::int64_t SqliteSession::schemaVersion() {
  SessionStatement version(*this, Text(kSchemaVersionSql));
  version.step();
  return sqlite3_column_int64(version.get(), 0);
}

const sql::DateColumns& SqliteSession::dateColumns() {
  Internal internal(*this);
  std::int64_t version = schemaVersion();
  if (version != datesVersion_) {
    statements_.clear();
    dates_ = readDateColumns(*this);
    datesVersion_ = version;
  }
  return dates_;
}

bool SqliteSession::asFresh() const {
  if (keepsState_ || !sqlite3_get_autocommit(db()) || sqlite3_total_changes64(db()) != 0) {
    return false;
  }
  for (sqlite3_stmt* s = sqlite3_next_stmt(db(), nullptr); s; s = sqlite3_next_stmt(db(), s)) {
    if (sqlite3_stmt_busy(s)) return false;
  }
  return true;
}

}  // namespace ado
