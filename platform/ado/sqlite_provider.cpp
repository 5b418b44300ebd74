// The embedded SQLite provider: statements kept per handle, parameters bound by type, the
// dialect adapted once per statement text, and the primary keys a recordset writes by.
#include "ado/sqlite_provider.h"

#include <sqlite3.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ado/column_types.h"
#include "ado/sqlite_dialect.h"
#include "ado/sqlite_pool.h"
#include "ado/sqlite_session.h"
#include "automation/error.h"
#include "automation/object.h"

namespace ado {
namespace {

using automation::VarType;

constexpr TextView kSource = u"SQLite";

class SqliteRows : public Rows {
 public:
  SqliteRows(std::shared_ptr<SqliteSession> session, Text key, const std::function<Text()>& sqlFor,
             Params params)
      : session_(std::move(session)), st_(*session_, std::move(key), sqlFor) {
    sqlite3_stmt* stmt = st_.get();
    bind(params);
    int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i) {
      const char* declared = sqlite3_column_decltype(stmt, i);
      declared_.push_back(adoTypeFromDeclared(declared ? declared : ""));
      sizes_.push_back(declared && declared_.back() ? definedSize(declared, *declared_.back())
                                                    : typeSize(adoType::kVarChar));
    }
    if (n == 0) runToEnd();
  }

  int columnCount() const override { return static_cast<int>(declared_.size()); }

  Text columnName(int column) const override {
    auto name = static_cast<const char16_t*>(sqlite3_column_name16(st_.get(), column));
    return name ? Text(name) : Text();
  }

  std::int32_t columnType(int column) const override {
    if (declared_[column]) return *declared_[column];
    if (!onRow_) return adoType::kVarChar;
    switch (sqlite3_column_type(st_.get(), column)) {
      case SQLITE_INTEGER:
        return adoType::kInteger;
      case SQLITE_FLOAT:
        return adoType::kDouble;
      case SQLITE_BLOB:
        return adoType::kVarBinary;
      default:
        return adoType::kVarChar;
    }
  }

  std::int32_t columnSize(int column) const override {
    return declared_[column] ? sizes_[column] : typeSize(columnType(column));
  }

  bool next() override {
    onRow_ = st_.step();
    return onRow_;
  }

  Variant value(int column) const override {
    sqlite3_stmt* s = st_.get();
    std::optional<std::int32_t> declared = declared_[column];
    switch (sqlite3_column_type(s, column)) {
      case SQLITE_NULL:
        return Variant::null();
      case SQLITE_INTEGER: {
        sqlite3_int64 v = sqlite3_column_int64(s, column);
        if (declared == adoType::kBoolean) return Variant(v != 0);
        return Variant(static_cast<long long>(v));
      }
      case SQLITE_FLOAT:
        return Variant(sqlite3_column_double(s, column));
      case SQLITE_BLOB: {
        auto p = static_cast<const std::uint8_t*>(sqlite3_column_blob(s, column));
        return Variant(Variant::Bytes(p, p + sqlite3_column_bytes(s, column)));
      }
      default:
        return text(column, declared && isDateType(*declared));
    }
  }

  std::int64_t rowsAffected() const override { return changes_; }

 private:
  void bind(Params params) {
    sqlite3_stmt* stmt = st_.get();
    if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(stmt)) {
      automation::throwProviderError(
          kSource, u"The number of parameters differs from the number of placeholders.");
    }
    for (int i = 1; i <= static_cast<int>(params.size()); ++i) {
      Variant v = params[i - 1];
      if (v.isObject()) v = v.object()->invoke(u"", automation::InvokeKind::PropertyGet);
      int rc = SQLITE_OK;
      switch (v.type()) {
        case VarType::Empty:
        case VarType::Null:
          rc = sqlite3_bind_null(stmt, i);
          break;
        case VarType::I2:
        case VarType::I4:
        case VarType::I8:
          rc = sqlite3_bind_int64(stmt, i, automation::toInt64Rounded(v));
          break;
        case VarType::Bool:
          rc = sqlite3_bind_int(stmt, i, automation::toBool(v) ? 1 : 0);
          break;
        case VarType::R4:
        case VarType::R8:
          rc = sqlite3_bind_double(stmt, i, automation::toDouble(v));
          break;
        case VarType::Date: {
          Text t = storedDateText(automation::toDate(v));
          rc = sqlite3_bind_text16(stmt, i, t.data(), static_cast<int>(t.size() * 2),
                                   SQLITE_TRANSIENT);
          break;
        }
        case VarType::ByteArray: {
          const auto& b = v.bytes();
          rc = sqlite3_bind_blob(stmt, i, b.data(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
          break;
        }
        case VarType::Text:
          rc = sqlite3_bind_text16(stmt, i, v.text().data(), static_cast<int>(v.text().size() * 2),
                                   SQLITE_TRANSIENT);
          break;
        default:
          automation::throwTypeMismatch();
      }
      if (rc != SQLITE_OK) session_->fail();
    }
  }

  void runToEnd() {
    while (st_.step()) {
    }
    changes_ = sqlite3_changes64(session_->db());
  }

  Variant text(int column, bool isDate) const {
    auto p = static_cast<const char16_t*>(sqlite3_column_text16(st_.get(), column));
    Text t(p, static_cast<std::size_t>(sqlite3_column_bytes16(st_.get(), column)) / 2);
    if (isDate) {
      if (auto date = automation::parseDate(t)) return Variant(*date);
    }
    return Variant(std::move(t));
  }

  std::shared_ptr<SqliteSession> session_;  // outlives the statement given back to it
  SessionStatement st_;
  std::vector<std::optional<std::int32_t>> declared_;
  std::vector<std::int32_t> sizes_;
  bool onRow_ = false;
  std::int64_t changes_ = 0;
};

class SqliteProvider : public Provider {
 public:
  explicit SqliteProvider(const std::string& path) : session_(SqlitePool::shared().open(path)) {}

