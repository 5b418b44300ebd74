// The test fixture of the data access suites: each test runs against the embedded provider and
// against ODBC (Debian's SQLite ODBC driver on the same kind of file), on a fresh database file.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <string>

#include "ado/ado.h"
#include "automation/error.h"

namespace ado {

using automation::AutomationError;

constexpr std::uint32_t kProviderError = 0x80004005;

inline std::uint32_t code(const AutomationError& e) { return static_cast<std::uint32_t>(e.code()); }

template <class F>
AutomationError errorOf(F f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return AutomationError(0, u"", u"");
}

struct Target {
  const char* name;
  const char* prefix;  // the connection string up to the file name
};

inline void PrintTo(const Target& t, std::ostream* os) { *os << t.name; }

class ProviderTest : public ::testing::TestWithParam<Target> {
 protected:
  void SetUp() override {
    char path[] = "/tmp/balance-ado-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    path_ = path;
    connectionString_ = automation::fromUtf8(std::string(GetParam().prefix) + path_);
    conn_ = std::make_shared<Connection>();
    conn_->Open(connectionString_);
  }

  void TearDown() override {
    if (conn_->State() == adStateOpen) conn_->Close();
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
      std::remove((path_ + suffix).c_str());
    }
  }

  void run(const Text& sql) { conn_->Execute(sql); }

  std::shared_ptr<Recordset> open(const Text& sql, std::int32_t cursorType = adOpenKeyset) {
    auto rs = std::make_shared<Recordset>();
    rs->Open(Variant(sql), Variant(automation::ObjectRef(conn_)), cursorType, -1, -1);
    return rs;
  }

  // Every value of one column, read forward.
  std::vector<Text> column(const Text& sql, const Text& name) {
    auto rs = open(sql);
    std::vector<Text> out;
    for (; !rs->eof(); rs->MoveNext())
      out.push_back(automation::joinText(rs->value(Variant(name))));
    rs->Close();
    return out;
  }

  std::string path_;
  Text connectionString_;
  std::shared_ptr<Connection> conn_;
};

inline const Target kTargets[] = {{"Sqlite", "Provider=SQLite;Data Source="},
                                  {"Odbc", "Driver={SQLite3};Database="}};

inline std::string targetName(const ::testing::TestParamInfo<Target>& info) {
  return info.param.name;
}

}  // namespace ado
