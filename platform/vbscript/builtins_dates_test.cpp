// Date functions across month ends, leap years and year ends, with the first-day-of-week and
// first-week-of-year arguments.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::typed;
using test::written;

TEST(DateAdd, MonthsClampToTheMonthsLastDay) {
  EXPECT_EQ(
      written(
          "DateAdd(\"m\", 1, #2024-03-31#) & \" \" & DateAdd(\"m\", -1, #2024-03-31#) & \" \" & "
          "DateAdd(\"m\", 13, #2023-01-31#) & \" \" & DateAdd(\"m\", 1, \"2024-01-31\")"),
      "2024-04-30 2024-02-29 2024-02-29 2024-02-29");
  EXPECT_EQ(
      written(
          "DateAdd(\"q\", 4, #2023-02-28#) & \" \" & DateAdd(\"q\", -1, #2024-05-31#) & \" \" & "
          "DateAdd(\"yyyy\", 4, #2024-02-29#) & \" \" & DateAdd(\"yyyy\", -1, #2024-02-29#)"),
      "2024-02-28 2024-02-29 2028-02-29 2023-02-28");
  EXPECT_EQ(typed("DateAdd(\"m\", 1, #2024-01-31 08:30#)"), "Date:2024-02-29 08:30:00");
}

TEST(DateAdd, DaysWeeksAndTimesCrossMonthAndYearEnds) {
  EXPECT_EQ(written("DateAdd(\"d\", 1, #2024-12-31 23:30#) & \" \" & DateAdd(\"y\", 366, "
                    "#2024-01-01#) & \" \" & "
                    "DateAdd(\"w\", -1, #2024-03-01#) & \" \" & DateAdd(\"ww\", -1, #2024-03-06#)"),
            "2025-01-01 23:30:00 2025-01-01 2024-02-29 2024-02-28");
  EXPECT_EQ(written("DateAdd(\"n\", -30, #2024-03-01 00:10#) & \" \" & DateAdd(\"h\", 24 * 366, "
                    "#2024-01-01#) & \" \" & "
                    "DateAdd(\"s\", -1, #2025-01-01#)"),
            "2024-02-29 23:40:00 2025-01-01 2024-12-31 23:59:59");
  EXPECT_EQ(errorOf("x = DateAdd(\"yyyy\", 1, #9999-06-01#)"), "6");
  EXPECT_EQ(errorOf("x = DateAdd(\"mm\", 1, Now)"), "5");
  EXPECT_EQ(errorOf("x = DateAdd(\"d\", 1, \"not a date\")"), "13");
}

TEST(DateDiff, CountsBoundariesNotElapsedTime) {
  EXPECT_EQ(written("DateDiff(\"d\", #2024-02-28#, #2024-03-01#) & DateDiff(\"d\", #2023-02-28#, "
                    "#2023-03-01#) & "
                    "DateDiff(\"d\", #2024-01-01 23:59#, #2024-01-02 00:01#) & DateDiff(\"d\", "
                    "#2024-01-02#, #2024-01-01#)"),
            "211-1");
  EXPECT_EQ(written("DateDiff(\"m\", #2024-01-31#, #2024-02-01#) & DateDiff(\"m\", #2024-02-01#, "
                    "#2024-02-29#) & "
                    "DateDiff(\"q\", #2024-03-31#, #2024-04-01#) & DateDiff(\"q\", #2024-01-01#, "
                    "#2024-03-31#) & "
                    "DateDiff(\"yyyy\", #2024-12-31#, #2025-01-01#) & DateDiff(\"yyyy\", "
                    "#2024-01-01#, #2024-12-31#)"),
            "101010");
  EXPECT_EQ(written("DateDiff(\"h\", #2024-03-01 00:59#, #2024-03-01 01:00#) & DateDiff(\"n\", "
                    "#2024-03-01 00:00:59#, #2024-03-01 00:01:00#) & "
                    "DateDiff(\"s\", #2024-02-29 23:59:59#, #2024-03-01#)"),
            "111");
  EXPECT_EQ(typed("DateDiff(\"s\", #2000-01-01#, #2024-01-01#)"), "Long:757382400");
  EXPECT_EQ(written("IsNull(DateDiff(\"d\", Null, Now))"), "True");
}