  std::unique_ptr<Rows> query(TextView sql, std::int64_t skip, Params params) override {
    Text key = keyOf(sql, skip > 0 ? u"from " + automation::fromUtf8(std::to_string(skip)) : u"");
    // A text kept once was found to be one statement then.
    if (!session_->keeps(key) && !sql::isSingleStatement(sql)) {
      automation::throwProviderError(kSource, u"Only one statement can be run at a time.");
    }
    const sql::DateColumns& dates = session_->dateColumns();
    return prepare(
        std::move(key),
        [&] {
          Text adapted = sql::toSqlite(sql, dates);
          return skip <= 0 ? adapted : sql::fromRow(adapted, skip);
        },
        params);
  }

  std::int64_t count(TextView sql, Params params) override {
    const sql::DateColumns& dates = session_->dateColumns();
    auto rows = prepare(
        keyOf(sql, u"count"), [&] { return sql::countRows(sql::toSqlite(sql, dates)); }, params);
    rows->next();
    return automation::toInt64Rounded(rows->value(0));
  }

  // The outermost transaction takes the write lock at once: a page's transaction writes, and
  // one that read first and then found another writer ahead could only fail, not wait.
  // Inner ones are savepoints named by their level.
  void beginTransaction(int level) override {
    run(level == 1 ? Text(u"BEGIN IMMEDIATE") : u"SAVEPOINT " + savepoint(level));
  }

  void commitTransaction(int level) override {
    run(level == 1 ? Text(u"COMMIT") : u"RELEASE " + savepoint(level));
  }

  void rollbackTransaction(int level) override {
    if (level > 1) {
      run(u"ROLLBACK TO " + savepoint(level));
      run(u"RELEASE " + savepoint(level));
    } else if (!sqlite3_get_autocommit(session_->db())) {
      // Some failures (a full disk, an I/O error) have rolled it back already.
      run(u"ROLLBACK");
    }
  }

  std::vector<Text> keyColumns(TextView table) override {
    Variant name{Text(table)};
    auto rows = prepare(
        keyOf(u"select name from pragma_table_info(?) where pk > 0 order by pk", u""),
        [] { return Text(u"select name from pragma_table_info(?) where pk > 0 order by pk"); },
        Params(&name, 1));
    std::vector<Text> keys;
    while (rows->next()) keys.push_back(automation::toText(rows->value(0)));
    return keys;
  }

  Variant lastInsertId() override {
    return Variant(static_cast<long long>(sqlite3_last_insert_rowid(session_->db())));
  }

  Text rowIdColumn() const override { return u"rowid"; }

 private:
  static Text savepoint(int level) {
    return u"balance_level_" + automation::fromUtf8(std::to_string(level));
  }

  void run(const Text& sql) {
    SessionStatement statement(*session_, sql);
    statement.step();
  }

  // The statements the components send are kept under the text they sent, so that a kept one
  // is neither checked nor rewritten again. What is run of that text ("", "from N", "count")
  // follows a NUL after it and holds none itself, so two uses never share a key.
  static Text keyOf(TextView sql, TextView use) {
    Text key(sql);
    key.push_back(u'\0');
    return key.append(use);
  }

  std::unique_ptr<Rows> prepare(Text key, const std::function<Text()>& sqlFor, Params params) {
    return std::make_unique<SqliteRows>(session_, std::move(key), sqlFor, params);
  }

  // Shared with the rows read through it, which keep it open after the connection closes.
  std::shared_ptr<SqliteSession> session_;
};

}  // namespace

std::unique_ptr<Provider> openSqlite(const std::string& path) {
  if (path.empty()) automation::throwProviderError(kSource, u"No Data Source was given.");
  return std::make_unique<SqliteProvider>(path);
}

}  // namespace ado
