// The seam between the ADO objects and a database. A Provider runs statements; the rows of a
// query come back through a forward-only Rows reader. Everything an ADO recordset adds on top
// (EOF/BOF, paging, record counts) is built by Cursor over these two, once for every provider.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "automation/variant.h"

namespace ado {

using automation::Text;
using automation::TextView;
using automation::Variant;

// ADO type numbers of the columns the providers report.
namespace adoType {
inline constexpr std::int32_t kSmallInt = 2;
inline constexpr std::int32_t kInteger = 3;
inline constexpr std::int32_t kSingle = 4;
inline constexpr std::int32_t kDouble = 5;
inline constexpr std::int32_t kCurrency = 6;
inline constexpr std::int32_t kBoolean = 11;
inline constexpr std::int32_t kTinyInt = 17;
inline constexpr std::int32_t kBigInt = 20;
inline constexpr std::int32_t kGuid = 72;
inline constexpr std::int32_t kBinary = 128;
inline constexpr std::int32_t kChar = 129;
inline constexpr std::int32_t kWChar = 130;
inline constexpr std::int32_t kNumeric = 131;
inline constexpr std::int32_t kDate = 133;
inline constexpr std::int32_t kDateTime = 135;  // adDBTimeStamp
inline constexpr std::int32_t kVarChar = 200;
inline constexpr std::int32_t kLongVarChar = 201;
inline constexpr std::int32_t kVarWChar = 202;
inline constexpr std::int32_t kLongVarWChar = 203;
inline constexpr std::int32_t kVarBinary = 204;
inline constexpr std::int32_t kLongVarBinary = 205;
}  // namespace adoType

// The result of one executed statement, read forward. Before the first next() no row is
// current. A statement that returns no rows has no columns and reports rowsAffected().
class Rows {
 public:
  virtual ~Rows() = default;
  virtual int columnCount() const = 0;
  virtual Text columnName(int column) const = 0;
  // The ADO type number of a column; for a column whose type the database leaves to the
  // values (an SQLite expression), that of the current row's value.
  virtual std::int32_t columnType(int column) const = 0;
  // The declared size of a column: characters of a text, bytes of a binary or a number.
  virtual std::int32_t columnSize(int column) const = 0;
  virtual bool next() = 0;  // makes the following row current; false after the last one
  virtual Variant value(int column) const = 0;  // of the current row
  virtual std::int64_t rowsAffected() const = 0;
};

// Values bound to the "?" placeholders of a statement, in order; never pasted into its text.
using Params = std::span<const Variant>;

class Provider {
 public:
  virtual ~Provider() = default;
  // Runs one statement, as the components wrote it; the provider adapts the dialect.
  // `skip` rows of a query are passed over before the reader starts.
  virtual std::unique_ptr<Rows> query(TextView sql, std::int64_t skip, Params params = {}) = 0;
  // The number of rows a query returns, without keeping them.
  virtual std::int64_t count(TextView sql, Params params = {}) = 0;
  // The primary key of a table, in key order; empty when it has none.
  virtual std::vector<Text> keyColumns(TextView table) = 0;
  // The key the database gave the row last inserted through this connection.
  virtual Variant lastInsertId() = 0;
  // A column every row of a table has and that lastInsertId() names ("rowid"), or "" when the
  // database has none and the new row is found by its key.
  virtual Text rowIdColumn() const = 0;

  // Transactions, numbered as ADO numbers them: 1 is the outermost. A provider that cannot
  // nest them raises the database's error for a second one.
  virtual void beginTransaction(int level) = 0;
  virtual void commitTransaction(int level) = 0;
  virtual void rollbackTransaction(int level) = 0;
};

// The text a date is stored and bound as: "yyyy-mm-dd hh:mm:ss".
Text storedDateText(automation::Date d);

}  // namespace ado
