// ADO-style data access: Connection, Recordset, Fields and Field with the semantics the
// components rely on (cursor types, paging, ADO type numbers), over two providers: SQLite,
// embedded, and ODBC. Both classes are also creatable by scripts as ADODB.Connection and
// ADODB.Recordset. Every database failure is raised as the automation error 0x80004005
// carrying the database's own message.
#pragma once

#include <memory>

#include "automation/object.h"
#include "automation/registry.h"

namespace ado {

using automation::Text;
using automation::TextView;
using automation::Variant;

// ADO numbers used by the components and pages.
enum CursorType : std::int32_t {
  adOpenUnspecified = -1,
  adOpenForwardOnly = 0,
  adOpenKeyset = 1,
  adOpenDynamic = 2,
  adOpenStatic = 3
};
enum ObjectState : std::int32_t { adStateClosed = 0, adStateOpen = 1 };

class Provider;  // the database behind a connection (provider.h)
class Cursor;    // the rows behind an open recordset (provider.h)

class Connection : public automation::Dispatch {
 public:
  Connection();
  ~Connection() override;
  const automation::TypeInfo& typeInfo() const override;

  // Opens the provider named by an ADO-style connection string ("Provider=SQLite;Data
  // Source=file.db", "Driver=...;...", "DSN=...", "Provider=SQLOLEDB;...").
  void Open(TextView connectionString, TextView userId = u"", TextView password = u"",
            std::int32_t options = -1);
  // Runs a statement. The result is a recordset object for a statement that returns rows and
  // empty otherwise; `recordsAffected`, when given, receives the number of rows changed.
  Variant Execute(TextView commandText, Variant* recordsAffected = nullptr,
                  std::int32_t options = -1);
  // Closing inside a transaction is refused (ADO error 3246); end the transaction first.
  void Close();
  std::int32_t State() const;
  const Text& ConnectionString() const { return connectionString_; }

  // Transactions. BeginTrans opens one inside any already open and answers its nesting level
  // (1 for the outermost); CommitTrans and RollbackTrans end the innermost. A connection
  // released inside a transaction rolls it back.
  std::int32_t BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  void setConnectionString(TextView s);  // the string Open uses when given none; closed only

  Provider& provider();  // raises "operation not allowed when the object is closed" if closed

 private:
  friend class Recordset;
  // Shared with the cursors opened on this connection, which outlive a Close.
  std::shared_ptr<Provider> sharedProvider();

  Text connectionString_;
  std::shared_ptr<Provider> provider_;
  std::int32_t transactionLevel_ = 0;
};

class Field : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;
  Field(std::shared_ptr<Cursor> cursor, int index) : cursor_(std::move(cursor)), index_(index) {}
  Text Name() const;
  Variant Value() const;      // of the current row; null for SQL NULL; raises at EOF/BOF
  std::int32_t Type() const;  // ADO type number: 3 int, 135 datetime, 200 varchar, ...

 private:
  std::shared_ptr<Cursor> cursor_;
  int index_;
};

class Fields : public automation::Dispatch {
 public:
  explicit Fields(std::shared_ptr<Cursor> cursor) : cursor_(std::move(cursor)) {}
  const automation::TypeInfo& typeInfo() const override;
  std::int32_t Count() const;
  // By 0-based number or by name (case-insensitive); an unknown name or number raises ADO's
  // "item cannot be found" error (0x800A0CC1).
  std::shared_ptr<Field> Item(const Variant& indexOrName) const;

 private:
  std::shared_ptr<Cursor> cursor_;
};

class Recordset : public automation::Dispatch {
 public:
  Recordset();
  ~Recordset() override;
  const automation::TypeInfo& typeInfo() const override;

  // `activeConnection` is a Connection object or a connection string; a string opens a
  // connection of the recordset's own, closed with the recordset.
  void Open(const Variant& source, const Variant& activeConnection,
            std::int32_t cursorType = adOpenUnspecified, std::int32_t lockType = -1,
            std::int32_t options = -1);
  void Close();
  std::int32_t State() const;

  bool eof() const;  // EOF to scripts
  bool bof() const;  // BOF to scripts
  void MoveNext();
  void MoveFirst();

  std::shared_ptr<ado::Fields> Fields() const;
  // Shorthands for Fields(x).Value and Fields(x).Type, the hot path of the list views.
  Variant value(const Variant& indexOrName) const;
  std::int32_t type(const Variant& indexOrName) const;

  // Paging of keyset and static recordsets.
  std::int32_t PageSize() const { return pageSize_; }
  void setPageSize(std::int32_t n);
  std::int32_t AbsolutePage() const;
  void setAbsolutePage(std::int32_t page);  // page < 1: 0x800A0BB9; past the last: at EOF
  std::int32_t PageCount() const;
  std::int32_t RecordCount() const;

  // Opens the recordset on rows already read from a connection (Connection.Execute).
  void adopt(std::shared_ptr<Cursor> cursor);

 private:
  Cursor& cursor() const;  // raises "operation not allowed when the object is closed"

  std::shared_ptr<Connection> ownConnection_;
  std::shared_ptr<Cursor> cursor_;
  std::int32_t pageSize_ = 10;
};

// Registers ADODB.Connection and ADODB.Recordset.
void registerClasses(automation::ClassRegistry& registry);

}  // namespace ado
