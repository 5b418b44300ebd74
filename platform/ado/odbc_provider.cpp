#include "ado/odbc_provider.h"

#include <locale.h>
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "ado/ado_errors.h"
#include "ado/column_types.h"
#include "ado/date_columns.h"
#include "ado/sqlite_dialect.h"
#include "automation/deadline.h"
#include "automation/error.h"
#include "automation/object.h"

namespace ado {
namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's SQLWCHAR is UTF-16");

constexpr TextView kSource = u"ODBC";

SQLWCHAR* wide(const Text& s) {
  return reinterpret_cast<SQLWCHAR*>(const_cast<char16_t*>(s.c_str()));
}

Text diagnostic(SQLSMALLINT handleType, SQLHANDLE handle) {
  SQLWCHAR state[6];
  SQLINTEGER native = 0;
  std::vector<SQLWCHAR> message(1024);
  SQLSMALLINT length = 0;
  SQLRETURN rc = SQLGetDiagRecW(handleType, handle, 1, state, &native, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
  if (!SQL_SUCCEEDED(rc)) return u"The ODBC driver reported an error without a message.";
  length = std::min<SQLSMALLINT>(length, static_cast<SQLSMALLINT>(message.size() - 1));
  return Text(reinterpret_cast<const char16_t*>(message.data()), length);
}

void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle) {
  if (rc == SQL_ERROR || rc == SQL_INVALID_HANDLE) {
    automation::throwProviderError(kSource, diagnostic(handleType, handle));
  }
}

// unixODBC converts between UTF-16 and the narrow text of drivers without a wide API (such as
// the SQLite driver) in the character set of the locale current when the connection is made.
// Connecting under a UTF-8 locale, for this thread only, makes that conversion lossless
// without touching the process's locale.
class Utf8ForThisThread {
 public:
  Utf8ForThisThread() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr)) {
    if (utf8_) previous_ = uselocale(utf8_);
  }
  ~Utf8ForThisThread() {
    if (!utf8_) return;
    uselocale(previous_);
    freelocale(utf8_);
  }
  Utf8ForThisThread(const Utf8ForThisThread&) = delete;
  Utf8ForThisThread& operator=(const Utf8ForThisThread&) = delete;

 private:
  locale_t utf8_;
  locale_t previous_ = nullptr;
};

// The driver connection; statements keep it alive after the ADO connection is closed.
struct Link {
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  bool connected = false;
  ~Link() {
    if (connected) SQLDisconnect(dbc);
    if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    if (env) SQLFreeHandle(SQL_HANDLE_ENV, env);
  }
};

std::int32_t adoTypeOfSql(SQLSMALLINT sqlType) {
  using namespace adoType;
  switch (sqlType) {
    case SQL_INTEGER:
      return kInteger;
    case SQL_SMALLINT:
      return kSmallInt;
    case SQL_TINYINT:
      return kTinyInt;
    case SQL_BIGINT:
      return kBigInt;
    case SQL_BIT:
      return kBoolean;
    case SQL_REAL:
      return kSingle;
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return kDouble;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return kNumeric;
    case SQL_TYPE_DATE:
      return kDate;
    case SQL_DATETIME:
    case SQL_TYPE_TIMESTAMP:
      return kDateTime;
    case SQL_CHAR:
      return kChar;
    case SQL_LONGVARCHAR:
      return kLongVarChar;
    case SQL_WCHAR:
      return kWChar;
    case SQL_WVARCHAR:
      return kVarWChar;
    case SQL_WLONGVARCHAR:
      return kLongVarWChar;
    case SQL_BINARY:
      return kBinary;
    case SQL_VARBINARY:
      return kVarBinary;
    case SQL_LONGVARBINARY:
      return kLongVarBinary;
    case SQL_GUID:
      return kGuid;
    default:
      return kVarChar;
  }
}

struct Column {
  Text name;
  std::int32_t type;
  std::int32_t size;
};

