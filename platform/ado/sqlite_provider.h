// The embedded provider: "Provider=SQLite;Data Source=path". Each connection runs in WAL mode
// with a busy timeout, so that the pages of several users read and write one file at once; its
// handle comes from the process's pool (sqlite_pool.h) and goes back to it when closed.
#pragma once

#include <memory>
#include <string>

#include "ado/provider.h"

namespace ado {

std::unique_ptr<Provider> openSqlite(const std::string& path);  // path in UTF-8

}  // namespace ado
