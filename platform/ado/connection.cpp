// Connection: opening a provider from a connection string, running statements, and the
// errors of its operations.
#include <cstdlib>

#include "ado/ado.h"
#include "ado/ado_errors.h"
#include "ado/class_ids.h"
#include "ado/connection_string.h"
#include "ado/cursor.h"
#include "ado/odbc_provider.h"
#include "ado/script_args.h"
#include "ado/sqlite_provider.h"

namespace ado {
namespace {

Text sqlServerDriver() {
  const char* configured = std::getenv("BALANCE_SQLSERVER_DRIVER");
  return automation::fromUtf8(configured && *configured ? configured : "FreeTDS");
}

std::unique_ptr<Provider> openProvider(TextView connectionString, TextView userId,
                                       TextView password) {
  ConnectionTarget target =
      resolveConnectionString(connectionString, userId, password, sqlServerDriver());
  if (target.kind == ConnectionTarget::Kind::Sqlite) {
    return openSqlite(automation::toUtf8(target.location));
  }
  return openOdbc(target.location);
}

const automation::TypeInfo& connectionType() {
  using automation::optionalByRef;
  using automation::optionalByVal;
  static const automation::TypeInfo info =
      automation::MemberTable<Connection>(u"_Connection", kConnectionIid)
          .sub(u"Open",
               {optionalByVal(u"ConnectionString"), optionalByVal(u"UserID"),
                optionalByVal(u"Password"), optionalByVal(u"Options")},
               [](Connection& c, automation::Args a) {
                 c.Open(textArgOr(a, 0), textArgOr(a, 1), textArgOr(a, 2), intArgOr(a, 3, -1));
               })
          .function(u"Execute",
                    {automation::byVal(u"CommandText"), optionalByRef(u"RecordsAffected"),
                     optionalByVal(u"Options")},
                    [](Connection& c, automation::Args a) {
                      Variant affected;
                      Variant result = c.Execute(textArgOr(a, 0), &affected, intArgOr(a, 2, -1));
                      if (a.size() > 1) a[1] = affected;
                      return result;
                    })
          .sub(u"Close", {}, [](Connection& c, automation::Args) { c.Close(); })
          .function(u"BeginTrans", {},
                    [](Connection& c, automation::Args) { return Variant(c.BeginTrans()); })
          .sub(u"CommitTrans", {}, [](Connection& c, automation::Args) { c.CommitTrans(); })
          .sub(u"RollbackTrans", {}, [](Connection& c, automation::Args) { c.RollbackTrans(); })
          .readOnly(u"State", [](Connection& c, automation::Args) { return Variant(c.State()); })
          .readOnly(u"Errors",
                    [](Connection& c, automation::Args) {
                      return Variant(automation::ObjectRef(c.Errors()));
                    })
          .field(u"CursorLocation", &Connection::CursorLocation)
          .field(u"CommandTimeout", &Connection::CommandTimeout)
          .property(
              u"ConnectionString", {},
              [](Connection& c, automation::Args) { return Variant(c.ConnectionString()); },
              [](Connection& c, automation::Args, const Variant& v) {
                c.setConnectionString(automation::toText(v));
              },
              u"pbstr")
          .asDefault()
          .build();
  return info;
}

}  // namespace

Connection::Connection() : errors_(std::make_shared<ado::Errors>()) {}

Connection::~Connection() {
  if (!provider_ || transactionLevel_ == 0) return;
  // Nothing can report a failure here; the database drops the transaction with the handle.
  try {
    provider_->rollbackTransaction(1);
  } catch (const automation::AutomationError&) {
  }
}

const automation::TypeInfo& Connection::typeInfo() const { return connectionType(); }

void Connection::Open(TextView connectionString, TextView userId, TextView password, std::int32_t) {
  if (provider_) throwObjectOpen(errorSource::kConnection);
  Text s(connectionString.empty() ? TextView(connectionString_) : connectionString);
  provider_ = recordingErrors([&] { return openProvider(s, userId, password); });
  connectionString_ = std::move(s);
}

Variant Connection::Execute(TextView commandText, Variant* recordsAffected, std::int32_t) {
  std::shared_ptr<Provider> provider = sharedProvider();
  std::unique_ptr<Rows> rows = recordingErrors([&] { return provider->query(commandText, 0); });
  if (rows->columnCount() == 0) {
    if (recordsAffected) *recordsAffected = Variant(static_cast<long long>(rows->rowsAffected()));
    return Variant();
  }
  if (recordsAffected) *recordsAffected = Variant(-1);
  auto recordset = std::make_shared<Recordset>();
  recordset->adopt(std::make_shared<Cursor>(std::move(provider), Text(commandText),
                                            adOpenForwardOnly, std::move(rows)));
  return Variant(automation::ObjectRef(recordset));
}

void Connection::Close() {
  if (!provider_) throwObjectClosed(errorSource::kConnection);
  if (transactionLevel_ > 0) throwInTransaction(errorSource::kConnection);
  provider_.reset();
}

std::int32_t Connection::BeginTrans() {
  provider().beginTransaction(transactionLevel_ + 1);
  return ++transactionLevel_;
}

void Connection::CommitTrans() {
  Provider& p = provider();
  if (transactionLevel_ == 0) throwNoTransaction(errorSource::kConnection);
  p.commitTransaction(transactionLevel_);
  --transactionLevel_;
}

void Connection::RollbackTrans() {
  Provider& p = provider();
  if (transactionLevel_ == 0) throwNoTransaction(errorSource::kConnection);
  p.rollbackTransaction(transactionLevel_);
  --transactionLevel_;
}

std::int32_t Connection::State() const { return provider_ ? adStateOpen : adStateClosed; }

void Connection::setConnectionString(TextView s) {
  if (provider_) throwObjectOpen(errorSource::kConnection);
  connectionString_ = Text(s);
}

Provider& Connection::provider() { return *sharedProvider(); }

std::shared_ptr<Provider> Connection::sharedProvider() {
  if (!provider_) throwObjectClosed(errorSource::kConnection);
  return provider_;
}

}  // namespace ado
