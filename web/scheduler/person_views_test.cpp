#include <map>

#include "scheduler_fixture.h"

namespace scheduler_test {
namespace {

Text num(int n) { return automation::toText(Variant(n)); }
Text twoDigits(int n) { return (n < 10 ? u"0" : u"") + num(n); }

// One row of the week list.
Text weekRow(TextView weekday, TextView date, TextView plans) {
  return u"<tr><td class='schh' nowrap><br>星期" + Text(weekday) + u"<br>&nbsp;" + Text(date) +
         u"&nbsp;<br><td></td><td width=100% class=td1 onclick=manage('" + Text(date) +
         u"');>&nbsp;" + Text(plans) + u"</td></tr>";
}

const Text kWeekOpen = u"<table cellspadding=2 cellspacing=1 width=100% >\r\n";
const Text kWeekClose = u"</table>\r\n";
const Text kBeijing = u"<span class=Beijing style='width:100%;'> 1.北京:海淀&nbsp;</span><br>";

const Text kMonthHeader =
    u"<table cellspadding=0 cellspacing=1 width=100% height=85%>\r\n<tr class='schh'>"
    u"<th height='23' nowrap>星期一</th><th height='23' nowrap>星期二</th>"
    u"<th height='23' nowrap>星期三</th><th height='23' nowrap>星期四</th>"
    u"<th height='23' nowrap>星期五</th><th height='23' nowrap>星期六</th>"
    u"<th height='23' nowrap>星期日</th></tr>\r\n";
const Text kRowOpen = u" <tr height=40>\r\n";
const Text kRowClose = u" </tr>\r\n";
const Text kOutside = u"<td class='sch0'>&nbsp;</td>";
const Text kMonthClose = u" </table>\r\n";

struct Day {
  Text type;
  Text plans;  // as the cell shows them
};

// The calendar cell of day k of month y-m.
Text dayCell(int y, int m, int k, const Day& day = {}) {
  return u"<td class='sch" + day.type + u"' valign='top' onclick=manage('" + num(y) + u"-" +
         twoDigits(m) + u"-" + twoDigits(k) + u"');>" + num(k) +
         u"<br><span style='font-size:12px;'>" + day.plans + u"</span></td>\r\n";
}

// Week rows of month y-m whose first row starts with `before` cells of the month before and
// whose last row ends with `after` cells of the month after.
Text monthRows(int y, int m, int days, int before, int after, const std::map<int, Day>& plans) {
  Text s;
  int cellsInRow = 0;
  const auto add = [&](const Text& cell) {
    if (cellsInRow == 0) s += kRowOpen;
    s += cell;
    if (++cellsInRow == 7) s += kRowClose, cellsInRow = 0;
  };
  for (int i = 0; i < before; ++i) add(kOutside);
  for (int k = 1; k <= days; ++k) {
    auto found = plans.find(k);
    add(dayCell(y, m, k, found == plans.end() ? Day{} : found->second));
  }
  for (int i = 0; i < after; ++i) add(kOutside);
  return s;
}

int count(TextView s, TextView what) {
  int n = 0;
  for (auto at = s.find(what); at != TextView::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

class PersonViews : public ::testing::Test {
 protected:
  PersonViews() { page.init(db); }
  PlanDb db;
  SchedulerPage page;
};

TEST_F(PersonViews, WeekFromAMondayGivenAsText) {
  EXPECT_EQ(text(page->DispWeek(Variant(u"2001-5-7"), Variant(12))),
            kWeekOpen + weekRow(u"一", u"2001-5-7", kBeijing) +
                weekRow(u"二", u"2001-05-08", kBeijing) + weekRow(u"三", u"2001-05-09", kBeijing) +
                weekRow(u"四", u"2001-05-10", u"") + weekRow(u"五", u"2001-05-11", u"") +
                weekRow(u"六", u"2001-05-12", u"") + weekRow(u"日", u"2001-05-13", u"") +
                kWeekClose);
}

TEST_F(PersonViews, WeekOfTheOwnPersonShowsUnflaggedPlansToo) {
  // From a Wednesday at 10:00: the days are that time of each day of the week.
  const auto week = [&] { return text(page->DispWeek(Variant(u"2001-05-09 10:00"), Variant(12))); };
  const Text eighthOfOther =
      u"<span class=Outside style='width:100%;'> <span class=Beijing style='width:100%;'> "
      u"1.北京:海淀&nbsp;</span><br>2.外地:上海&nbsp;</span><br>";
  const Text eighthOfOwn = u"<span class=Office style='width:100%;'> " + eighthOfOther +
                           u"3.办公室:会议室&nbsp;</span><br>";
  const auto expected = [&](const Text& eighth) {
    return kWeekOpen + weekRow(u"一", u"2001-05-07 10:00:00", kBeijing) +
           weekRow(u"二", u"2001-05-08 10:00:00", eighth) +
           weekRow(u"三", u"2001-05-09 10:00:00", u"") +
           weekRow(u"四", u"2001-05-10 10:00:00", u"") +
           weekRow(u"五", u"2001-05-11 10:00:00", u"") +
           weekRow(u"六", u"2001-05-12 10:00:00", u"") +
           weekRow(u"日", u"2001-05-13 10:00:00", u"") + kWeekClose;
  };
  EXPECT_EQ(week(), expected(eighthOfOwn));
  page.setSession(u"personID", Variant(13));
  EXPECT_EQ(week(), expected(eighthOfOther));
}

TEST_F(PersonViews, MonthOfFiveWeeksWithPlansAcrossItsBounds) {
  // May 2001 starts on a Tuesday: the grid runs from Monday 30 April to Sunday 3 June. The plan
  // from 28 April shows on the 1st only, the one into June on the 30th and 31st; no other day
  // of the month carries a plan that does not cover it.
  const std::map<int, Day> plans = {{1, {u"4", u"国外:东京<br>"}},
                                    {7, {u"2", u"北京:海淀<br>"}},
                                    {8, {u"3", u"北京:海淀<br>外地:上海<br>"}},
                                    {9, {u"2", u"北京:海淀<br>"}},
                                    {30, {u"3", u"外地:上海<br>"}},
                                    {31, {u"3", u"外地:上海<br>"}}};
  const Text expected = kMonthHeader + monthRows(2001, 5, 31, 1, 3, plans) + kMonthClose;
  EXPECT_EQ(text(page->DispMonth(Variant(u"2001-05-09"), Variant(12))), expected);
  // The calendar shows flagged plans only, whoever looks.
  page.setSession(u"personID", Variant(13));
  EXPECT_EQ(text(page->DispMonth(Variant(u"2001-5-31 23:00"), Variant(u"12"))), expected);
  EXPECT_EQ(count(expected, kRowOpen), 5);
}

TEST_F(PersonViews, MonthsOfPlansLongerThanThePeriod) {
  // April: the plan from the 28th into May fills the 28th to the 30th.
  EXPECT_EQ(text(page->DispMonthContent(Variant(u"2001-04-02"), Variant(12))),
            monthRows(2001, 4, 30, 6, 6,
                      {{28, {u"4", u"国外:东京<br>"}},
                       {29, {u"4", u"国外:东京<br>"}},
                       {30, {u"4", u"国外:东京<br>"}}}) +
                kMonthClose);
  // 李四's plan from March to June fills every day of May once.
  std::map<int, Day> every;
  for (int k = 1; k <= 31; ++k) every[k] = {u"2", u"北京:海淀<br>"};
  EXPECT_EQ(text(page->DispMonthContent(Variant(u"2001-05-01"), Variant(13))),
            monthRows(2001, 5, 31, 1, 3, every) + kMonthClose);
}

TEST_F(PersonViews, MonthsOfFourAndSixWeeks) {
  // February 2010 starts on a Monday and ends on a Sunday.
  const Text february = text(page->DispMonth(Variant(u"2010-02-14"), Variant(12)));
  EXPECT_EQ(february, kMonthHeader + monthRows(2010, 2, 28, 0, 0, {}) + kMonthClose);
  EXPECT_EQ(count(february, kRowOpen), 4);
  EXPECT_EQ(count(february, u"sch0"), 0);
  // August 2010 has 31 days and starts on a Sunday.
  const Text august = text(page->DispMonthContent(Variant(u"2010-08-31"), Variant(12)));
  EXPECT_EQ(august, monthRows(2010, 8, 31, 6, 5, {}) + kMonthClose);
  EXPECT_EQ(count(august, kRowOpen), 6);
  EXPECT_EQ(august.substr(0, kRowOpen.size() + 6 * kOutside.size()),
            kRowOpen + kOutside + kOutside + kOutside + kOutside + kOutside + kOutside);
}

TEST_F(PersonViews, JanuaryGridStartsInDecember) {
  // 1 January 2002 is a Tuesday: the first row starts on Monday 31 December 2001.
  EXPECT_EQ(text(page->DispMonthContent(Variant(u"2002-01-15"), Variant(12))),
            monthRows(2002, 1, 31, 1, 3, {}) + kMonthClose);
}

TEST_F(PersonViews, MonthTracesItsPeriodQuery) {
  page->DebugMode();
  const Text before = page.output();
  page->DispMonthContent(Variant(u"2001-02-10"), Variant(12));
  EXPECT_EQ(
      page.output().substr(before.size()),
      hidden(u"select planID,planStartTime,planEndTime,Type1ID=personPlan.planAddrTypeID,"
             u"Type1=planAddrType.planAddrTypeName,Type2=planAddr.planAddrName,planAddrDetail,"
             u"planTypeID,planContent,planAddition,planFlagID from personPlan,planAddrType,"
             u"planAddr where personPlan.planAddrTypeID=planAddrType.planAddrTypeID and "
             u"personPlan.planAddrID=planAddr.planAddrID and personID=12 and "
             u"planEndTime>='2001-02-01' and planStartTime<='2001-02-28'  and planFlagID=1 "
             u"order by planStartTime"));
  // The week list traces nothing.
  const Text after = page.output();
  page->DispWeek(Variant(u"2001-02-10"), Variant(12));
  EXPECT_EQ(page.output(), after);
}

TEST_F(PersonViews, PlanTextsStayText) {
  page.setSession(u"personID", Variant(30));
  EXPECT_EQ(
      text(page->DispMonthContent(Variant(u"2001-05-09"), Variant(30))),
      monthRows(2001, 5, 31, 1, 3, {{9, {u"5", u"x'&lt;script>:&lt;/td>&lt;img src=x><br>"}}}) +
          kMonthClose);
}

}  // namespace
}  // namespace scheduler_test
