#include "dna_fixture.h"

namespace dna_test {
namespace {

constexpr char16_t kWorkedExample[] =
    u"select id,name,dept,kind from person where dept=3 and kind='A' order by name,id";

TEST(TableDescription, WorkedExampleFieldsSessionAndTrace) {
  FixtureDb db;
  DnaPage page;
  page->DebugMode();
  Variant statement(Text(u"  ") + kWorkedExample + u" ");
  Variant conn(db.connStr());
  Variant captions(kPersonCaptions);
  page->OpenDNA(conn, statement, captions);

  EXPECT_EQ(statement.text(), kWorkedExample);  // trimmed in the caller's variable
  EXPECT_EQ(page->strItemEnglish, u"id,name,dept,kind");
  EXPECT_EQ(page->strItemChinese, u"编号,姓名,部门,类别");
  EXPECT_EQ(page->strItemCodeSQL, u"id;name;dept;kind");
  EXPECT_EQ(page->strItemKeyName, u"id");
  EXPECT_EQ(page->strAction, u"list");
  EXPECT_EQ(page->nPage, 1);
  // Seeded from the default sort, then cleared: this is the first request of the page.
  EXPECT_EQ(page.session(u"strOrder").text(), u"");
  EXPECT_EQ(page.session(u"strItemChose").text(), u"id,name,dept,kind");
  EXPECT_EQ(page.session(u"nPageSize").type(), automation::VarType::I2);
  EXPECT_EQ(automation::toInt16(page.session(u"nPageSize")), 20);

  const Text expected =
      hidden(u"##调试信息:进入调试模式<br>\r\n") + hidden(u"##调试信息:OpenDNA<br>\r\n") +
      hidden(u"#表　　名:person<br>\r\n") + hidden(u"#条　　件:where dept=3 and kind='A'<br>\r\n") +
      hidden(u"#英文字段:id,name,dept,kind<br>\r\n") +
      hidden(u"#中文字段:编号,姓名,部门,类别<br>\r\n") + hidden(u"#主键字段:id<br>\r\n") +
      hidden(u"#编码检索:id;name;dept;kind<br>\r\n") + hidden(u"#缺省排序:name,id:name: <br>\r\n") +
      hidden(u"限定字段:dept:3<br>") + hidden(u"限定字段:kind:'A'<br>") +
      hidden(u"##调试信息:打开数据库 OK!<br>\r\n") + hidden(u"#Res:action=<br>\r\n") +
      hidden(u"#Res:page=<br>\r\n") + hidden(u"#Res:pageSize=<br>\r\n") +
      hidden(u"#Res:order=<br>\r\n") + hidden(u"#Res:choseItem=<br>\r\n") +
      hidden(u"#Res:id=<br>\r\n") + hidden(u"#Res:name=<br>\r\n") + hidden(u"#Res:dept=<br>\r\n") +
      hidden(u"#Res:kind=<br>\r\n") + hidden(u"#Res:id=<br>\r\n") +
      hidden(u"##调试信息:GetRequestValue OK!<br>\r\n") + hidden(u"#Querystring:<br>\r\n") +
      hidden(u"#TotalSize:0<br>\r\n") +
      hidden(u"#Session(strItemChose):id,name,dept,kind<br>\r\n") +
      hidden(u"#strURL:/list.asp<br>\r\n");
  EXPECT_EQ(page.output(), expected);

  page->CloseDNA();
  EXPECT_EQ(page.take().substr(expected.size()), hidden(u"##调试信息:关闭数据库 OK!<br>\r\n"));
}

// The default sort reaches the session on the second request of the page: the first one
// clears what it seeded, because the user arrives from elsewhere.
TEST(TableDescription, DefaultSortSeedsFromTheSecondRequestOn) {
  FixtureDb db;
  std::shared_ptr<asp::Session> session;
  auto noop = [](dna::DNA&) {};
  request(db, session, "", noop, u"select id,name,dept from person order by name,id,dept");
  EXPECT_EQ(session->get(u"strOrder").text(), u"");
  request(db, session, "", noop, u"select id,name,dept from person order by name,id,dept");
  EXPECT_EQ(session->get(u"strOrder").text(), u"name");
  EXPECT_EQ(session->get(u"strOrder2").text(), u"id");
}

TEST(TableDescription, SortListSeedingByItemCount) {
  FixtureDb db;
  struct Case {
    const char16_t* sql;
    const char16_t* order;
    Variant order2;
  };
  const Case cases[] = {
      {u"select id,name from person order by name", u"", Variant()},
      {u"select id,name from person order by name,id", u"name", Variant()},
      {u"select id,name from person order by name desc,id", u"name desc", Variant()},
      {u"select id,name from person ORDER BY name,id", u"ORDER BY name", Variant()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(automation::toUtf8(c.sql));
    auto session = std::make_shared<asp::Session>();
    session->set(u"strURL", u"/list.asp");  // a repeated request: nothing is cleared
    DnaPage page("", session);
    page.open(db, c.sql);
    EXPECT_EQ(automation::joinText(page.session(u"strOrder")), c.order);
    EXPECT_EQ(page.session(u"strOrder2").type(), c.order2.type());
  }
}

// A statement without where clause or sort leaves the description's earlier values in place.
TEST(TableDescription, SecondOpenKeepsTableWhereAndLimits) {
  FixtureDb db;
  DnaPage page;
  page.open(db, u"select id,name,dept from person where dept=1 order by name");
  page->DebugMode();
  page.take();
  page.open(db, u"select name");  // no "from": everything after "select " is the column list
  const Text out = page.take();
  EXPECT_NE(out.find(hidden(u"#表　　名:person<br>\r\n")), Text::npos);
  EXPECT_NE(out.find(hidden(u"#条　　件:where dept=1<br>\r\n")), Text::npos);
  EXPECT_NE(out.find(hidden(u"#缺省排序:name:: <br>\r\n")), Text::npos);
  EXPECT_NE(out.find(hidden(u"限定字段:dept:1<br>")), Text::npos);
  EXPECT_EQ(page->strItemEnglish, u"name");
  EXPECT_EQ(page->strItemKeyName, u"id");  // a single column keeps the key
}

TEST(TableDescription, TextRulesOfTheStatement) {
  FixtureDb db;
  {
    DnaPage page;
    page.open(db, u"SELECT ID,NAME FROM person");
    EXPECT_EQ(page->strItemEnglish, u"ID,NAME");
  }
  {
    DnaPage page;
    page.open(db, u"select top 10 id,name from person");
    EXPECT_EQ(page->strItemEnglish, u"top 10 id,name");
  }
  {
    DnaPage page;
    page.open(db, u"select id, name from person", u"");
    EXPECT_EQ(page->strItemChinese, u"id, name");  // no captions: the column names
  }
  {
    // "from" inside a column name cuts the list short there.
    DnaPage page;
    page.open(db, u"select id,fromdate,name from person");
    EXPECT_EQ(page->strItemEnglish, u"id,");
  }
}

TEST(TableDescription, ConditionsSplitAtSpaces) {
  FixtureDb db;
  DnaPage page;
  page->DebugMode();
  page.open(db, u"select id,name,dept from person where dept = 3");
  const Text out = page.output();
  // Three conditions: "dept", "=" and "3"; only the lone "=" splits, into two empty sides.
  const Text limits = hidden(u"限定字段::<br>");
  EXPECT_NE(out.find(hidden(u"#缺省排序::: <br>\r\n") + limits + limits + limits +
                     hidden(u"##调试信息:打开数据库 OK!<br>\r\n")),
            Text::npos)
      << automation::toUtf8(out);
}

TEST(TableDescription, MalformedStatementsRaiseTheRuntimeErrors) {
  FixtureDb db;
  auto code = [&](TextView sql) {
    DnaPage page;
    try {
      page.open(db, sql);
    } catch (const automation::AutomationError& e) {
      return e.code();
    }
    return automation::HRESULT{0};
  };
  EXPECT_EQ(code(u"select"), automation::hr::kInvalidProcedureCall);
  EXPECT_EQ(code(u"select id,name from person order by id where dept=1"),
            automation::hr::kInvalidProcedureCall);
  EXPECT_EQ(code(u"select " + Text(40000, u'x') + u" from person"), automation::hr::kOverflow);
}

TEST(TableDescription, SetCodeSQLReplacesTheLookups) {
  FixtureDb db;
  DnaPage page;
  page.open(db);
  page->DebugMode();
  page.take();
  Variant codes(u"id;name;select deptName,deptID from dept;kind");
  page->SetCodeSQL(codes);
  EXPECT_EQ(page->strItemCodeSQL, codes.text());
  EXPECT_EQ(page.take(),
            hidden(u"##调试信息:SetCodeSQL OK!<br>\r\n") +
                hidden(u"#CodeSQL:id;name;select deptName,deptID from dept;kind<br>\r\n"));
}

TEST(TableDescription, CloseWithoutConnectionStillTraces) {
  DnaPage page;
  page->DebugMode();
  page.take();
  page->CloseDNA();
  EXPECT_EQ(page.take(), hidden(u"##调试信息:关闭数据库 OK!<br>\r\n"));
}

}  // namespace
}  // namespace dna_test