TEST(DateDiff, WeeksCountTheFirstDayOfWeek) {
  // 2024-03-02 is a Saturday, 03-03 a Sunday, 03-04 a Monday.
  EXPECT_EQ(written("DateDiff(\"ww\", #2024-03-02#, #2024-03-03#) & DateDiff(\"ww\", #2024-03-02#, "
                    "#2024-03-03#, vbMonday) & "
                    "DateDiff(\"ww\", #2024-03-03#, #2024-03-04#, vbMonday) & DateDiff(\"ww\", "
                    "#2024-03-03#, #2024-03-10#) & "
                    "DateDiff(\"ww\", #2024-03-10#, #2024-03-03#)"),
            "1011-1");
  // "w" counts whole weeks from the first date.
  EXPECT_EQ(written("DateDiff(\"w\", #2024-03-03#, #2024-03-09#) & DateDiff(\"w\", #2024-03-03#, "
                    "#2024-03-10#) & "
                    "DateDiff(\"w\", #2024-02-26#, #2024-03-11#)"),
            "012");
}

TEST(DatePart, WeekdaysWithEveryFirstDay) {
  // 2024-02-29 is a Thursday.
  EXPECT_EQ(
      written(
          "DatePart(\"w\", #2024-02-29#) & DatePart(\"w\", #2024-02-29#, vbMonday) & "
          "DatePart(\"w\", #2024-02-29#, vbThursday) & DatePart(\"w\", #2024-02-29#, vbFriday) & "
          "Weekday(#2024-02-29#) & Weekday(#2024-02-29#, vbSaturday)"),
      "541756");
  EXPECT_EQ(written("DatePart(\"y\", #2024-03-01#) & \" \" & DatePart(\"y\", #2023-03-01#) & \" \" "
                    "& DatePart(\"q\", #2024-12-31#) & \" \" & "
                    "DatePart(\"d\", \"2024-02-29\") & \" \" & DatePart(\"h\", #2024-01-01 "
                    "13:14:15#) & DatePart(\"n\", #2024-01-01 13:14:15#) & "
                    "DatePart(\"s\", #2024-01-01 13:14:15#)"),
            "61 60 4 29 131415");
  EXPECT_EQ(errorOf("x = DatePart(\"w\", Now, 8)"), "5");
}

TEST(DatePart, WeeksOfTheYearAtYearEnds) {
  // 2024 began on a Monday, 2021 on a Friday, 2027 begins on a Friday.
  EXPECT_EQ(written("DatePart(\"ww\", #2024-01-06#) & \" \" & DatePart(\"ww\", #2024-01-07#) & \" "
                    "\" & DatePart(\"ww\", #2024-12-28#) & \" \" & "
                    "DatePart(\"ww\", #2024-12-29#) & \" \" & DatePart(\"ww\", #2024-12-31#)"),
            "1 2 52 53 53");
  // vbFirstFourDays with Monday first is the ISO week: the last days of December may already
  // be week 1, the first days of January still the last week of the year before.
  EXPECT_EQ(written("DatePart(\"ww\", #2024-12-29#, vbMonday, vbFirstFourDays) & \" \" & "
                    "DatePart(\"ww\", #2024-12-30#, vbMonday, vbFirstFourDays) & \" \" & "
                    "DatePart(\"ww\", #2024-12-31#, vbMonday, vbFirstFourDays) & \" \" & "
                    "DatePart(\"ww\", #2021-01-03#, vbMonday, vbFirstFourDays) & \" \" & "
                    "DatePart(\"ww\", #2021-01-04#, vbMonday, vbFirstFourDays) & \" \" & "
                    "DatePart(\"ww\", #2026-12-31#, vbMonday, vbFirstFourDays) & \" \" & "
                    "DatePart(\"ww\", #2027-01-01#, vbMonday, vbFirstFourDays)"),
            "52 1 1 53 1 53 53");
  EXPECT_EQ(written("DatePart(\"ww\", #2027-01-02#, vbSunday, vbFirstFullWeek) & \" \" & "
                    "DatePart(\"ww\", #2027-01-03#, vbSunday, vbFirstFullWeek) & \" \" & "
                    "DatePart(\"ww\", #2026-12-31#, vbSunday, vbFirstFullWeek)"),
            "52 1 52");
}

