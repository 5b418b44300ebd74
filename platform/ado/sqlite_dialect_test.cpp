#include "ado/sqlite_dialect.h"

#include <gtest/gtest.h>

#include "ado/sql_tokens.h"

namespace ado::sql {
namespace {

using automation::Text;

TEST(SqlTokens, ConcatenationGivesTheStatementBack) {
  Text sql = u"select [a]]b], \"c\"\"d\" from t -- it's\nwhere x='it''s' /* top 1 */ and y>=2.5e-3";
  Text joined;
  for (const Token& t : tokenize(sql)) joined += t.text;
  EXPECT_EQ(joined, sql);
  auto tokens = tokenize(u"x='a''b'[c]]d]");
  ASSERT_EQ(tokens.size(), 4u);
  EXPECT_EQ(tokens[2].kind, TokenKind::String);
  EXPECT_EQ(tokens[3].kind, TokenKind::QuotedName);
  EXPECT_EQ(unquotedName(tokens[3]), u"c]d");
}

TEST(SqliteDialect, TopBecomesLimit) {
  EXPECT_EQ(toSqlite(u"select top 1 id,name from person"), u"select id,name from person LIMIT 1");
  EXPECT_EQ(toSqlite(u"SELECT TOP 10 * from t where a=1 order by b desc"),
            u"SELECT * from t where a=1 order by b desc LIMIT 10");
  EXPECT_EQ(toSqlite(u"select distinct top 2 a from t;"), u"select distinct a from t LIMIT 2;");
  EXPECT_EQ(toSqlite(u"select a from t where b in (select top 3 b from u order by c) and d=1"),
            u"select a from t where b in (select b from u order by c LIMIT 3) and d=1");
}

TEST(SqliteDialect, TopInCompoundOrWithExpressionIsLeftAlone) {
  Text compound = u"select top 1 a from t union select b from u";
  EXPECT_EQ(toSqlite(compound), compound);
  Text expression = u"select top (1) a from t";
  EXPECT_EQ(toSqlite(expression), expression);
}

TEST(SqliteDialect, InsertWithoutIntoGetsIt) {
  EXPECT_EQ(toSqlite(u" insert t(name,age) values('Tom',12)"),
            u" insert into t(name,age) values('Tom',12)");
  EXPECT_EQ(toSqlite(u"insert  AccessGroup(accessGroupName,systemID) values('g',1)"),
            u"insert  into AccessGroup(accessGroupName,systemID) values('g',1)");
  Text withInto =
      u" INSERT INTO accessmenu(accessgroupid, accessmenutype, accessmenuid) VALUES ( 3,1,4)";
  EXPECT_EQ(toSqlite(withInto), withInto);
}

TEST(SqliteDialect, DeleteWithoutFromGetsIt) {
  EXPECT_EQ(toSqlite(u" delete t  where dept=2 and id = 7"),
            u" delete from t  where dept=2 and id = 7");
  Text withFrom = u"delete from   AccessGroup where accessGroupID=3 and systemid=1";
  EXPECT_EQ(toSqlite(withFrom), withFrom);
}

TEST(SqliteDialect, SelectListAliasesOnly) {
  EXPECT_EQ(toSqlite(u"select planID,Type1ID=personPlan.planAddrTypeID,Type1=t.name from "
                     u"personPlan,t where personPlan.a=t.a and personID=3"),
            u"select planID,personPlan.planAddrTypeID AS Type1ID,t.name AS Type1 from "
            u"personPlan,t where personPlan.a=t.a and personID=3");
  EXPECT_EQ(toSqlite(u"select [n m] = a + 1 from t"), u"select a + 1 AS [n m] from t");
  Text update = u" update t set name='Tom',age=12 where id = 7";
  EXPECT_EQ(toSqlite(update), update);
}

TEST(SqliteDialect, QuotedTextAndCommentsAreNeverRewritten) {
  Text quoted = u"select a from t where b='select top 1 x=y from insert t(' and c=\"delete t\"";
  EXPECT_EQ(toSqlite(quoted), quoted);
  Text commented = u"select a -- top 1 b=c\nfrom t /* delete t */";
  EXPECT_EQ(toSqlite(commented), commented);
  Text bracketed = u"select [top] from [insert t]";
  EXPECT_EQ(toSqlite(bracketed), bracketed);
}

TEST(SqliteDialect, DateLiteralsAgainstDateColumnsAreNormalised) {
  DateColumns dates{u"planstarttime", u"planendtime"};
  EXPECT_EQ(
      toSqlite(u"select a from p where planstartTime<='2001-5-7' and planEndTime>='2001/5/7 9:05' ",
               dates),
      u"select a from p where planstartTime<='2001-05-07 00:00:00' and "
      u"planEndTime>='2001-05-07 09:05:00' ");
  EXPECT_EQ(toSqlite(u"select a from p where '2001-5-7' < p.planStartTime", dates),
            u"select a from p where '2001-05-07 00:00:00' < p.planStartTime");
  EXPECT_EQ(
      toSqlite(u"select a from p where planStartTime between '2001-5-1' and '2001-5-31'", dates),
      u"select a from p where planStartTime between '2001-05-01 00:00:00' and "
      u"'2001-05-31 00:00:00'");
  EXPECT_EQ(toSqlite(u" insert p(name,planStartTime) values('2001-5-7','2001-5-7 8:00')", dates),
            u" insert into p(name,planStartTime) values('2001-5-7','2001-05-07 08:00:00')");
  EXPECT_EQ(toSqlite(u" update p set planEndTime='2001-5-8' where id = 1", dates),
            u" update p set planEndTime='2001-05-08 00:00:00' where id = 1");
}

TEST(SqliteDialect, OtherLiteralsStayAsWritten) {
  DateColumns dates{u"planstarttime"};
  Text otherColumn = u"select a from p where name='2001-5-7' and planStartTime>='soon'";
  EXPECT_EQ(toSqlite(otherColumn, dates), otherColumn);
  EXPECT_FALSE(canonicalDateLiteral(u"'2001-13-01'"));
  EXPECT_EQ(canonicalDateLiteral(u"' 2001-5-7 '"), Text(u"'2001-05-07 00:00:00'"));
}

TEST(SqliteDialect, OneStatementOnly) {
  EXPECT_TRUE(isSingleStatement(u"select a from t where b='x;y'; -- done"));
  EXPECT_TRUE(isSingleStatement(u"select 1;;"));
  EXPECT_FALSE(isSingleStatement(u"delete t where id=1; drop table t"));
}

TEST(SqliteDialect, NulsInLiteralsAreSpelledOut) {
  const Text nul(1, u'\0');
  EXPECT_EQ(toSqlite(u"select a from t where name like '%x" + nul + u"y%' "),
            u"select a from t where name like ('%x'||char(0)||'y%') ");
  EXPECT_EQ(toSqlite(u" insert t(a) values('" + nul + u"it''s" + nul + u"')"),
            u" insert into t(a) values((''||char(0)||'it''s'||char(0)||''))");
  EXPECT_FALSE(endsEarlyForSqlite(toSqlite(u"select 'a" + nul + u"'")));
  // Outside a closed literal there is nothing to spell: the statement is refused instead.
  for (const Text& left : {u"delete t " + nul + u"where id=1", u"select 'a" + nul,
                           u"select 'a''" + nul + u"''", u"select [a" + nul + u"]"}) {
    EXPECT_TRUE(endsEarlyForSqlite(toSqlite(left))) << automation::toUtf8(left);
  }
}

TEST(SqliteDialect, RowsFromAndCountWrapTheStatement) {
  EXPECT_EQ(fromRow(u"select a from t order by a; -- last", 40),
            u"select * from (select a from t order by a) limit -1 offset 40");
  EXPECT_EQ(countRows(u"select a from t -- c"), u"select count(*) from (select a from t)");
  EXPECT_EQ(countRows(u"select a from t where b in (select b from u order by c) order by a desc"),
            u"select count(*) from (select a from t where b in (select b from u order by c) )");
  Text limited = u"select a from t order by a LIMIT 3";
  EXPECT_EQ(countRows(limited), u"select count(*) from (" + limited + u")");
}

}  // namespace
}  // namespace ado::sql
