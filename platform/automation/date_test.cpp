#include "automation/date.h"

#include <gtest/gtest.h>

namespace automation {
namespace {

TEST(Date, UsesTheOleEpoch) {
  EXPECT_EQ(Date::fromParts(1899, 12, 30).serial(), 0);
  EXPECT_EQ(Date::fromParts(1900, 1, 1).serial(), 2);
  EXPECT_EQ(Date::fromParts(2001, 5, 7).serial(), 37018);
  EXPECT_DOUBLE_EQ(Date::fromParts(2001, 5, 7, 18).serial(), 37018.75);
  // Before the epoch the time of day counts away from zero.
  Date d(-1.25);
  EXPECT_EQ(d.text(), u"1899-12-29 06:00:00");
}

TEST(Date, DefaultTextFormShowsTheTimeOnlyWhenNotMidnight) {
  EXPECT_EQ(Date::fromParts(2001, 5, 7).text(), u"2001-05-07");
  EXPECT_EQ(Date::fromParts(2001, 5, 7, 9, 5, 3).text(), u"2001-05-07 09:05:03");
  EXPECT_EQ(Date::fromParts(2001, 5, 7, 0, 0, 1).text(), u"2001-05-07 00:00:01");
}

TEST(Date, NumbersWeekdaysFromSunday) {
  EXPECT_EQ(Date::fromParts(2001, 5, 6).weekday(), 1);  // Sunday
  EXPECT_EQ(Date::fromParts(2001, 5, 7).weekday(), 2);  // Monday
  EXPECT_EQ(Date::fromParts(2001, 5, 12).weekday(), 7);
  EXPECT_EQ(Date::fromParts(1899, 12, 29).weekday(), 6);
}

TEST(Date, AddsMonthsClampingTheDay) {
  EXPECT_EQ(Date::fromParts(2001, 3, 31).addMonths(-1).text(), u"2001-02-28");
  EXPECT_EQ(Date::fromParts(2004, 3, 31).addMonths(-1).text(), u"2004-02-29");
  EXPECT_EQ(Date::fromParts(2000, 2, 29).addMonths(12).text(), u"2001-02-28");
  EXPECT_EQ(Date::fromParts(2001, 3, 31).addMonths(1).text(), u"2001-04-30");
  EXPECT_EQ(Date::fromParts(2001, 12, 15).addMonths(1).text(), u"2002-01-15");
  EXPECT_EQ(Date::fromParts(2001, 1, 31, 8).addMonths(-13).text(), u"1999-12-31 08:00:00");
}

TEST(Date, AddsDaysKeepingTheTime) {
  EXPECT_EQ(Date::fromParts(2001, 2, 28, 9).addDays(1).text(), u"2001-03-01 09:00:00");
  EXPECT_EQ(Date::fromParts(2000, 2, 28).addDays(1).text(), u"2000-02-29");
  EXPECT_EQ(Date::fromParts(2001, 1, 1).addDays(-1).text(), u"2000-12-31");
}

TEST(Date, ParsesTheAcceptedForms) {
  EXPECT_EQ(parseDate(u"2001-5-7"), Date::fromParts(2001, 5, 7));
  EXPECT_EQ(parseDate(u" 2001/05/07 "), Date::fromParts(2001, 5, 7));
  EXPECT_EQ(parseDate(u"2001-05-07 09:30:15"), Date::fromParts(2001, 5, 7, 9, 30, 15));
  EXPECT_EQ(parseDate(u"2001-5-7 9:30"), Date::fromParts(2001, 5, 7, 9, 30));
  EXPECT_FALSE(parseDate(u"2001-2-30"));
  EXPECT_FALSE(parseDate(u"2001-13-1"));
  EXPECT_FALSE(parseDate(u"2001-5/7"));
  EXPECT_FALSE(parseDate(u"2001-5-7 25:00"));
  EXPECT_FALSE(parseDate(u"7; drop table x"));
  EXPECT_FALSE(parseDate(u""));
}

}  // namespace
}  // namespace automation