TEST(DateSerial, PartsOutOfRangeCarry) {
  EXPECT_EQ(written("DateSerial(2024, 14, -1) & \" \" & DateSerial(2024, 0, 0) & \" \" & "
                    "DateSerial(2024, 12, 32) & \" \" & "
                    "DateSerial(2024, 1, -365) & \" \" & DateSerial(2023, 2, 29) & \" \" & "
                    "DateSerial(2024, 2, 29)"),
            "2025-01-30 2023-11-30 2025-01-01 2022-12-31 2023-03-01 2024-02-29");
  EXPECT_EQ(written("DateSerial(29, 1, 1) & \" \" & DateSerial(30, 1, 1) & \" \" & DateSerial(99, "
                    "12, 31) & \" \" & DateSerial(100, 1, 1)"),
            "2029-01-01 1930-01-01 1999-12-31 0100-01-01");
  EXPECT_EQ(typed("DateSerial(\"2024\", 2.5, 1)"), "Date:2024-02-01");
  EXPECT_EQ(errorOf("x = DateSerial(10000, 1, 1)"), "6");
  EXPECT_EQ(errorOf("x = DateSerial(2024, 1, Null)"), "94");
}

TEST(TimeAndParts, SerialsValuesAndNames) {
  EXPECT_EQ(written("Hour(TimeSerial(13, 61, 0)) & \":\" & Minute(TimeSerial(13, 61, 0)) & \" \" & "
                    "Second(TimeSerial(0, 0, 3661)) & \" \" & "
                    "Hour(TimeValue(\"11:59 PM\")) & \" \" & Minute(#12:30 AM#)"),
            "14:1 1 23 30");
  EXPECT_EQ(
      written("Year(\"2024-02-29\") & Month(\"2024/2/29\") & Day(#2/29/2024#) & \" \" & "
              "IsNull(Year(Null)) & \" \" & "
              "DateValue(\"2024-02-29 18:00\") & \" \" & Hour(DateValue(#2024-02-29 18:00#))"),
      "2024229 True 2024-02-29 0");
  EXPECT_EQ(written("WeekdayName(Weekday(#2024-02-29#)) & MonthName(Month(#2024-02-29#)) & "
                    "WeekdayName(7, True) & "
                    "WeekdayName(1, False, vbMonday)"),
            "星期四二月周六星期一");
  EXPECT_EQ(errorOf("x = MonthName(13)"), "5");
  EXPECT_EQ(errorOf("x = WeekdayName(0)"), "5");
  EXPECT_EQ(written("TypeName(Now) & TypeName(Date) & TypeName(Time) & TypeName(Timer) & (Now >= "
                    "Date) & (Now - Date < 1)"),
            "DateDateDateSingleTrueTrue");
}

TEST(DateTexts, WhatCDateAndIsDateRead) {
  EXPECT_EQ(written("CDate(\"2024-1-5\") & \" \" & CDate(\"2024/01/05 13:04\") & \" \" & "
                    "CDate(\"1/5/2024 1:04 PM\") & \" \" & "
                    "(CDate(\"13:04:05\") = TimeSerial(13, 4, 5))"),
            "2024-01-05 2024-01-05 13:04:00 2024-01-05 13:04:00 True");
  EXPECT_EQ(written("IsDate(\"2024-02-30\") & IsDate(\"2023-02-29\") & IsDate(\"2024-02-29\") & "
                    "IsDate(\"12:61\") & "
                    "IsDate(\"2:30 PM\") & IsDate(#2024-01-01#) & IsDate(45000) & IsDate(\"\") & "
                    "IsDate(Null)"),
            "FalseFalseTrueFalseTrueTrueFalseFalseFalse");
}

}  // namespace
}  // namespace vbscript
