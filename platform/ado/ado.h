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
enum LockType : std::int32_t {
  adLockUnspecified = -1,
  adLockReadOnly = 1,
  adLockPessimistic = 2,
  adLockOptimistic = 3,
  adLockBatchOptimistic = 4
};
enum CursorLocation : std::int32_t { adUseServer = 2, adUseClient = 3 };
enum CommandType : std::int32_t {
  adCmdUnspecified = -1,
  adCmdText = 1,
  adCmdTable = 2,
  adCmdStoredProc = 4,
  adCmdUnknown = 8
};

class Provider;   // the database behind a connection (provider.h)
class Cursor;     // the rows behind an open recordset (provider.h)
class RowWriter;  // the statements that write a recordset's rows (record_writes.h)
class Command;

// Connection.Errors: the errors of the connection's last failed operation.
class Error : public automation::Dispatch {
 public:
  explicit Error(const automation::AutomationError& e) : error_(e) {}
  const automation::TypeInfo& typeInfo() const override;
  const automation::AutomationError& error() const { return error_; }

 private:
  automation::AutomationError error_;
};

class Errors : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;
  void record(const automation::AutomationError& e);
  void Clear() { errors_.clear(); }
  std::int32_t Count() const { return static_cast<std::int32_t>(errors_.size()); }
  std::shared_ptr<Error> Item(const Variant& index) const;  // 0-based

 private:
  std::vector<std::shared_ptr<Error>> errors_;
};

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
  const std::shared_ptr<ado::Errors>& Errors() const { return errors_; }
  std::int32_t CursorLocation = adUseServer;
  std::int32_t CommandTimeout = 30;

  // Runs `operation`; a failure is recorded in Errors before it goes on to the caller.
  template <class F>
  auto recordingErrors(F operation) -> decltype(operation()) {
    try {
      return operation();
    } catch (const automation::AutomationError& e) {
      errors_->record(e);
      throw;
    }
  }

 private:
  friend class Recordset;
  friend class Command;
  // Shared with the cursors opened on this connection, which outlive a Close.
  std::shared_ptr<Provider> sharedProvider();

  Text connectionString_;
  std::shared_ptr<Provider> provider_;
  std::int32_t transactionLevel_ = 0;
  std::shared_ptr<ado::Errors> errors_;
};

// One column of a recordset; it follows the recordset's current row.
class Field : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;
  Field(std::shared_ptr<Cursor> cursor, int index) : cursor_(std::move(cursor)), index_(index) {}
  Text Name() const;
  Variant Value() const;  // of the current row; null for SQL NULL; raises at EOF/BOF
  // Starts editing the current row (or sets a column of a row being added); the recordset
  // writes it on Update.
  void setValue(Variant v);
  std::int32_t Type() const;  // ADO type number: 3 int, 135 datetime, 200 varchar, ...
  std::int32_t DefinedSize() const;
  std::int32_t ActualSize() const;  // characters of a text, bytes of a binary, else DefinedSize
  Variant OriginalValue() const;    // as read from the database, before edits

 private:
  std::shared_ptr<Cursor> cursor_;
  int index_;
};

class Fields : public automation::Dispatch {
 public:
  explicit Fields(std::shared_ptr<Cursor> cursor) : cursor_(std::move(cursor)) {}
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;  // the Field objects
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

  // `source` is a statement, a table name (with options adCmdTable) or a Command object;
  // `activeConnection` is a Connection object or a connection string (a string opens a
  // connection of the recordset's own, closed with the recordset). Lock types 2 and 3 make the
  // recordset of a one-table statement updatable.
  void Open(const Variant& source, const Variant& activeConnection,
            std::int32_t cursorType = adOpenUnspecified, std::int32_t lockType = -1,
            std::int32_t options = -1);
  void Close();
  std::int32_t State() const;

  bool eof() const;  // EOF to scripts
  bool bof() const;  // BOF to scripts
  // A move first writes pending edits, as ADO does.
  void MoveNext();
  void MoveFirst();
  void MovePrevious();
  void MoveLast();
  void Move(std::int32_t rows);
  std::int32_t AbsolutePosition() const;  // 1-based; -1 unknown, -2 at BOF, -3 at EOF
  void setAbsolutePosition(std::int32_t position);

