#include "database.h"

namespace frame {

std::shared_ptr<ado::Connection> openConnection(automation::TextView connectionString) {
  auto conn = std::make_shared<ado::Connection>();
  conn->Open(connectionString, u"", u"", -1);
  return conn;
}

std::shared_ptr<ado::Recordset> openRecordset(automation::TextView sql,
                                              const automation::Variant& activeConnection,
                                              std::int32_t cursorType) {
  auto rs = std::make_shared<ado::Recordset>();
  rs->Open(automation::Variant(sql), activeConnection, cursorType, -1, -1);
  return rs;
}

void execute(ado::Connection& connection, automation::TextView sql) {
  connection.Execute(sql, nullptr, -1);
}

}  // namespace frame