// A parameter's value in the form the driver reads it from, alive until the statement ran.
struct BoundValue {
  SQLLEN indicator = 0;
  SQLBIGINT integer = 0;
  double real = 0;
  SQL_TIMESTAMP_STRUCT timestamp{};
  Text text;
  Variant::Bytes bytes;
};

void bindParameter(SQLHSTMT stmt, SQLUSMALLINT n, const Variant& given, BoundValue& b) {
  using automation::VarType;
  Variant v =
      given.isObject() ? given.object()->invoke(u"", automation::InvokeKind::PropertyGet) : given;
  SQLRETURN rc = SQL_SUCCESS;
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
      b.indicator = SQL_NULL_DATA;
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 1, 0, nullptr, 0,
                            &b.indicator);
      break;
    case VarType::I2:
    case VarType::I4:
    case VarType::I8:
    case VarType::Bool:
      b.integer = v.type() == VarType::Bool ? (automation::toBool(v) ? 1 : 0)
                                            : automation::toInt64Rounded(v);
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &b.integer,
                            0, nullptr);
      break;
    case VarType::R4:
    case VarType::R8:
      b.real = automation::toDouble(v);
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &b.real, 0,
                            nullptr);
      break;
    case VarType::Date: {
      automation::Date d = automation::toDate(v);
      b.timestamp = {static_cast<SQLSMALLINT>(d.year()),
                     static_cast<SQLUSMALLINT>(d.month()),
                     static_cast<SQLUSMALLINT>(d.day()),
                     static_cast<SQLUSMALLINT>(d.hour()),
                     static_cast<SQLUSMALLINT>(d.minute()),
                     static_cast<SQLUSMALLINT>(d.second()),
                     0};
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 19,
                            0, &b.timestamp, 0, nullptr);
      break;
    }
    case VarType::ByteArray:
      b.bytes = v.bytes();
      b.indicator = static_cast<SQLLEN>(b.bytes.size());
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_VARBINARY,
                            std::max<SQLULEN>(b.bytes.size(), 1), 0, b.bytes.data(), b.indicator,
                            &b.indicator);
      break;
    case VarType::Text:
      b.text = v.text();
      b.indicator = static_cast<SQLLEN>(b.text.size() * sizeof(SQLWCHAR));
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                            std::max<SQLULEN>(b.text.size(), 1), 0, wide(b.text), b.indicator,
                            &b.indicator);
      break;
    default:
      automation::throwTypeMismatch();
  }
  check(rc, SQL_HANDLE_STMT, stmt);
}

// A statement handle of a link, freed by its owner whatever fails: a reader whose construction
// fails after the statement ran (the driver cannot describe the result, the link drops) must
// not leave it behind for the life of the connection.
class StatementHandle {
 public:
  explicit StatementHandle(const Link& link) {
    check(SQLAllocHandle(SQL_HANDLE_STMT, link.dbc, &handle_), SQL_HANDLE_DBC, link.dbc);
  }
  ~StatementHandle() { SQLFreeHandle(SQL_HANDLE_STMT, handle_); }
  StatementHandle(const StatementHandle&) = delete;
  StatementHandle& operator=(const StatementHandle&) = delete;
  operator SQLHSTMT() const { return handle_; }

 private:
  SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

class OdbcRows : public Rows {
 public:
  // Runs a statement of its own with `run`; raises the driver's message when it fails.
  template <class Run>
  OdbcRows(std::shared_ptr<Link> link, Run run) : link_(std::move(link)), stmt_(*link_) {
    stopAtDeadline();
    check(run(stmt_), SQL_HANDLE_STMT, stmt_);
    SQLSMALLINT n = 0;
    check(SQLNumResultCols(stmt_, &n), SQL_HANDLE_STMT, stmt_);
    for (SQLSMALLINT i = 1; i <= n; ++i) columns_.push_back(describe(i));
    if (n == 0) {
      SQLLEN count = 0;
      check(SQLRowCount(stmt_, &count), SQL_HANDLE_STMT, stmt_);
      affected_ = count;
    }
  }

