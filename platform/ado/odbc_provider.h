// The ODBC provider, through unixODBC's wide-character API (SQLWCHAR is UTF-16 there, so text
// stays UTF-16 end to end). The dialect follows the database the driver reports: SQLite data
// sources get the SQLite rewrites, every other one receives the statements unchanged.
#pragma once

#include <memory>

#include "ado/provider.h"

namespace ado {

std::unique_ptr<Provider> openOdbc(const Text& connectionString);

}  // namespace ado
