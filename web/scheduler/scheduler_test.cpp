#include "scheduler_fixture.h"

namespace scheduler_test {
namespace {

using automation::InvokeKind;

const Text kDebugLine = hidden(u"##调试信息:进入调试模式<br>\r\n");
const Text kOpenLine = hidden(u"##调试信息:打开数据库 OK!<br>\r\n");
const Text kCloseLine = hidden(u"##调试信息:关闭数据库 OK!<br>\r\n");

// The period statement of a person's week, as the trace shows it.
Text weekStatement(TextView pid) {
  return u"select planID,planStartTime,planEndTime,Type1ID=personPlan.planAddrTypeID,"
         u"Type1=planAddrType.planAddrTypeName,Type2=planAddr.planAddrName,planAddrDetail,"
         u"planTypeID,planContent,planAddition,planFlagID from personPlan,planAddrType,planAddr "
         u"where personPlan.planAddrTypeID=planAddrType.planAddrTypeID and "
         u"personPlan.planAddrID=planAddr.planAddrID and personID=" +
         Text(pid) +
         u" and planEndTime>='2001-05-07' and planStartTime<='2001-05-13'  and planFlagID=1 "
         u"order by planStartTime";
}

TEST(SchedulerMembers, InterfaceOrder) {
  const auto& info = schedule::scheduler().typeInfo();
  Text names;
  for (const auto& m : info.members()) names += m.name + u" ";
  EXPECT_EQ(names,
            u"strURL openDB Init OnStartPage OnEndPage DebugMode SetDispStyle GetPersonDay "
            u"GetPersonDay2 GetMenu DispLeaderMonthContent DispLeaderWeekContent DispPersonMonth "
            u"DispPersonWeek GetName DispMonthSelect DispWeekSelect DispSwitch DispMonthHeader "
            u"DispLeaderWeekHeader DispLeaderMonthHeader DispMonth DispLeaderWeek DispLeaderMonth "
            u"DispWeek DispMonthContent GetFirstMonday CountWeek GetPrevMonday DispScript ");
  EXPECT_EQ(info.name(), u"_scheduler");
  EXPECT_EQ(info.iid(), u"{A7EB1FAF-F06D-4D97-8221-502B9B55C1C3}");
  Text byValue;
  for (const auto& m : info.members()) {
    for (const auto& p : m.params) {
      if (!p.byRef) byValue += m.name + u"(" + p.name + u") ";
    }
  }
  EXPECT_EQ(byValue,
            u"DispLeaderWeekHeader(dtDate) DispLeaderMonthHeader(dtDate) GetFirstMonday(dtDate) "
            u"CountWeek(dtDate) GetPrevMonday(dtDate) ");
  EXPECT_EQ(info.find(u"DispSwitch")->params.size(), 3u);
  EXPECT_EQ(info.find(u"openDB")->kind, automation::MemberInfo::Kind::Sub);
  EXPECT_EQ(info.find(u"OnEndPage")->kind, automation::MemberInfo::Kind::Function);
}

// A page script drives the class by name.
TEST(SchedulerMembers, LateBoundPage) {
  PlanDb db;
  auto page = test_support::makePage({u"/scheduler/leaderWeek.asp", "", ""});
  page.session->set(u"systemID", Variant(1));
  auto object = std::make_shared<schedule::scheduler>();
  automation::Dispatch& obj = *object;
  EXPECT_TRUE(obj.invoke(u"onstartpage", InvokeKind::Method, {page.contextVariant()}).isEmpty());
  EXPECT_EQ(obj.invoke(u"strURL", InvokeKind::PropertyGet).text(), u"/scheduler/leaderWeek.asp");
  obj.invoke(u"Init", InvokeKind::Method, {Variant(db.connStr())});
  EXPECT_EQ(obj.invoke(u"GetName", InvokeKind::Method, {Variant(u"13")}).text(), u"李四-科员");
  EXPECT_EQ(obj.invoke(u"countweek", InvokeKind::Method, {Variant(u"2001-05-31")}).type(),
            automation::VarType::I2);
  obj.invoke(u"strURL", InvokeKind::PropertyPut, {Variant(u"other.asp")});
  EXPECT_TRUE(obj.invoke(u"OnEndPage", InvokeKind::Method).isEmpty());
  EXPECT_EQ(page.session->get(u"strURL").text(), u"other.asp");
  EXPECT_EQ(page.output(), u"");  // no trace at all without the debug switch
}

TEST(SchedulerTrace, InTheOrderOfThePageWithDebugModeBeforeInit) {
  PlanDb db;
  SchedulerPage page(u"/scheduler/leaderWeek.asp");
  page->DebugMode();
  page.init(db);
  page->GetMenu(Variant(u"person.personID<14"));
  page->DispLeaderWeek(Variant(u"2001-05-09"), Variant(u"1=1"));
  page->OnEndPage();
  EXPECT_EQ(page.output(),
            kDebugLine + kOpenLine +
                hidden(u"// select person.personID,person.personName,person.dutyID,"
                       u"personDuty.dutyName from person,personDuty where  "
                       u"person.DutyID=personDuty.DutyID and systemID=1 and person.personID<14 "
                       u"order by person.dutyID ") +
                hidden(weekStatement(u"12")) + hidden(weekStatement(u"13")) +
                hidden(weekStatement(u"14")) + kCloseLine);
  EXPECT_EQ(page.session(u"strURL").text(), u"/scheduler/leaderWeek.asp");
}

TEST(SchedulerTrace, DebugModeAfterInitMissesTheOpenLine) {
  PlanDb db;
  SchedulerPage page;
  page.init(db);
  page->DebugMode();
  page->DebugMode();
  page->OnEndPage();
  EXPECT_EQ(page.output(), kDebugLine + kDebugLine + kCloseLine);
}

TEST(SchedulerTrace, PageStartSwitchesTheTraceOff) {
  PlanDb db;
  SchedulerPage first;
  first->DebugMode();
  first->OnEndPage();
  // Page end without Init only writes its close line.
  EXPECT_EQ(first.output(), kDebugLine + kCloseLine);

  auto next = test_support::makePage({u"/scheduler/personWeek.asp", "", ""});
  first->OnStartPage(next.contextVariant());
  EXPECT_EQ(first->strURL, u"/scheduler/personWeek.asp");
  first->Init(Variant(db.connStr()));
  first->DispMonthContent(Variant(u"2001-05-09"), Variant(12));
  first->OnEndPage();
  EXPECT_EQ(next.output(), u"");
}

TEST(SchedulerPageEnd, ReleasesThePageObjects) {
  SchedulerPage page;
  const long held = page.page().response.use_count();
  page->OnEndPage();
  EXPECT_LT(page.page().response.use_count(), held);
  EXPECT_EQ(errorOf([&] { page->SetDispStyle(Variant(1)); }), automation::hr::kObjectNotSet);
  EXPECT_EQ(errorOf([&] { page->DispScript(Variant(12)); }), automation::hr::kObjectNotSet);
}

TEST(SchedulerPageEnd, BeforePageStartNothingIsBound) {
  schedule::scheduler s;
  EXPECT_EQ(errorOf([&] { s.DebugMode(); }), automation::hr::kObjectNotSet);
  EXPECT_EQ(errorOf([&] { s.OnEndPage(); }), automation::hr::kObjectNotSet);
}

TEST(SchedulerPageEnd, AFailedOpenLeavesNothingToClose) {
  test_support::TempDir dir;
  SchedulerPage page;
  page->DebugMode();
  const Variant nowhere(
      test_support::sqliteConnectionString(dir.path() / "missing" / "folder" / "x.db"));
  EXPECT_EQ(errorOf([&] { page->Init(nowhere); }), automation::hr::kFail);
  EXPECT_EQ(errorOf([&] { page->OnEndPage(); }), 0);
  EXPECT_EQ(page.output(), kDebugLine + kCloseLine);
  EXPECT_EQ(page.session(u"strURL").text(), u"/scheduler/personMonth.asp");
}

}  // namespace
}  // namespace scheduler_test
