// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime in this build's regional
// settings: decimals rounded half away from zero as written, groups of three, the regional
// negative forms, and dates in the system's yyyy-mm-dd form.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::typed;
using test::written;

TEST(FormatNumber, RoundsTheDecimalsAsWritten) {
  EXPECT_EQ(written("FormatNumber(1.005, 2) & \" \" & FormatNumber(0.125, 2) & \" \" & "
                    "FormatNumber(2.5, 0) & \" \" & "
                    "FormatNumber(-2.5, 0) & \" \" & FormatNumber(0.0049, 2) & \" \" & "
                    "FormatNumber(999.995)"),
            "1.01 0.13 3 -3 0.00 1,000.00");
  EXPECT_EQ(written("FormatNumber(1234567.891, 3) & \" \" & FormatNumber(123, 0) & \" \" & "
                    "FormatNumber(1E+20, 0) & \" \" & "
                    "FormatNumber(1E-20, 2) & \" \" & FormatNumber(\"42.5\", 1) & \" \" & "
                    "FormatNumber(Empty)"),
            "1,234,567.891 123 100,000,000,000,000,000,000 0.00 42.5 0.00");
  EXPECT_EQ(typed("FormatNumber(1)"), "String:1.00");
}

TEST(FormatNumber, TristateArgumentsAndTheirDefaults) {
  // digits, leading zero, parentheses for negatives, grouping; -2 is the regional default.
  EXPECT_EQ(written("FormatNumber(0.5, 2, False) & \" \" & FormatNumber(-0.5, 2, 0) & \" \" & "
                    "FormatNumber(-1234.5, 2, , True) & \" \" & "
                    "FormatNumber(1234.5, 1, , , False) & \" \" & FormatNumber(-0.004, 2) & \" \" "
                    "& FormatNumber(1234.5, -1, -2, -2, -2)"),
            ".50 -.50 (1,234.50) 1234.5 0.00 1,234.50");
  EXPECT_EQ(errorOf("x = FormatNumber(\"abc\")"), "13");
  EXPECT_EQ(errorOf("x = FormatNumber(1, -3)"), "5");
}

TEST(FormatCurrencyAndPercent, RegionalSymbolsAndSigns) {
  EXPECT_EQ(written("FormatCurrency(1234.5) & \" \" & FormatCurrency(-3.456) & \" \" & "
                    "FormatCurrency(-3.456, 1, , True) & \" \" & "
                    "FormatCurrency(0.5, 0)"),
            "¥1,234.50 ¥-3.46 (¥3.5) ¥1");
  EXPECT_EQ(written("FormatPercent(0.12345, 1) & \" \" & FormatPercent(1.5) & \" \" & "
                    "FormatPercent(-0.005, 0) & \" \" & "
                    "FormatPercent(0.285, 1) & \" \" & FormatPercent(12.5, 0, , , True)"),
            "12.3% 150.00% -1% 28.5% 1,250%");
}

TEST(FormatDateTime, TheFiveNamedForms) {
  EXPECT_EQ(
      written(
          "FormatDateTime(#2024-02-29 07:08:09#) & \"|\" & FormatDateTime(#2024-02-29#) & \"|\" & "
          "FormatDateTime(#07:08:09#) & \"|\" & FormatDateTime(#2024-02-29 07:08:09#, vbLongDate) "
          "& \"|\" & "
          "FormatDateTime(#2024-02-29 07:08:09#, vbShortDate) & \"|\" & FormatDateTime(#2024-02-29 "
          "17:08:09#, vbLongTime) & \"|\" & "
          "FormatDateTime(#2024-02-29 17:08:09#, vbShortTime)"),
      "2024-02-29 07:08:09|2024-02-29|07:08:09|2024年2月29日|2024-02-29|17:08:09|17:08");
  EXPECT_EQ(written("FormatDateTime(\"2024-12-01\", vbLongDate)"), "2024年12月1日");
  EXPECT_EQ(errorOf("x = FormatDateTime(Now, 5)"), "5");
  EXPECT_EQ(errorOf("x = FormatDateTime(\"soon\")"), "13");
}

}  // namespace
}  // namespace vbscript