  // The driver ends the statement when the running page's deadline comes; a driver without
  // query timeouts refuses the attribute, and the statement runs as before.
  void stopAtDeadline() {
    auto deadline = automation::currentDeadline();
    if (!deadline) return;
    auto left =
        std::chrono::ceil<std::chrono::seconds>(*deadline - std::chrono::steady_clock::now());
    auto seconds = static_cast<SQLULEN>(std::max<std::int64_t>(1, left.count()));
    SQLSetStmtAttrW(stmt_, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(seconds),
                    SQL_IS_UINTEGER);
  }

  int columnCount() const override { return static_cast<int>(columns_.size()); }
  Text columnName(int column) const override { return columns_[column].name; }
  std::int32_t columnType(int column) const override { return columns_[column].type; }
  std::int32_t columnSize(int column) const override { return columns_[column].size; }

  bool next() override {
    row_.clear();
    SQLRETURN rc = SQLFetch(stmt_);
    if (rc == SQL_NO_DATA) return false;
    check(rc, SQL_HANDLE_STMT, stmt_);
    // Drivers need not let a column be read twice or out of order: read the row once.
    for (int i = 0; i < columnCount(); ++i) row_.push_back(read(i));
    return true;
  }

  bool skip() {
    SQLRETURN rc = SQLFetch(stmt_);
    if (rc == SQL_NO_DATA) return false;
    check(rc, SQL_HANDLE_STMT, stmt_);
    return true;
  }

  Variant value(int column) const override { return row_.at(column); }
  std::int64_t rowsAffected() const override { return affected_; }

 private:
  Column describe(SQLSMALLINT i) {
    SQLWCHAR name[256];
    SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    check(SQLDescribeColW(stmt_, i, name, 256, &nameLength, &sqlType, &size, &digits, &nullable),
          SQL_HANDLE_STMT, stmt_);
    SQLWCHAR typeName[128] = {};
    SQLSMALLINT typeLength = 0;
    check(SQLColAttributeW(stmt_, i, SQL_DESC_TYPE_NAME, typeName, sizeof typeName, &typeLength,
                           nullptr),
          SQL_HANDLE_STMT, stmt_);
    // The driver's type name tells money from decimal and int from an int identity.
    auto byName = adoTypeFromDeclared(automation::toUtf8(
        Text(reinterpret_cast<const char16_t*>(typeName), typeLength / sizeof(SQLWCHAR))));
    nameLength = std::min<SQLSMALLINT>(nameLength, 255);
    std::int32_t type = byName.value_or(adoTypeOfSql(sqlType));
    std::int32_t fixed = typeSize(type);
    std::int32_t declared = size > 0 && size < 2147483647 ? static_cast<std::int32_t>(size) : fixed;
    return {Text(reinterpret_cast<const char16_t*>(name), nameLength), type,
            fixed < 2147483647 ? fixed : declared};
  }

  Variant read(int column) {
    SQLUSMALLINT n = static_cast<SQLUSMALLINT>(column + 1);
    switch (columns_[column].type) {
      case adoType::kInteger:
      case adoType::kSmallInt:
      case adoType::kTinyInt:
      case adoType::kBigInt:
        return fixed<SQLBIGINT>(n, SQL_C_SBIGINT,
                                [](SQLBIGINT v) { return Variant(static_cast<long long>(v)); });
      case adoType::kBoolean:
        return fixed<SQLBIGINT>(n, SQL_C_SBIGINT, [](SQLBIGINT v) { return Variant(v != 0); });
      case adoType::kSingle:
      case adoType::kDouble:
      case adoType::kCurrency:
      case adoType::kNumeric:
        return fixed<double>(n, SQL_C_DOUBLE, [](double v) { return Variant(v); });
      case adoType::kDate:
      case adoType::kDateTime:
        return fixed<SQL_TIMESTAMP_STRUCT>(n, SQL_C_TYPE_TIMESTAMP, [](const auto& t) {
          return Variant(
              automation::Date::fromParts(t.year, t.month, t.day, t.hour, t.minute, t.second));
        });
      case adoType::kBinary:
      case adoType::kVarBinary:
      case adoType::kLongVarBinary:
        return bytes(n);
      default:
        return text(n);
    }
  }

