// Every object a page was given lives until the page ends and no longer, whatever the script's
// garbage collector does: a recordset the page left open gives its SQLite handle back to the
// pool when the page ends, also when the page shadowed the script's built-ins or a component
// call threw. Under the sanitizer build these pages must also leak nothing.
#include <gtest/gtest.h>

#include "ado/ado.h"
#include "ado/sqlite_pool.h"
#include "test_site.h"

namespace host {
namespace {

using host_test::TestSite;

class PageLifetime : public ::testing::Test {
 protected:
  static host_test::TestSiteOptions withDatabase() {
    host_test::TestSiteOptions options;
    options.classes = ado::registerClasses;
    options.files = {
        {"schema.sql", "create table t(id integer primary key, name varchar(20), born datetime);"},
        {"seed.sql",
         "insert into t values(1, 'a', '2001-02-03 04:05:06');"
         "insert into t values(2, 'b', '2002-03-04');"}};
    return options;
  }

  PageLifetime() : site(withDatabase()) {
    // The handle a closed recordset gives back: the one the pages below take again.
    HttpReply warm = site.page(
        "<% var rs = Server.CreateObject('ADODB.Recordset');"
        " rs.Open('select id from t', Application('ConnStr')); rs.Close(); %>");
    EXPECT_FALSE(warm.failure);
    idle = ado::SqlitePool::shared().idleCount();
  }

  std::size_t idleAfter(const std::string& source, bool fails = false) {
    HttpReply r = site.page(source);
    EXPECT_EQ(static_cast<bool>(r.failure), fails) << (r.failure ? failureSummary(*r.failure) : "");
    return ado::SqlitePool::shared().idleCount();
  }

  TestSite site;
  std::size_t idle = 0;
};

TEST_F(PageLifetime, AnOpenRecordsetIsBackInThePoolWhenThePageEnds) {
  EXPECT_GE(idle, 1u);
  EXPECT_EQ(
      idleAfter("<% var rs = Server.CreateObject('ADODB.Recordset');\n"
                "rs.Open('select id, name from t', Application('ConnStr'));\n"
                "var f = rs.Fields(1); Response.Write(rs('name') + f.Value + rs.Fields.Count); %>"),
      idle);
  EXPECT_EQ(idleAfter("<% var c = Server.CreateObject('ADODB.Connection');\n"
                      "c.Open(Application('ConnStr')); var rs = c.Execute('select id from t');\n"
                      "Session('kept') = rs.EOF; %>"),
            idle);
}

TEST_F(PageLifetime, ShadowedDateAndThrowingComponentsLeaveNothingBehind) {
  EXPECT_EQ(idleAfter("<% Date = 5; var rs = Server.CreateObject('ADODB.Recordset');\n"
                      "rs.Open('select born from t', Application('ConnStr'));\n"
                      "Response.Write(rs.Fields('born').Value.getFullYear()); %>"),
            idle);
  EXPECT_EQ(idleAfter("<% var rs = Server.CreateObject('ADODB.Recordset');\n"
                      "rs.Open('select id from t', Application('ConnStr'));\n"
                      "rs.Open('select nothing from nowhere', Application('ConnStr')); %>",
                      true),
            idle);
  EXPECT_EQ(idleAfter("<% var rs = Server.CreateObject('ADODB.Recordset');\n"
                      "rs.Open('select id from t', Application('ConnStr'));\n"
                      "try { rs.Fields('missing'); } catch (e) { Response.Write(e.number); }\n"
                      "throw new Error(1, 'page gives up'); %>",
                      true),
            idle);
}

TEST(PageTimeout, AStatementRunningPastTheScriptTimeoutIsStopped) {
  host_test::TestSiteOptions options;
  options.classes = ado::registerClasses;
  options.timeout = std::chrono::milliseconds(300);
  options.files = {{"schema.sql", "create table t(id integer primary key);"}};
  TestSite site(options);
  auto started = std::chrono::steady_clock::now();
  HttpReply r = site.page(
      "<% var rs = Server.CreateObject('ADODB.Recordset');\n"
      "rs.Open('with recursive c(x) as (select 1 union all select x + 1 from c) "
      "select count(*) from c', Application('ConnStr')); %><%= rs(0).Value %>");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_EQ(r.status, 500) << r.body;
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->description, u"script timed out") << failureSummary(*r.failure);
  // The connection is good for the next page.
  HttpReply next = site.page(
      "<% var rs = Server.CreateObject('ADODB.Recordset');"
      " rs.Open('select count(*) from t', Application('ConnStr')); %><%= rs(0).Value %>");
  EXPECT_EQ(next.body, "0");
}

}  // namespace
}  // namespace host
