// The database operations every class uses, with the arguments the classes always pass:
// connections are opened with an empty user and password and options -1, recordsets with
// lock type and options -1.
#pragma once

#include <memory>

#include "ado/ado.h"

namespace frame {

std::shared_ptr<ado::Connection> openConnection(automation::TextView connectionString);
// `activeConnection` is an open connection object or a connection string.
std::shared_ptr<ado::Recordset> openRecordset(automation::TextView sql,
                                              const automation::Variant& activeConnection,
                                              std::int32_t cursorType);
void execute(ado::Connection& connection, automation::TextView sql);

}  // namespace frame
