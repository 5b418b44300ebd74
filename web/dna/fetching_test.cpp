#include "dna_fixture.h"

namespace dna_test {
namespace {

std::vector<Text> names(ado::Recordset& rs) {
  std::vector<Text> out;
  for (; !rs.eof(); rs.MoveNext()) out.push_back(automation::joinText(rs.value(Variant(u"name"))));
  return out;
}

TEST(Fetching, GetListWithoutSortOrSearchWritesNothing) {
  FixtureDb db;
  DnaPage page;
  page.open(db);
  ado::Recordset rs;
  page->GetList(rs);
  EXPECT_EQ(page.session(u"strSQL").text(), u"select id,name,dept,kind from person ");
  EXPECT_EQ(rs.RecordCount(), 5);
  EXPECT_EQ(page.output(), u"");
}

TEST(Fetching, GetListWithWhereSearchAndSort) {
  FixtureDb db;
  auto session = std::make_shared<asp::Session>();
  session->set(u"strURL", u"/list.asp");
  session->set(u"strSearch", u"kind like '%A%' ");
  session->set(u"strOrder", u"name DESC ");
  session->set(u"strOrder2", u"id");
  DnaPage page("page=1", session);
  page.open(db, u"select id,name,dept,kind from person where dept=1");
  page->DebugMode();
  page.take();
  ado::Recordset rs;
  page->GetList(rs);
  const Text sql =
      u"select id,name,dept,kind from person where dept=1 and kind like '%A%'   order by name "
      u"DESC ,id";
  EXPECT_EQ(page.session(u"strSQL").text(), sql);
  EXPECT_EQ(page.take(), u"SQL:" + sql + hidden(u"##调试信息:DispList OK!<br>\r\n") +
                             hidden(u"#Session(strSQL):" + sql + u"<br>\r\n"));
  EXPECT_EQ(names(rs), (std::vector<Text>{u"王五", u"张三"}));
}

TEST(Fetching, SecondarySortAloneIsIgnored) {
  FixtureDb db;
  auto session = std::make_shared<asp::Session>();
  session->set(u"strURL", u"/list.asp");
  session->set(u"strOrder2", u"name");
  DnaPage page("", session);
  page.open(db);
  ado::Recordset rs;
  page->GetList(rs);
  EXPECT_EQ(page.session(u"strSQL").text(), u"select id,name,dept,kind from person ");
}

TEST(Fetching, GetListStoresTheStatementBeforeTheDatabaseRejectsIt) {
  FixtureDb db;
  auto session = std::make_shared<asp::Session>();
  session->set(u"strSearch", u"nosuchcolumn=1 ");
  DnaPage page("page=1", session);
  page.open(db);
  ado::Recordset rs;
  EXPECT_THROW(page->GetList(rs), automation::AutomationError);
  EXPECT_EQ(page.session(u"strSQL").text(),
            u"select id,name,dept,kind from person  where nosuchcolumn=1  ");
}

TEST(Fetching, GetRsOpensAnyStatementQuietly) {
  FixtureDb db;
  DnaPage page;
  page.open(db);
  page->DebugMode();
  page.take();
  ado::Recordset rs;
  Variant sql(u"select name from person where dept=2");
  page->GetRs(sql, rs);
  EXPECT_EQ(names(rs), std::vector<Text>{u"李四"});
  EXPECT_EQ(page.take(), u"");
  EXPECT_FALSE(page.session(u"strSQL").isText());
}

// The column types are read on every call that needs them, and always leave hidden lines;
// search writes nothing of its own, so they are all it writes.
TEST(Fetching, FieldTypesTraceEveryColumn) {
  FixtureDb db;
  db.run(u"create table typed(id integer, born datetime, note varchar(10), amount numeric)");
  DnaPage page;
  page.open(db, u"select id,born,note,amount from typed");
  const Text lines = hidden(u"id:3<br>") + hidden(u"born:135<br>") + hidden(u"note:200<br>") +
                     hidden(u"amount:131<br>");
  page->search();
  EXPECT_EQ(page.take(), lines);
  page->search();
  EXPECT_EQ(page.take(), lines);
}

}  // namespace
}  // namespace dna_test