  template <class T, class Make>
  Variant fixed(SQLUSMALLINT n, SQLSMALLINT cType, Make make) {
    T v{};
    SQLLEN indicator = 0;
    check(SQLGetData(stmt_, n, cType, &v, sizeof v, &indicator), SQL_HANDLE_STMT, stmt_);
    if (indicator == SQL_NULL_DATA) return Variant::null();
    return make(v);
  }

  // Long values come in pieces; each piece but the last fills the buffer.
  template <class Unit, class Out>
  bool pieces(SQLUSMALLINT n, SQLSMALLINT cType, std::size_t terminator, Out& out) {
    Unit buffer[2048];
    for (;;) {
      SQLLEN indicator = 0;
      SQLRETURN rc = SQLGetData(stmt_, n, cType, buffer, sizeof buffer, &indicator);
      if (rc == SQL_NO_DATA) return true;
      check(rc, SQL_HANDLE_STMT, stmt_);
      if (indicator == SQL_NULL_DATA) return false;
      std::size_t room = std::size(buffer) - terminator;
      std::size_t got =
          indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room * sizeof(Unit)
              ? room
              : static_cast<std::size_t>(indicator) / sizeof(Unit);
      out.insert(out.end(), buffer, buffer + got);
      if (rc == SQL_SUCCESS) return true;
    }
  }

  Variant text(SQLUSMALLINT n) {
    Text out;
    if (!pieces<char16_t>(n, SQL_C_WCHAR, 1, out)) return Variant::null();
    return Variant(std::move(out));
  }

  Variant bytes(SQLUSMALLINT n) {
    Variant::Bytes out;
    if (!pieces<std::uint8_t>(n, SQL_C_BINARY, 0, out)) return Variant::null();
    return Variant(std::move(out));
  }

