#include "scheduler/calendar.h"

#include "scheduler_fixture.h"

namespace scheduler_test {
namespace {

using automation::Date;

Variant date(int y, int m, int d, int hh = 0, int mm = 0) {
  return Variant(Date::fromParts(y, m, d, hh, mm));
}

TEST(Calendar, PrevMondayGivesAMondayBackAsItCame) {
  schedule::scheduler s;
  const Variant monday(u"2001-5-7");
  const Variant same = s.GetPrevMonday(monday);
  ASSERT_TRUE(same.isText());
  EXPECT_EQ(same.text(), u"2001-5-7");
  EXPECT_EQ(automation::toText(s.GetPrevMonday(date(2001, 5, 7, 9, 30))), u"2001-05-07 09:30:00");
}

TEST(Calendar, PrevMondayStepsBackKeepingTheTime) {
  schedule::scheduler s;
  const Variant fromSunday = s.GetPrevMonday(Variant(u"2001-05-13"));
  EXPECT_EQ(fromSunday.type(), automation::VarType::Date);
  EXPECT_EQ(automation::toText(fromSunday), u"2001-05-07");
  EXPECT_EQ(automation::toText(s.GetPrevMonday(date(2001, 5, 9, 10, 30))), u"2001-05-07 10:30:00");
  // Across a month and a year.
  EXPECT_EQ(automation::toText(s.GetPrevMonday(date(2002, 1, 1))), u"2001-12-31");
}

TEST(Calendar, FirstMondayLiesOnOrBeforeTheFirstOfTheMonth) {
  schedule::scheduler s;
  // February 2010 starts on a Monday: every date of it gives the 1st.
  for (int day : {1, 14, 28}) {
    EXPECT_EQ(automation::toText(s.GetFirstMonday(date(2010, 2, day, 15))), u"2010-02-01");
  }
  EXPECT_EQ(automation::toText(s.GetFirstMonday(Variant(u"2001-05-31"))), u"2001-04-30");
  EXPECT_EQ(automation::toText(s.GetFirstMonday(date(2002, 1, 20))), u"2001-12-31");
}

TEST(Calendar, CountWeekStepsUpOnTheDayAfterEachMonday) {
  schedule::scheduler s;
  const auto week = [&](const Variant& d) { return automation::toInt32(s.CountWeek(d)); };
  // August 2001 starts on a Wednesday; the 6th is a Monday.
  for (int day = 1; day <= 6; ++day) EXPECT_EQ(week(date(2001, 8, day)), 1) << day;
  EXPECT_EQ(week(date(2001, 8, 7)), 2);
  // February 2010 starts on a Monday.
  EXPECT_EQ(week(date(2010, 2, 1)), 1);
  for (int day = 2; day <= 8; ++day) EXPECT_EQ(week(date(2010, 2, day)), 2) << day;
  EXPECT_EQ(week(date(2010, 2, 9)), 3);
  EXPECT_EQ(week(date(2010, 2, 28)), 5);  // Mondays 1, 8, 15 and 22 lie before it
  // May 2001 has 31 days and starts on a Tuesday: Mondays on the 7th, 14th, 21st and 28th.
  EXPECT_EQ(week(Variant(u"2001-05-31")), 5);
  EXPECT_EQ(week(date(2001, 5, 28)), 4);
  for (int month = 1; month <= 12; ++month) EXPECT_EQ(week(date(2003, month, 1)), 1);
  EXPECT_EQ(s.CountWeek(date(2001, 5, 9)).type(), automation::VarType::I2);
}

TEST(Calendar, MonthBounds) {
  const auto bounds = [](int y, int m, int d) {
    const auto b = schedule::monthBounds(Date::fromParts(y, m, d, 13, 5));
    return b.first.text() + u" " + b.last.text();
  };
  EXPECT_EQ(bounds(2004, 2, 10), u"2004-02-01 2004-02-29");
  EXPECT_EQ(bounds(2001, 2, 28), u"2001-02-01 2001-02-28");
  EXPECT_EQ(bounds(2000, 2, 1), u"2000-02-01 2000-02-29");
  EXPECT_EQ(bounds(1900, 2, 1), u"1900-02-01 1900-02-28");
  EXPECT_EQ(bounds(2001, 12, 31), u"2001-12-01 2001-12-31");
  EXPECT_EQ(bounds(2001, 4, 15), u"2001-04-01 2001-04-30");
}

TEST(Calendar, WeekdayNamesStartOnSunday) {
  Text names;
  for (int day = 6; day <= 12; ++day) {  // 2001-05-06 is a Sunday
    names += schedule::weekdayName(Date::fromParts(2001, 5, day));
  }
  EXPECT_EQ(names, u"日一二三四五六");
}

TEST(Calendar, WhatReadsAsNoDateIsATypeMismatch) {
  schedule::scheduler s;
  for (const Variant& bad : {Variant(u"next monday"), Variant(u"2001-02-30")}) {
    EXPECT_EQ(errorOf([&] { s.GetPrevMonday(bad); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(errorOf([&] { s.CountWeek(bad); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(errorOf([&] { s.GetFirstMonday(bad); }), automation::hr::kTypeMismatch);
  }
}

}  // namespace
}  // namespace scheduler_test
