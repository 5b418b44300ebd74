// ADO-style connection strings ("key=value;..."), and which provider they name:
//   Provider=SQLite;Data Source=path                        the embedded provider
//   Driver=...;... / DSN=...;... / Provider=MSDASQL;...      ODBC, the rest passed on as it is
//   Provider=SQLOLEDB;Data Source=srv;Initial Catalog=db;User ID=u;Password=p
//                 ODBC through the SQL Server driver named by BALANCE_SQLSERVER_DRIVER
//                 (default FreeTDS), so that existing connection strings keep working.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "automation/text.h"

namespace ado {

using automation::Text;
using automation::TextView;

// Keys as written, values with braces or quotes removed.
std::vector<std::pair<Text, Text>> parseConnectionString(TextView s);

struct ConnectionTarget {
  enum class Kind { Sqlite, Odbc } kind;
  Text location;  // the SQLite file, or the ODBC connection string
};

// `userId` and `password`, when not empty, override those of the string.
ConnectionTarget resolveConnectionString(TextView s, TextView userId, TextView password,
                                         TextView sqlServerDriver);

}  // namespace ado