  std::shared_ptr<Link> link_;  // outlives the statement
  StatementHandle stmt_;
  std::vector<Column> columns_;
  std::vector<Variant> row_;
  std::int64_t affected_ = -1;
};

class OdbcProvider : public Provider {
 public:
  explicit OdbcProvider(const Text& connectionString) : link_(std::make_shared<Link>()) {
    Utf8ForThisThread utf8;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &link_->env))) {
      automation::throwProviderError(kSource, u"The ODBC environment cannot be allocated.");
    }
    check(SQLSetEnvAttr(link_->env, SQL_ATTR_ODBC_VERSION,
                        reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          SQL_HANDLE_ENV, link_->env);
    check(SQLAllocHandle(SQL_HANDLE_DBC, link_->env, &link_->dbc), SQL_HANDLE_ENV, link_->env);
    check(SQLDriverConnectW(link_->dbc, nullptr, wide(connectionString), SQL_NTS, nullptr, 0,
                            nullptr, SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, link_->dbc);
    link_->connected = true;
    sqlite_ = isSqlite();
    // The same footing as the embedded provider's: concurrent pages wait, foreign keys hold.
    if (sqlite_) {
      for (auto& pragma :
           {u"pragma journal_mode=WAL", u"pragma busy_timeout=10000", u"pragma foreign_keys=ON"}) {
        auto rows = execute(pragma);
        while (rows->columnCount() > 0 && rows->skip()) {  // a setting that answers no row
        }
      }
    }
  }

  std::unique_ptr<Rows> query(TextView sql, std::int64_t skip, Params params) override {
    if (!sql::isSingleStatement(sql)) {
      automation::throwProviderError(kSource, u"Only one statement can be run at a time.");
    }
    if (!sqlite_) {
      auto rows = execute(Text(sql), params);
      for (std::int64_t i = 0; i < skip && rows->skip(); ++i) {
      }
      return rows;
    }
    Text adapted = forSqlite(sql);
    return execute(skip > 0 ? sql::fromRow(adapted, skip) : adapted, params);
  }

  std::int64_t count(TextView sql, Params params) override {
    if (sqlite_) {
      auto rows = execute(sql::countRows(forSqlite(sql)), params);
      rows->next();
      return automation::toInt64Rounded(rows->value(0));
    }
    auto rows = execute(Text(sql), params);
    std::int64_t n = 0;
    while (rows->skip()) ++n;
    return n;
  }

  // ODBC has one transaction per connection, begun by leaving auto-commit mode.
  void beginTransaction(int level) override {
    if (level > 1) throwTransactionExists(kSource);
    setAutoCommit(false);
  }
  void commitTransaction(int) override { endTransaction(SQL_COMMIT); }
  void rollbackTransaction(int) override { endTransaction(SQL_ROLLBACK); }

  std::vector<Text> keyColumns(TextView table) override {
    OdbcRows rows(link_, [&](SQLHSTMT stmt) {
      Text name(table);
      return SQLPrimaryKeysW(stmt, nullptr, 0, nullptr, 0, wide(name), SQL_NTS);
    });
    std::vector<std::pair<std::int64_t, Text>> keys;
    while (rows.next()) {
      keys.emplace_back(automation::toInt64Rounded(rows.value(4)),
                        automation::toText(rows.value(3)));
    }
    std::sort(keys.begin(), keys.end());
    std::vector<Text> names;
    for (auto& k : keys) names.push_back(std::move(k.second));
    return names;
  }

  Variant lastInsertId() override {
    auto rows = execute(sqlite_ ? u"select last_insert_rowid()" : u"select @@IDENTITY", {});
    return rows->next() ? rows->value(0) : Variant::null();
  }

  Text rowIdColumn() const override { return sqlite_ ? u"rowid" : u""; }

 private:
  void setAutoCommit(bool on) {
    auto value = static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF);
    check(SQLSetConnectAttrW(link_->dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(value),
                             SQL_IS_UINTEGER),
          SQL_HANDLE_DBC, link_->dbc);
  }

  void endTransaction(SQLSMALLINT completion) {
    check(SQLEndTran(SQL_HANDLE_DBC, link_->dbc, completion), SQL_HANDLE_DBC, link_->dbc);
    setAutoCommit(true);
  }

  std::unique_ptr<OdbcRows> execute(const Text& sql, Params params = {}) {
    return std::make_unique<OdbcRows>(link_, [&](SQLHSTMT stmt) {
      if (params.empty())
        return SQLExecDirectW(stmt, wide(sql), static_cast<SQLINTEGER>(sql.size()));
      std::vector<BoundValue> values(params.size());
      for (std::size_t i = 0; i < params.size(); ++i) {
        bindParameter(stmt, static_cast<SQLUSMALLINT>(i + 1), params[i], values[i]);
      }
      return SQLExecDirectW(stmt, wide(sql), static_cast<SQLINTEGER>(sql.size()));
    });
  }

  // The SQLite rewrites; a text SQLite would cut short at a NUL is refused, as the embedded
  // provider refuses it.
  Text forSqlite(TextView sql) {
    Text adapted = sql::toSqlite(sql, dateColumns());
    if (sql::endsEarlyForSqlite(adapted)) {
      automation::throwProviderError(kSource, u"The command text holds a NUL outside quoted text.");
    }
    return adapted;
  }

  bool isSqlite() {
    SQLWCHAR name[128] = {};
    SQLSMALLINT length = 0;
    check(SQLGetInfoW(link_->dbc, SQL_DBMS_NAME, name, sizeof name, &length), SQL_HANDLE_DBC,
          link_->dbc);
    Text dbms(reinterpret_cast<const char16_t*>(name), length / sizeof(SQLWCHAR));
    return automation::find(automation::lower(dbms), u"sqlite") > 0;
  }

  const sql::DateColumns& dateColumns() {
    return dates_.current([this](const Text& sql) { return execute(sql); });
  }

  std::shared_ptr<Link> link_;
  bool sqlite_ = false;
  DateColumnCache dates_;
};

}  // namespace

std::unique_ptr<Provider> openOdbc(const Text& connectionString) {
  return std::make_unique<OdbcProvider>(connectionString);
}

}  // namespace ado