  // Rows from the current one on, at most `rows` (-1: all), as fields x rows; the cursor ends
  // after the last row read. `fields` is a name, a number or an array of them; missing: all.
  Variant GetRows(std::int32_t rows, const Variant& fields);
  Text GetString(std::int32_t rows, TextView columnDelimiter, TextView rowDelimiter,
                 TextView nullExpression);

  void AddNew();
  void Update();
  void CancelUpdate();
  void Delete();
  std::int32_t EditMode() const;
  std::int32_t LockType() const { return lockType_; }
  std::int32_t CursorType() const;
  std::int32_t CursorLocation = adUseServer;
  Text Source() const;
  std::optional<std::vector<Variant>> enumerate() override;  // the fields

  std::shared_ptr<ado::Fields> Fields() const;
  // Shorthands for Fields(x).Value and Fields(x).Type, the hot path of the list views.
  Variant value(const Variant& indexOrName) const;
  // The 0-based column of Fields(x), so that a reader of many rows looks a name up once;
  // raises what Fields(x) raises for an unknown one.
  int fieldIndex(const Variant& indexOrName) const;
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
  RowWriter& writer();     // raises ADO's "does not support updating" for read-only ones
  void writeEdits();       // Update, when there is something to write
  template <class F>
  auto recordingErrors(F operation) -> decltype(operation());

  std::shared_ptr<Connection> connection_;
  bool ownsConnection_ = false;
  std::shared_ptr<Cursor> cursor_;
  std::unique_ptr<RowWriter> writer_;
  std::int32_t lockType_ = adLockReadOnly;
  std::int32_t pageSize_ = 10;
};

// A parameter of a command, bound to one "?" of its text in order.
class Parameter : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;
  Text Name;
  std::int32_t Type = 12;      // adVariant
  std::int32_t Direction = 1;  // adParamInput
  std::int32_t Size = 0;
  Variant Value;
  // The value converted to the parameter's type, as it is bound.
  Variant boundValue() const;
};

class Parameters : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  std::shared_ptr<Parameter> Item(const Variant& indexOrName) const;  // 0-based or by name
  void Append(std::shared_ptr<Parameter> p) { items_.push_back(std::move(p)); }
  void Delete(const Variant& indexOrName);
  const std::vector<std::shared_ptr<Parameter>>& all() const { return items_; }

 private:
  std::size_t indexOf(const Variant& indexOrName) const;
  std::vector<std::shared_ptr<Parameter>> items_;
};

class Command : public automation::Dispatch {
 public:
  Command();
  const automation::TypeInfo& typeInfo() const override;

  void setActiveConnection(const Variant& connectionOrString);
  std::shared_ptr<Connection> ActiveConnection() const { return connection_; }
  Text CommandText;
  std::int32_t CommandType = adCmdText;
  std::int32_t CommandTimeout = 30;
  bool Prepared = false;
  const std::shared_ptr<ado::Parameters>& Parameters() const { return parameters_; }
  std::shared_ptr<Parameter> CreateParameter(TextView name, std::int32_t type,
                                             std::int32_t direction, std::int32_t size,
                                             const Variant& value) const;
  // Runs the command with its parameters' values, or with `values` when given. The result is
  // a forward-only recordset, closed for a statement that returns no rows.
  std::shared_ptr<Recordset> Execute(Variant* recordsAffected = nullptr,
                                     const Variant& values = Variant::missing());

  // The statement and its parameter values, for Recordset.Open of a command.
  Text statement() const;
  std::vector<Variant> parameterValues(const Variant& values = Variant::missing()) const;

 private:
  std::shared_ptr<Connection> connection_;
  std::shared_ptr<ado::Parameters> parameters_;
};

// Registers ADODB.Connection, ADODB.Recordset and ADODB.Command.
void registerClasses(automation::ClassRegistry& registry);

}  // namespace ado
