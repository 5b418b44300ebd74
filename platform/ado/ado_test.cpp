// One suite, run against the embedded provider and against ODBC (Debian's SQLite ODBC driver
// on the same kind of file), so that both give the components the same answers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ostream>
#include <string>
#include <thread>

#include "ado/ado.h"
#include "ado/provider_fixture.h"
#include "automation/error.h"

namespace ado {
namespace {

using automation::AutomationError;
using automation::Date;
using automation::VarType;

class AdoTest : public ProviderTest {
 protected:
  void createPlans() {
    run(u"create table person(personID integer primary key, personName varchar(50), dutyID int, "
        u"systemID int, personGroupID int)");
    run(u"create table personDuty(dutyID int, dutyName nvarchar(20))");
    run(u"create table planAddrType(planAddrTypeID int, planAddrTypeName varchar(20))");
    run(u"create table planAddr(planAddrID int, planAddrName varchar(20))");
    run(u"create table personPlan(planID integer primary key, personID int, planStartTime "
        u"datetime, planEndTime datetime, planAddrTypeID int, planAddrID int, planAddrDetail "
        u"varchar(100), planTypeID int, planContent text, planAddition ntext, planFlagID bit)");
    run(u" insert person(personID,personName,dutyID,systemID,personGroupID) values(1,'王',2,1,1)");
    run(u" insert person(personName,dutyID,systemID,personGroupID) values('Li',1,1,7)");
    run(u" insert personDuty(dutyID,dutyName) values(1,'经理')");
    run(u" insert personDuty(dutyID,dutyName) values(2,'Staff')");
    run(u" insert planAddrType(planAddrTypeID,planAddrTypeName) values(2,'Beijing')");
    run(u" insert planAddr(planAddrID,planAddrName) values(5,'HQ')");
    const char16_t* plans[][3] = {{u"2001-5-7 9:00", u"2001-5-7 17:00", u"1"},
                                  {u"2001-5-6 8:00", u"2001-5-9", u"1"},
                                  {u"2001-05-07 00:00:00", u"2001-5-7 1:00", u"0"},
                                  {u"2001/5/10", u"2001-5-11", u"1"}};
    for (auto& p : plans) {
      run(u" insert personPlan(personID,planStartTime,planEndTime,planAddrTypeID,planAddrID,"
          u"planFlagID) values(1,'" +
          Text(p[0]) + u"','" + p[1] + u"',2,5," + p[2] + u")");
    }
  }
};

TEST_P(AdoTest, WritesInTheComponentsShapes) {
  run(u"create table t(id integer primary key, name varchar(20), age int, dept int)");
  Variant affected;
  conn_->Execute(u" insert t(name,age,dept) values('Tom',12,2)", &affected);
  EXPECT_EQ(automation::toInt32(affected), 1);
  run(u"insert  t(name,age,dept) values('it''s',13,2)");
  run(u" INSERT INTO t(name, age, dept) VALUES ( 'x',14,3)");
  run(u" update t set name='Tim',age=15 where dept=2 and id = 1");
  EXPECT_EQ(column(u"select id,name,age from t ", u"name"),
            (std::vector<Text>{u"Tim", u"it's", u"x"}));
  conn_->Execute(u" delete t  where dept=2 and id = 2", &affected);
  EXPECT_EQ(automation::toInt32(affected), 1);
  run(u"delete from   t where id=3 and dept=3");
  EXPECT_EQ(column(u"select top 1 id,name from t", u"NAME"), (std::vector<Text>{u"Tim"}));
}

TEST_P(AdoTest, ReadsInTheComponentsShapes) {
  createPlans();
  auto names = column(
      u" select person.personID,person.personName,person.dutyID,personDuty.dutyName "
      u"from person,personDuty where  person.DutyID=personDuty.DutyID and systemID=1 "
      u"and personGroupID<>7 order by person.dutyID ",
      u"personName");
  EXPECT_EQ(names, (std::vector<Text>{u"王"}));
  auto rs = open(
      u"select personName,personDuty.dutyName from person,personDuty where "
      u"person.dutyID = personDuty.dutyID AND personID=2");
  EXPECT_EQ(automation::toText(rs->value(Variant(u"dutyName"))), u"经理");
  auto plan = open(
      u"select "
      u"planID,planStartTime,planEndTime,Type1ID=personPlan.planAddrTypeID,Type1=planAddrType."
      u"planAddrTypeName,Type2=planAddr.planAddrName,planAddrDetail,planTypeID,planContent,"
      u"planAddition,planFlagID from personPlan,planAddrType,planAddr where "
      u"personPlan.planAddrTypeID="
      u"planAddrType.planAddrTypeID and personPlan.planAddrID=planAddr.planAddrID and personID=1"
      u" and planstartTime<='2001-5-7 23:59' and planEndTime>='2001-5-7'  and planFlagID=1 "
      u"Order by planstartTime ");
  ASSERT_FALSE(plan->eof());
  EXPECT_EQ(plan->Fields()->Item(Variant(3))->Name(), u"Type1ID");
  EXPECT_EQ(automation::toInt32(plan->value(Variant(u"Type1ID"))), 2);
  EXPECT_EQ(plan->type(Variant(u"Type1ID")), 3);
  EXPECT_EQ(automation::toText(plan->value(Variant(u"type1"))), u"Beijing");
  EXPECT_EQ(automation::toText(plan->value(Variant(u"Type2"))), u"HQ");
  EXPECT_EQ(plan->value(Variant(u"planStartTime")).type(), VarType::Date);
  EXPECT_EQ(automation::toDate(plan->value(Variant(u"planStartTime"))),
            Date::fromParts(2001, 5, 6, 8));
  plan->MoveNext();
  EXPECT_EQ(automation::toDate(plan->value(Variant(u"planStartTime"))),
            Date::fromParts(2001, 5, 7, 9));
  plan->MoveNext();
  EXPECT_TRUE(plan->eof());
}

TEST_P(AdoTest, DatesCompareAndSortChronologically) {
  createPlans();
  // '2001-5-7' is midnight: the plan starting at 00:00:00 counts, the one at 9:00 does not.
  EXPECT_EQ(column(u"select planID from personPlan where planStartTime<='2001-5-7' and "
                   u"planEndTime>='2001-5-7' order by planStartTime",
                   u"planID"),
            (std::vector<Text>{u"2", u"3"}));
  EXPECT_EQ(column(u"select planID from personPlan where planEndTime>='2001-5-1' and "
                   u"planStartTime<='2001-5-31'  and planFlagID=1 order by planStartTime desc",
                   u"planID"),
            (std::vector<Text>{u"4", u"1", u"2"}));
  EXPECT_EQ(column(u"select planID from personPlan where planStartTime = '2001-5-10'", u"planID"),
            (std::vector<Text>{u"4"}));
  run(u" update personPlan set planEndTime='2001/5/12 8:30' where planID = 4");
  auto rs = open(u"select planEndTime from personPlan where planID=4");
  EXPECT_EQ(automation::toDate(rs->value(Variant(0))), Date::fromParts(2001, 5, 12, 8, 30));
}

TEST_P(AdoTest, ValuesComeAsVariantsOfTheirKind) {
  run(u"create table v(i int, big bigint, r float, s varchar(10), n int, b bit, d datetime, "
      u"bin varbinary(4))");
  run(u" insert v(i,big,r,s,n,b,d,bin) values(7,5000000000,2.5,'文字',null,1,'2001-5-7 9:00',"
      u"x'0102')");
  auto rs = open(u"select * from v");
  EXPECT_EQ(rs->value(Variant(u"i")).type(), VarType::I4);
  EXPECT_EQ(rs->value(Variant(u"big")).type(), VarType::I8);
  EXPECT_EQ(automation::toDouble(rs->value(Variant(u"r"))), 2.5);
  EXPECT_EQ(rs->value(Variant(u"s")).text(), u"文字");
  EXPECT_TRUE(rs->value(Variant(u"n")).isNull());
  EXPECT_EQ(rs->value(Variant(u"b")).type(), VarType::Bool);
  EXPECT_EQ(automation::toDate(rs->value(Variant(u"d"))), Date::fromParts(2001, 5, 7, 9));
  EXPECT_EQ(rs->value(Variant(u"bin")).bytes(), (Variant::Bytes{1, 2}));
}

TEST_P(AdoTest, FieldTypesAreAdoNumbersEvenWithoutRows) {
  run(u"create table types(a int, b smallint, c tinyint, d bit, e bigint, f real, g float, "
      u"h decimal(10,2), i money, j datetime, k smalldatetime, l date, m char(2), n varchar(9), "
      u"o text, p nchar(2), q nvarchar(9), r ntext, s binary(4), t varbinary(4), "
      u"u uniqueidentifier, v integer primary key)");
  const std::int32_t expected[] = {3,   2,   17,  11,  20,  4,   5,   131, 6,   135, 135,
                                   133, 129, 200, 201, 130, 202, 203, 128, 204, 72,  3};
  auto rs = open(u"select top 1 * from types");
  EXPECT_TRUE(rs->eof());
  EXPECT_TRUE(rs->bof());
  auto fields = rs->Fields();
  ASSERT_EQ(fields->Count(), 22);
  for (int i = 0; i < 22; ++i) {
    EXPECT_EQ(fields->Item(Variant(i))->Type(), expected[i])
        << automation::toUtf8(fields->Item(Variant(i))->Name());
  }
}

TEST_P(AdoTest, ExpressionColumnsTakeTheirValuesKind) {
  run(u"create table t(a int, s varchar(5))");
  run(u" insert t(a,s) values(4,'x')");
  auto rs = open(u"select count(*) as n, max(a) + 0.5 as h, a as alias from t");
  EXPECT_EQ(rs->value(Variant(u"n")).type(), VarType::I4);
  EXPECT_EQ(rs->type(Variant(u"n")), 3);
  EXPECT_EQ(automation::toDouble(rs->value(Variant(u"h"))), 4.5);
  EXPECT_EQ(rs->type(Variant(u"h")), 5);
  EXPECT_EQ(rs->type(Variant(u"alias")), 3);
}

class Paging : public AdoTest {
 protected:
  void fill(int rows) {
    run(u"create table r(id integer primary key, name varchar(10))");
    for (int i = 1; i <= rows; ++i) {
      run(u" insert r(id,name) values(" + automation::fromUtf8(std::to_string(i)) + u",'n')");
    }
  }
  std::shared_ptr<Recordset> page(int pageSize, int page) {
    auto rs = open(u"select id,name from r order by id");
    rs->setPageSize(pageSize);
    rs->setAbsolutePage(page);
    return rs;
  }
  int id(const Recordset& rs) { return automation::toInt32(rs.value(Variant(0))); }
};

TEST_P(Paging, NoRowsGiveNoPages) {
  fill(0);
  auto rs = page(10, 1);
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_EQ(rs->PageCount(), 0);
  EXPECT_TRUE(rs->eof());
}

TEST_P(Paging, PagesStartWhereTheyShould) {
  fill(30);
  auto rs = page(10, 3);
  EXPECT_EQ(rs->RecordCount(), 30);
  EXPECT_EQ(rs->PageCount(), 3);
  EXPECT_EQ(rs->AbsolutePage(), 3);
  EXPECT_EQ(id(*rs), 21);
  rs->setAbsolutePage(2);
  EXPECT_EQ(id(*rs), 11);
  for (int i = 0; i < 10; ++i) rs->MoveNext();
  EXPECT_EQ(id(*rs), 21);  // reading goes on past the page's end
  EXPECT_EQ(rs->AbsolutePage(), 3);
  rs->setAbsolutePage(1);
  EXPECT_EQ(id(*rs), 1);
  rs->setPageSize(7);
  EXPECT_EQ(rs->PageCount(), 5);
}

TEST_P(Paging, PageSizeAboveTheRowCountGivesOnePage) {
  fill(4);
  auto rs = page(20, 1);
  EXPECT_EQ(rs->PageCount(), 1);
  int n = 0;
  for (; !rs->eof(); rs->MoveNext()) ++n;
  EXPECT_EQ(n, 4);
}

TEST_P(Paging, PastTheLastPageIsEofAndBelowOneFails) {
  fill(5);
  auto rs = page(2, 4);
  EXPECT_TRUE(rs->eof());
  EXPECT_FALSE(rs->bof());
  auto e = errorOf([&] { rs->setAbsolutePage(0); });
  EXPECT_EQ(code(e), 0x800A0BB9u);
  EXPECT_EQ(e.description(),
            u"Arguments are of the wrong type, are out of acceptable range, or are in conflict "
            u"with one another.");
  rs->setAbsolutePage(3);
  EXPECT_EQ(id(*rs), 5);
}

TEST_P(Paging, ForwardOnlyCursorsDoNotPage) {
  fill(3);
  auto rs = open(u"select id from r", adOpenForwardOnly);
  EXPECT_EQ(rs->RecordCount(), -1);
  EXPECT_THROW(rs->setAbsolutePage(1), AutomationError);
  rs->MoveNext();
  rs->MoveFirst();
  EXPECT_EQ(id(*rs), 1);
}

TEST_P(AdoTest, ARecordsetOpensItsOwnConnectionFromAString) {
  createPlans();
  auto rs = std::make_shared<Recordset>();
  rs->Open(Variant(u"select top 1 personName from person"), Variant(connectionString_), 1, -1, -1);
  EXPECT_EQ(automation::toText(rs->value(Variant(0))), u"王");
  EXPECT_EQ(rs->type(Variant(u"personName")), 200);
  rs->Close();
  EXPECT_EQ(rs->State(), adStateClosed);
  EXPECT_EQ(conn_->State(), adStateOpen);
}

TEST_P(AdoTest, DatabaseErrorsCarryTheDatabasesMessage) {
  auto e = errorOf([&] { run(u"select * from nowhere"); });
  EXPECT_EQ(code(e), kProviderError);
  EXPECT_NE(automation::toUtf8(e.description()).find("no such table"), std::string::npos)
      << automation::toUtf8(e.description());
  auto update = errorOf([&] { run(u" update t set where id = "); });
  EXPECT_EQ(code(update), kProviderError);
  run(u"create table t(a int)");
  EXPECT_EQ(code(errorOf([&] { run(u" delete t where a = 1; drop table t"); })), kProviderError);
  EXPECT_TRUE(open(u"select a from t")->eof());  // neither statement ran
}

// SQLite reads a statement only up to a NUL: the text after it must neither be dropped nor
// make a shorter statement of it.
TEST_P(AdoTest, ANulNeverCutsAStatement) {
  run(u"create table t(id int, name varchar(20))");
  const Text nul(1, u'\0');
  run(u" insert t(id,name) values(1,'x" + nul + u"y')");
  run(u" insert t(id,name) values(2,'x')");
  // (The SQLite ODBC driver cuts a text at a NUL when it reads it back, so its length in bytes is
  // read.)
  EXPECT_EQ(
      column(u"select id,length(cast(name as blob)) n from t where name='x" + nul + u"y'", u"n"),
      (std::vector<Text>{u"3"}));
  // Outside a literal a NUL would end the statement before its condition.
  EXPECT_EQ(code(errorOf([&] { run(u" delete t " + nul + u"where id = 2"); })), kProviderError);
  EXPECT_EQ(column(u"select id from t order by id", u"id"), (std::vector<Text>{u"1", u"2"}));
}

TEST_P(AdoTest, ConcurrentPagesWaitForLocksInsteadOfFailing) {
  run(u"create table t(a int)");
  EXPECT_EQ(automation::toText(open(u"pragma journal_mode")->value(Variant(0))), u"wal");
  auto reader = open(u"select a from t");  // a reader does not hold writers up in WAL mode
  Connection other;
  other.Open(connectionString_);
  other.Execute(u"begin immediate");
  other.Execute(u" insert t(a) values(1)");
  std::thread writer([&] { run(u" insert t(a) values(2)"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  other.Execute(u"commit");
  writer.join();
  EXPECT_EQ(column(u"select a from t order by a", u"a"), (std::vector<Text>{u"1", u"2"}));
}

TEST_P(AdoTest, ForeignKeysHoldAndCascade) {
  run(u"create table AccessGroup(accessGroupID integer primary key, accessGroupName varchar(20))");
  run(u"create table accessPerson(accessGroupID int references AccessGroup(accessGroupID) "
      u"on delete cascade, accessPersonID int)");
  run(u"insert  AccessGroup(accessGroupName) values('a')");
  run(u"insert  AccessGroup(accessGroupName) values('b')");
  run(u" INSERT INTO accessperson(accessGroupID, accessPersonID) VALUES ( 1,7)");
  run(u" INSERT INTO accessperson(accessGroupID, accessPersonID) VALUES ( 2,8)");
  EXPECT_EQ(code(errorOf([&] {
              run(u" INSERT INTO accessperson(accessGroupID, accessPersonID) VALUES ( 9,7)");
            })),
            kProviderError);
  run(u"delete from   AccessGroup where accessGroupID=1");
  EXPECT_EQ(column(u"select accessPersonID from accessPerson", u"accessPersonID"),
            (std::vector<Text>{u"8"}));
  // A recordset that opens its own connection from the string gets the same footing.
  auto rs = std::make_shared<Recordset>();
  rs->Open(Variant(u"pragma foreign_keys"), Variant(connectionString_), 1, -1, -1);
  EXPECT_EQ(automation::toText(rs->value(Variant(0))), u"1");
}

TEST_P(AdoTest, RecordsetsNeedAnOpenConnection) {
  auto closed = std::make_shared<Connection>();
  Recordset rs;
  auto e = errorOf(
      [&] { rs.Open(Variant(u"select 1"), Variant(automation::ObjectRef(closed)), 1, -1, -1); });
  EXPECT_EQ(code(e), 0x800A0E7Du);
  EXPECT_EQ(code(errorOf([&] { closed->Close(); })), 0x800A0E78u);
  EXPECT_EQ(rs.State(), adStateClosed);
}

TEST_P(AdoTest, PermissionShapes) {
  run(u"create table Menu(menuID int, menuFatherID int, menuOrder int, systemID int, "
      u"menuName varchar(20))");
  run(u"create table AccessGroup(accessGroupID integer primary key, accessGroupName "
      u"varchar(20), systemID int)");
  run(u"create table AccessMenu(accessGroupID int, accessMenuType int, accessMenuID int)");
  run(u"insert  AccessGroup(accessGroupName,systemID) values('管理',1)");
  run(u" insert Menu(menuID,menuFatherID,menuOrder,systemID,menuName) values(1,null,2,1,'a')");
  run(u" insert Menu(menuID,menuFatherID,menuOrder,systemID,menuName) values(2,null,1,1,'b')");
  run(u" delete from accessMenu where accessgroupid=1");
  run(u" INSERT INTO accessmenu(accessgroupid, accessmenutype, accessmenuid) VALUES ( 1,1,1)");
  EXPECT_EQ(column(u" Select * from Menu where  menuFatherID is null  and systemID  =1 order by "
                   u"menuOrder ",
                   u"menuName"),
            (std::vector<Text>{u"b", u"a"}));
  EXPECT_EQ(column(u"select * from menu ,AccessMenu where Menu.MenuID=AccessMenu.AccessMenuID and "
                   u"AccessMenu.AccessGroupID=1 and Menu.menuFatherID is null and "
                   u"menu.systemID=1 order by menuOrder ",
                   u"menuname"),
            (std::vector<Text>{u"a"}));
  run(u"delete from   AccessGroup where accessGroupID=1 and systemid=1");
  EXPECT_TRUE(open(u"select * from AccessGroup where systemID=1")->eof());
}

TEST_P(AdoTest, ReadingWithoutACurrentRowOrAnUnknownNameFails) {
  run(u"create table t(a int)");
  auto rs = open(u"select a from t");
  auto e = errorOf([&] { rs->value(Variant(0)); });
  EXPECT_EQ(code(e), 0x800A0BCDu);
  EXPECT_EQ(e.description(),
            u"Either BOF or EOF is True, or the current record has been deleted. Requested "
            u"operation requires a current record.");
  auto unknown = errorOf([&] { rs->Fields()->Item(Variant(u"b")); });
  EXPECT_EQ(code(unknown), 0x800A0CC1u);
  EXPECT_EQ(unknown.description(),
            u"Item cannot be found in the collection corresponding to the requested name or "
            u"ordinal.");
  EXPECT_THROW(rs->Fields()->Item(Variant(1)), AutomationError);
  rs->Close();
  EXPECT_THROW(rs->eof(), AutomationError);
}

TEST_P(AdoTest, AConnectionThatCannotOpenSaysWhy) {
  Connection c;
  auto e = errorOf([&] {
    c.Open(automation::fromUtf8(std::string(GetParam().prefix) + "/nonexistent/dir/x.db"));
  });
  EXPECT_EQ(code(e), kProviderError);
  EXPECT_FALSE(e.description().empty());
  EXPECT_EQ(c.State(), adStateClosed);
}

INSTANTIATE_TEST_SUITE_P(Providers, AdoTest, ::testing::ValuesIn(kTargets), targetName);
INSTANTIATE_TEST_SUITE_P(Providers, Paging, ::testing::ValuesIn(kTargets), targetName);

}  // namespace
}  // namespace ado
