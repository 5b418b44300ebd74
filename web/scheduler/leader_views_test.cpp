#include "scheduler_fixture.h"

namespace scheduler_test {
namespace {

Text num(int n) { return automation::toText(Variant(n)); }

Text repeat(const Text& s, int n) {
  Text out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

int count(TextView s, TextView what) {
  int n = 0;
  for (auto at = s.find(what); at != TextView::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

Text row(TextView name, const Text& cells) {
  return u"<tr><td class=td2 nowrap>" + Text(name) + u"</td>" + cells + u"</tr>\r\n";
}

// Week overview cells.
Text weekCell(TextView type, TextView plans) {
  return u"<td class='sch" + Text(type) + u"' >" + Text(plans) + u"</td>";
}
const Text kEmptyWeekCell = u"<td class='sch' ></td>";

// Month overview cells.
Text monthCell(TextView type, TextView plans) {
  return u"<td title='" + Text(plans) + u"' class='sch" + Text(type) + u"' >&nbsp;</td>";
}
const Text kEmptyMonthCell = u"<td title='' class='sch' >&nbsp;</td>";

const Text kWeekHeaderOpen =
    u"<table cellspadding=0 cellspacing=1 width=100% height=85%>\r\n<tr class='schh'>"
    u"<th height='23' nowrap>姓名</th>";
const Text kMonthHeaderOpen =
    u"<table cellspadding=0 cellspacing=1 width=100% >\r\n<tr class='schh'>"
    u"<th nowrap>姓&nbsp;&nbsp;名</th>";

Text weekHeading(TextView weekday, TextView date) {
  return u"<th height='23' nowrap>星期" + Text(weekday) + u"<br>" + Text(date) + u"</th>";
}

// The header of a month of `days` days whose 1st falls on weekday `first` (0 = Sunday).
Text monthHeader(int days, int first) {
  static const TextView names[] = {u"日", u"一", u"二", u"三", u"四", u"五", u"六"};
  Text s = kMonthHeaderOpen;
  for (int k = 1; k <= days; ++k) {
    s +=
        u"<th height='23' nowrap>" + num(k) + u"<br>" + Text(names[(first + k - 1) % 7]) + u"</th>";
  }
  return s + u"</tr>\r\n";
}

class LeaderViews : public ::testing::Test {
 protected:
  LeaderViews() { page.init(db); }
  PlanDb db;
  SchedulerPage page;
};

TEST_F(LeaderViews, WeekOverview) {
  const Text header = kWeekHeaderOpen + weekHeading(u"一", u"2001-05-07") +
                      weekHeading(u"二", u"2001-05-08") + weekHeading(u"三", u"2001-05-09") +
                      weekHeading(u"四", u"2001-05-10") + weekHeading(u"五", u"2001-05-11") +
                      weekHeading(u"六", u"2001-05-12") + weekHeading(u"日", u"2001-05-13") +
                      u"</tr>\r\n";
  const Text zhang = weekCell(u"2", u"北京:海淀\r\n") +
                     weekCell(u"3", u"北京:海淀\r\n外地:上海\r\n") +
                     weekCell(u"2", u"北京:海淀\r\n") + repeat(kEmptyWeekCell, 4);
  // A plan covering the whole week fills all seven cells.
  const Text li = repeat(weekCell(u"2", u"北京:海淀\r\n"), 7);
  EXPECT_EQ(
      text(page->DispLeaderWeek(Variant(u"2001-05-09"), Variant(u"1=1"))),
      header + row(u"张三", zhang) + row(u"李四", li) + row(u"王五", repeat(kEmptyWeekCell, 7)));
  EXPECT_EQ(text(page->DispLeaderWeekContent(Variant(u"2001-05-09"), Variant(u"person.dutyID>1"))),
            row(u"李四", li) + row(u"王五", repeat(kEmptyWeekCell, 7)));
}

TEST_F(LeaderViews, WeekAcrossTwoMonths) {
  // Monday 28 May to Sunday 3 June: 张三's plan from the 30th into June fills five days.
  EXPECT_EQ(text(page->DispPersonWeek(Variant(u"2001-06-03"), Variant(12))),
            repeat(kEmptyWeekCell, 2) + repeat(weekCell(u"3", u"外地:上海\r\n"), 5));
}

TEST_F(LeaderViews, WeekHeaderFromAMondayAsGiven) {
  EXPECT_EQ(text(page->DispLeaderWeekHeader(Variant(u"2001-5-7"))),
            kWeekHeaderOpen + weekHeading(u"一", u"2001-5-7") + weekHeading(u"二", u"2001-05-08") +
                weekHeading(u"三", u"2001-05-09") + weekHeading(u"四", u"2001-05-10") +
                weekHeading(u"五", u"2001-05-11") + weekHeading(u"六", u"2001-05-12") +
                weekHeading(u"日", u"2001-05-13") + u"</tr>\r\n");
}

TEST_F(LeaderViews, MonthOverviewRowsLineUpWithTheHeader) {
  Text zhang;
  for (int k = 1; k <= 31; ++k) {
    switch (k) {
      case 1:
        zhang += monthCell(u"4", u"国外:东京\r\n");
        break;
      case 7:
      case 9:
        zhang += monthCell(u"2", u"北京:海淀\r\n");
        break;
      case 8:
        zhang += monthCell(u"3", u"北京:海淀\r\n外地:上海\r\n");
        break;
      case 30:
      case 31:
        zhang += monthCell(u"3", u"外地:上海\r\n");
        break;
      default:
        zhang += kEmptyMonthCell;
    }
  }
  const Text overview = text(page->DispLeaderMonth(Variant(u"2001-05-20"), Variant(u"1=1")));
  // May 2001 starts on a Tuesday.
  EXPECT_EQ(overview, monthHeader(31, 2) + row(u"张三", zhang) +
                          row(u"李四", repeat(monthCell(u"2", u"北京:海淀\r\n"), 31)) +
                          row(u"王五", repeat(kEmptyMonthCell, 31)));
  EXPECT_EQ(count(overview, u"<th height='23' nowrap>"), 31);
  EXPECT_EQ(count(overview, u"&nbsp;</td>"), 3 * 31);
}

TEST_F(LeaderViews, MonthHeadersOfFebruaryAndDecember) {
  // 1 February 2004 is a Sunday, 1 February 2001 a Thursday, 1 December 2001 a Saturday.
  EXPECT_EQ(text(page->DispLeaderMonthHeader(Variant(u"2004-02-29"))), monthHeader(29, 0));
  EXPECT_EQ(text(page->DispLeaderMonthHeader(Variant(u"2001-02-01"))), monthHeader(28, 4));
  EXPECT_EQ(text(page->DispLeaderMonthHeader(Variant(u"2001-12-31 18:00"))), monthHeader(31, 6));
  EXPECT_EQ(text(page->DispPersonMonth(Variant(u"2004-02-10"), Variant(14))),
            repeat(kEmptyMonthCell, 29));
}

TEST_F(LeaderViews, NoPersonsLeavesTheHeaderAlone) {
  EXPECT_EQ(text(page->DispLeaderMonth(Variant(u"2001-05-20"), Variant(u"1=0"))),
            monthHeader(31, 2));
  EXPECT_TRUE(page->DispLeaderWeekContent(Variant(u"2001-05-20"), Variant(u"1=0")).isText());
}

TEST_F(LeaderViews, NamesAndPlansStayInTheirPlace) {
  page.setSession(u"systemID", Variant(u"3"));
  Text cells = repeat(kEmptyMonthCell, 8) +
               monthCell(u"5", u"x&#39;<script>:</td><img src=x>\r\n") +
               repeat(kEmptyMonthCell, 22);
  EXPECT_EQ(text(page->DispLeaderMonthContent(Variant(u"2001-05-20"), Variant(u"1=1"))),
            row(u"&lt;b>钱七&lt;/b>", cells));
  EXPECT_EQ(
      text(page->DispLeaderWeekContent(Variant(u"2001-05-09"), Variant(u"1=1"))),
      row(u"&lt;b>钱七&lt;/b>", repeat(kEmptyWeekCell, 2) +
                                    weekCell(u"5", u"x'&lt;script>:&lt;/td>&lt;img src=x>\r\n") +
                                    repeat(kEmptyWeekCell, 4)));
}

TEST_F(LeaderViews, AConditionThatIsNoSqlFailsInTheDatabase) {
  EXPECT_EQ(errorOf([&] { page->DispLeaderWeek(Variant(u"2001-05-09"), Variant(u"")); }),
            automation::hr::kFail);
}

}  // namespace
}  // namespace scheduler_test
