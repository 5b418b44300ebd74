#include "scheduler_fixture.h"

namespace scheduler_test {
namespace {

class PlanQueries : public ::testing::Test {
 protected:
  PlanQueries() { page.init(db); }

  Text day(const Variant& dt, const Variant& id) { return text(page->GetPersonDay(dt, id)); }

  PlanDb db;
  SchedulerPage page;
};

const Text kOwnDay =
    u"<span class=Office style='width:100%;'> "
    u"<span class=Outside style='width:100%;'> "
    u"<span class=Beijing style='width:100%;'> 1.北京:海淀&nbsp;</span>||"
    u"2.外地:上海&nbsp;</span>||"
    u"3.办公室:会议室&nbsp;</span>||";

TEST_F(PlanQueries, PersonDayOfTheOwnPersonListsEveryPlan) {
  EXPECT_EQ(day(Variant(u"2001-05-08 10:30"), Variant(u"12")), kOwnDay);
  // Equal whole-number parts: "12" is the session's 12.0.
  page.setSession(u"personID", Variant(12.0));
  EXPECT_EQ(day(Variant(u"2001-05-08 10:30"), Variant(u"12")), kOwnDay);
  EXPECT_EQ(day(Variant(u"2001-05-08 10:30"), Variant(u" 12 ")), kOwnDay);
}

TEST_F(PlanQueries, PersonDayOfAnotherPersonListsFlaggedPlansOnly) {
  const Text flaggedOnly =
      u"<span class=Outside style='width:100%;'> "
      u"<span class=Beijing style='width:100%;'> 1.北京:海淀&nbsp;</span>||"
      u"2.外地:上海&nbsp;</span>||";
  page.setSession(u"personID", Variant(13.0));
  EXPECT_EQ(day(Variant(u"2001-05-08 10:30"), Variant(u"12")), flaggedOnly);
  // A session without a person of its own sees flagged plans only, also when null.
  page.setSession(u"personID", Variant::null());
  EXPECT_EQ(day(Variant(u"2001-05-08 10:30"), Variant(12)), flaggedOnly);
}

TEST_F(PlanQueries, PersonDayNestsEachEntryInItsOwnClass) {
  db.addPlan(8, u"2001-05-15 08:00:00", u"2001-05-15 12:00:00", 2, 2, 1, 14);
  db.addPlan(9, u"2001-05-15 09:00:00", u"2001-05-15 10:00:00", 1, 1, 1, 14);
  EXPECT_EQ(day(Variant(u"2001-05-15 09:30"), Variant(14)),
            u"<span class=Office style='width:100%;'> "
            u"<span class=Beijing style='width:100%;'> 1.北京:海淀&nbsp;</span>||"
            u"2.办公室:本部&nbsp;</span>||");
}

TEST_F(PlanQueries, PersonDayWithoutPlansIsEmpty) {
  // The day query compares with the instant given: at midnight of the 8th only the plan from
  // the 7th has begun.
  EXPECT_TRUE(page->GetPersonDay(Variant(u"2001-05-20"), Variant(12)).isEmpty());
  EXPECT_EQ(day(Variant(u"2001-05-08"), Variant(12)),
            u"<span class=Beijing style='width:100%;'> 1.北京:海淀&nbsp;</span>||");
}

TEST_F(PlanQueries, PersonDay2IsOneBoxOfTheLastPlansClass) {
  EXPECT_EQ(text(page->GetPersonDay2(Variant(u"2001-05-08 10:30"), Variant(12))),
            u"<span class=Outside title='1.北京:海淀2.外地:上海'>&nbsp;&nbsp;</span>");
  EXPECT_EQ(text(page->GetPersonDay2(Variant(u"2001-05-20"), Variant(12))),
            u"<span class= title=''>&nbsp;&nbsp;</span>");
}

TEST_F(PlanQueries, NameAndDuty) {
  EXPECT_EQ(text(page->GetName(Variant(12))), u"张三-处长");
  EXPECT_EQ(text(page->GetName(Variant(u" 13 "))), u"李四-科员");
  EXPECT_EQ(text(page->GetName(Variant(99))), u"未名");
}

TEST_F(PlanQueries, MenuAddsOneItemPerPersonAndTracesItsStatement) {
  page->DebugMode();
  const Text before = page.output();
  EXPECT_EQ(text(page->GetMenu(Variant(u"1=1"))),
            u"outlookbar.additem('张三',t,'../scheduler/personMonth.asp?personID=12&rnd=r7');\r\n"
            u"outlookbar.additem('李四',t,'../scheduler/personMonth.asp?personID=13&rnd=r7');\r\n"
            u"outlookbar.additem('王五',t,'../scheduler/personMonth.asp?personID=14&rnd=r7');\r\n");
  EXPECT_EQ(page.output().substr(before.size()),
            hidden(u"// select person.personID,person.personName,person.dutyID,"
                   u"personDuty.dutyName from person,personDuty where  "
                   u"person.DutyID=personDuty.DutyID and systemID=1 and 1=1 order by "
                   u"person.dutyID "));
  EXPECT_EQ(text(page->GetMenu(Variant(u"person.dutyID=2"))),
            u"outlookbar.additem('李四',t,'../scheduler/personMonth.asp?personID=13&rnd=r7');\r\n");
}

TEST_F(PlanQueries, DatabaseTextsCannotBreakOutOfTheirPlace) {
  page.setSession(u"personID", Variant(30));
  page.setSession(u"systemID", Variant(3));
  EXPECT_EQ(day(Variant(u"2001-05-09 12:00"), Variant(30)),
            u"<span class=Office style='width:100%;'> 1.x'&lt;script>:&lt;/td>&lt;img "
            u"src=x>&nbsp;</span>||");
  EXPECT_EQ(text(page->GetPersonDay2(Variant(u"2001-05-09 12:00"), Variant(30))),
            u"<span class=Office title='1.x&#39;<script>:</td><img src=x>'>&nbsp;&nbsp;</span>");
  EXPECT_EQ(text(page->GetName(Variant(30))), u"&lt;b>钱七&lt;/b>-&lt;i>顾问&lt;/i>");
  page.setSession(u"rnd", Variant(u"a'b"));
  EXPECT_EQ(text(page->GetMenu(Variant(u"1=1"))),
            u"outlookbar.additem('<b>钱七<\\/b>',t,'../scheduler/"
            u"personMonth.asp?personID=30&rnd=a\\'b');\r\n");
}

// Ids pasted unquoted must be plain integers and dates must read as dates: anything else
// stops the operation before a statement runs or anything is written, traces included.
TEST_F(PlanQueries, HostileValuesChangeNothing) {
  page->DebugMode();
  const Text written = page.output();
  const Variant dt(u"2001-05-08");
  for (const char16_t* id : {u"1 or 1=1", u"1;delete from person", u"0) or (1=1", u"", u"12.5"}) {
    const Variant bad(id);
    for (auto op : {&schedule::scheduler::GetPersonDay, &schedule::scheduler::GetPersonDay2,
                    &schedule::scheduler::DispWeek, &schedule::scheduler::DispMonth,
                    &schedule::scheduler::DispMonthContent, &schedule::scheduler::DispPersonWeek,
                    &schedule::scheduler::DispPersonMonth}) {
      EXPECT_EQ(errorOf([&] { (page.object().*op)(dt, bad); }), automation::hr::kTypeMismatch);
    }
    EXPECT_EQ(errorOf([&] { page->GetName(bad); }), automation::hr::kTypeMismatch);
  }
  EXPECT_EQ(errorOf([&] { page->GetName(Variant()); }), automation::hr::kTypeMismatch);
  const Variant badDate(u"2001-05-08' or '1'='1");
  EXPECT_EQ(errorOf([&] { page->GetPersonDay(badDate, Variant(12)); }),
            automation::hr::kTypeMismatch);
  EXPECT_EQ(errorOf([&] { page->GetPersonDay2(badDate, Variant(12)); }),
            automation::hr::kTypeMismatch);

  for (const char16_t* system : {u"1 or 1=1", u"1;delete from person", u"0) or (1=1"}) {
    page.setSession(u"systemID", Variant(system));
    const Variant cond(u"1=1");
    EXPECT_EQ(errorOf([&] { page->GetMenu(cond); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(errorOf([&] { page->DispLeaderWeek(dt, cond); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(errorOf([&] { page->DispLeaderMonth(dt, cond); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(errorOf([&] { page->DispLeaderWeekContent(dt, cond); }),
              automation::hr::kTypeMismatch);
  }
  EXPECT_EQ(page.output(), written);
  EXPECT_EQ(db.count(u"person"), 5);
  EXPECT_EQ(db.count(u"personPlan"), 7);
}

TEST(PlanQueriesBeforeInit, FailAtTheirFirstQuery) {
  SchedulerPage page;
  EXPECT_EQ(static_cast<std::uint32_t>(
                errorOf([&] { page->GetPersonDay(Variant(u"2001-05-08"), Variant(12)); })),
            0x800A0E7Du);
}

}  // namespace
}  // namespace scheduler_test
