#include "ado/connection_string.h"

#include <gtest/gtest.h>

#include "automation/error.h"

namespace ado {
namespace {

using Kind = ConnectionTarget::Kind;

TEST(ConnectionString, ParsesBracesQuotesAndBlanks) {
  auto pairs = parseConnectionString(u"Driver={SQL; Server};  Data Source = a b ;PWD='x''y';junk");
  ASSERT_EQ(pairs.size(), 3u);
  EXPECT_EQ(pairs[0].second, u"SQL; Server");
  EXPECT_EQ(pairs[1].first, u"Data Source");
  EXPECT_EQ(pairs[1].second, u"a b");
  EXPECT_EQ(pairs[2].second, u"x'y");
}

TEST(ConnectionString, SqliteNamesTheFile) {
  auto t = resolveConnectionString(u"provider=sqlite;data source=/tmp/a.db", u"", u"", u"FreeTDS");
  EXPECT_EQ(t.kind, Kind::Sqlite);
  EXPECT_EQ(t.location, u"/tmp/a.db");
}

TEST(ConnectionString, SqlOleDbIsMappedOntoTheConfiguredDriver) {
  auto t = resolveConnectionString(
      u"Provider=SQLOLEDB.1;Data Source=srv;Initial Catalog=plans;User ID=sa;Password=p;w", u"",
      u"", u"FreeTDS");
  EXPECT_EQ(t.kind, Kind::Odbc);
  EXPECT_EQ(t.location, u"Driver=FreeTDS;Server=srv;Database=plans;UID=sa;PWD=p");
  auto withArgs = resolveConnectionString(u"Provider=SQLOLEDB;Data Source=srv", u"u", u"a;b",
                                          u"ODBC Driver 18");
  EXPECT_EQ(withArgs.location, u"Driver=ODBC Driver 18;Server=srv;UID=u;PWD={a;b}");
  auto withPort = resolveConnectionString(u"Provider=SQLOLEDB;Data Source=10.0.0.5, 1433", u"", u"",
                                          u"FreeTDS");
  EXPECT_EQ(withPort.location, u"Driver=FreeTDS;Server=10.0.0.5;Port=1433");
}

TEST(ConnectionString, DriversAndDsnsGoToOdbc) {
  auto t = resolveConnectionString(u"Provider=MSDASQL;Driver={SQLite3};Database=/tmp/x.db", u"",
                                   u"", u"FreeTDS");
  EXPECT_EQ(t.kind, Kind::Odbc);
  EXPECT_EQ(t.location, u"Driver=SQLite3;Database=/tmp/x.db");
  EXPECT_EQ(resolveConnectionString(u"DSN=plans;UID=a", u"b", u"", u"").location,
            u"DSN=plans;UID=b");
}

TEST(ConnectionString, UnknownProvidersSayWhy) {
  try {
    resolveConnectionString(u"Provider=Jet;Data Source=x", u"", u"", u"");
    FAIL();
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(static_cast<std::uint32_t>(e.code()), 0x80004005u);
    EXPECT_EQ(e.description(), u"Provider cannot be found. It may not be properly installed.");
  }
  EXPECT_THROW(resolveConnectionString(u"Data Source=x", u"", u"", u""),
               automation::AutomationError);
}

}  // namespace
}  // namespace ado
