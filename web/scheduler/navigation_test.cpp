#include "scheduler_fixture.h"

namespace scheduler_test {
namespace {

const Text kUrl = u"/scheduler/personMonth.asp";

Text link(TextView url, TextView pid, TextView date, TextView closing) {
  return u"<a href='" + Text(url) + u"?personID=" + Text(pid) + u"&dt=" + Text(date) +
         u"&t=T&rnd=r7" + Text(closing);
}

constexpr TextView kYearBack =
    u"'>&nbsp;<img src='../Images/jian3.gif'  border='0' align='absmiddle'></a>";
constexpr TextView kBack =
    u"'>&nbsp;<img src='../Images/jian1.gif'  border='0' align='absmiddle'>&nbsp;</a>";
constexpr TextView kForward =
    u"'>&nbsp;<img src='../Images/jian2.gif'  border='0' align='absmiddle'></a>";
constexpr TextView kYearForward =
    u"'>&nbsp;<img src='../Images/jian4.gif'  border='0' align='absmiddle'>&nbsp;</a>";

TEST(Selectors, MonthSelectorFrom31March) {
  SchedulerPage page;
  EXPECT_EQ(withTimerMarked(text(page->DispMonthSelect(Variant(u"2001-03-31"), Variant(12)))),
            link(kUrl, u"12", u"2000-03-31", kYearBack) + link(kUrl, u"12", u"2001-02-28", kBack) +
                u"2001年3月" + link(kUrl, u"12", u"2001-04-30", kForward) +
                link(kUrl, u"12", u"2002-03-31", kYearForward));
}

TEST(Selectors, WeekSelectorFrom31MarchStepsFromTheDayItself) {
  SchedulerPage page;
  const Text b = u" ";
  // March 2001 starts on a Thursday: Mondays on the 5th, 12th, 19th and 26th.
  EXPECT_EQ(withTimerMarked(text(page->DispWeekSelect(Variant(u"2001-03-31"), Variant(12)))),
            link(kUrl, u"12", u"2001-02-28", Text(kYearBack) + b) +
                link(kUrl, u"12", u"2001-03-24", Text(kBack) + b) + u"2001年3月第5周" +
                link(kUrl, u"12", u"2001-04-07", Text(kForward) + b) +
                link(kUrl, u"12", u"2001-04-30", Text(kYearForward) + b));
}

TEST(Selectors, FollowTheUrlThePageSetsAndKeepTheTimeOfDay) {
  SchedulerPage page;
  page->strURL = u"leaderMonth.asp";
  EXPECT_EQ(withTimerMarked(text(page->DispMonthSelect(Variant(u"2001-01-31 08:30"), Variant()))),
            link(u"leaderMonth.asp", u"", u"2000-01-31 08:30:00", kYearBack) +
                link(u"leaderMonth.asp", u"", u"2000-12-31 08:30:00", kBack) + u"2001年1月" +
                link(u"leaderMonth.asp", u"", u"2001-02-28 08:30:00", kForward) +
                link(u"leaderMonth.asp", u"", u"2002-01-31 08:30:00", kYearForward));
  page->OnEndPage();
  EXPECT_EQ(page.session(u"strURL").text(), u"leaderMonth.asp");
}

TEST(Selectors, LinkValuesCannotLeaveTheirAttribute) {
  SchedulerPage page(u"/a'b.asp");
  page.setSession(u"rnd", Variant(u"r7'"));
  const Text s = text(page->DispMonthSelect(Variant(u"2001-03-31"), Variant(u"1'><script>")));
  const Text head = u"<a href='/a&#39;b.asp?personID=1&#39;><script>&dt=2000-03-31";
  EXPECT_EQ(s.substr(0, head.size()), head);
  EXPECT_NE(s.find(u"&rnd=r7&#39;'>"), Text::npos);
  EXPECT_EQ(errorOf([&] { page->DispWeekSelect(Variant(u"31 March"), Variant(12)); }),
            automation::hr::kTypeMismatch);
}

const Text kTableOpen = u"<table width='100%' border='0' cellpadding='0' cellspacing='0'>\r\n";
const Text kTableClose = u"<th width='100%'>&nbsp;</th>\r\n</tr>\r\n</table>\r\n";
const Text kImage = u"<img src='../Images/niuban.gif' width='22' height='22'>";

// A month view: its caption, then the link to the week page.
Text monthView(TextView caption, TextView weekPage) {
  return kTableOpen + u"<tr><th nowrap class='schh'>" + Text(caption) + u"</th>\r\n" +
         u"<th  class='schh'>" + kImage + u"</th>\r\n" + u"<th class='td2' nowrap><a href='" +
         Text(weekPage) + u"?personID=12&dt=2001-5-9&t=T& rnd=r7'> &nbsp;周计划</a></th>\r\n" +
         u"<th class='td2'>" + kImage + u"</th>\r\n" + kTableClose;
}

// A week view: the link to the month page, then its caption.
Text weekView(TextView monthPage, TextView caption) {
  return kTableOpen + u"<tr><th nowrap class='td2'><a href='" + Text(monthPage) +
         u"?personID=12&dt=2001-5-9&t=T& rnd=r7'>&nbsp;月计划</a></th>\r\n" + u"<th  class='td2'>" +
         kImage + u"</th>\r\n" + u"<th class='schh' nowrap>" + Text(caption) + u"</th>\r\n" +
         u"<th class='schh'>" + kImage + u"</th>\r\n" + kTableClose;
}

TEST(Switch, EveryView) {
  SchedulerPage page;
  const auto bar = [&](TextView which) {
    return withTimerMarked(
        text(page->DispSwitch(Variant(u"2001-5-9"), Variant(12), Variant(which))));
  };
  EXPECT_EQ(bar(u"m"), monthView(u"&nbsp;月计划", u"personWeek.asp"));
  EXPECT_EQ(bar(u"lm"), monthView(u"&nbsp;月汇总", u"leaderWeek.asp"));
  EXPECT_EQ(bar(u"lm2"), monthView(u"&nbsp;月汇总", u"leader2Week.asp"));
  EXPECT_EQ(bar(u"w"), weekView(u"personMonth.asp", u" &nbsp;周计划"));
  EXPECT_EQ(bar(u"lw"), weekView(u"leaderMonth.asp", u" &nbsp;周汇总"));
  EXPECT_EQ(bar(u"lw2"), weekView(u"leader2Month.asp", u" &nbsp;周汇总"));
  for (const Variant& other : {Variant(u"M"), Variant(u""), Variant(), Variant(1)}) {
    EXPECT_TRUE(page->DispSwitch(Variant(u"2001-5-9"), Variant(12), other).isEmpty());
  }
  EXPECT_EQ(
      errorOf([&] { page->DispSwitch(Variant(u"2001-5-9'><b>"), Variant(12), Variant(u"m")); }),
      automation::hr::kTypeMismatch);
  EXPECT_NE(text(page->DispSwitch(Variant(u"2001-5-9"), Variant(u"'x"), Variant(u"m")))
                .find(u"personID=&#39;x&dt="),
            Text::npos);
}

TEST(DayScript, OnlyTheOwnPersonsDaysOpenTheEntryPage) {
  SchedulerPage page;
  const Text open = u"<script language='javascript'>\r\n function manage(dt){\r\n";
  const Text close = u"}\r\n</script>\r\n";
  EXPECT_EQ(text(page->DispScript(Variant(u"12"))),
            open + u"     location.href='manage.asp?personID=12&dt='+dt+'&rnd=r7';" + close);
  EXPECT_EQ(text(page->DispScript(Variant(13))), open + close);
  page.setSession(u"personID", Variant(u"12.0"));
  page.setSession(u"rnd", Variant(u"x';alert(1);'</script>"));
  EXPECT_EQ(text(page->DispScript(Variant(12))),
            open +
                u"     location.href='manage.asp?personID=12&dt='+dt+'&rnd=x\\';alert(1);\\'<\\/"
                u"script>';" +
                close);
  EXPECT_EQ(errorOf([&] { page->DispScript(Variant(u"12 or 1=1")); }),
            automation::hr::kTypeMismatch);
}

TEST(StyleBlock, WrittenForOneAndForEmpty) {
  const Text style =
      u"<style>\r\n"
      u".tbl { background-color: #FFFFFF; FONT-FAMILY: '宋体'; width:100%;BORDER: black "
      u"double;}\r\n"
      u".tbl th{BORDER-RIGHT: black 1pt solid;BORDER-TOP: black 1pt;BORDER-LEFT: black 1pt;"
      u"BORDER-BOTTOM: black 1pt solid }\r\n"
      u".tbl td{BORDER-RIGHT: black 1pt solid;BORDER-TOP: black 1pt;BORDER-LEFT: black 1pt;"
      u"BORDER-BOTTOM: black 1pt solid }\r\n"
      u".lable{background-color:#718EB7;FONT-FAMILY: '宋体';color:#FFFFFF;}\r\n"
      u".input{background-color: #E3ECF2;FONT-FAMILY: '宋体';}\r\n"
      u".tbl a{ color:black;text-decoration: none}\r\n"
      u".title { color:black;text-align: center; FONT-SIZE: 14pt bold; background-color: "
      u"#FFFFFF; FONT-FAMILY: '宋体'; }\r\n"
      u".menu { background-color: #FFFFFF; FONT-FAMILY: '宋体'; width:100%;}\r\n"
      u".menu td{width:80px; color:#DDDDDD;background-color: #cdcdcd;text-align: center; "
      u"BORDER-RIGHT: black 1pt solid;BORDER-TOP: black 1pt;BORDER-LEFT: black 1pt;"
      u"BORDER-BOTTOM: black 1pt solid }\r\n"
      u".menu.a2{width:100%;background-color: #EFEFEF;color:#FFFFFF;text-decoration: none}\r\n"
      u".menu a{ width:100%;color:black;text-decoration: none}\r\n"
      u".page { background-color: #FFFFFF; FONT-FAMILY: '宋体'; }\r\n"
      u".page td{width:60px;color:#DDDDDD;background-color:#F0F0F0;FONT-SIZE: small;"
      u"text-align: center; BORDER-RIGHT: black 1pt solid;BORDER-TOP: black 1pt;BORDER-LEFT: "
      u"black 1pt;BORDER-BOTTOM: black 1pt solid }\r\n"
      u".page a{ width:100%;color:black;FONT-SIZE: small;text-decoration: none}\r\n"
      u"</style>\r\n";
  for (const Variant& yes : {Variant(1), Variant(u""), Variant(), Variant(1.0)}) {
    SchedulerPage page;
    page->SetDispStyle(yes);
    EXPECT_EQ(page.output(), style);
  }
  for (const Variant& no : {Variant(2), Variant(u"1"), Variant::null()}) {
    SchedulerPage page;
    page->SetDispStyle(no);
    EXPECT_EQ(page.output(), u"");
  }
}

}  // namespace
}  // namespace scheduler_test
