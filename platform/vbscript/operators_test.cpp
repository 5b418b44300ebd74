// The operators on variants at the edges of their rules: the subtype each result takes,
// overflow from Byte to Integer to Long to Double, Empty and Null on either side, texts that
// read as numbers, rounding halves to even before \ and Mod, and comparisons of mixed kinds.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::run;
using test::typed;
using test::written;

TEST(Addition, ResultTakesTheWiderTypeAndGrowsOnOverflow) {
  EXPECT_EQ(typed("CInt(32767) + CInt(1)"), "Long:32768");
  EXPECT_EQ(typed("CInt(-32768) * CInt(-1)"), "Long:32768");
  EXPECT_EQ(typed("CInt(-32768) - 1"), "Long:-32769");
  EXPECT_EQ(typed("CLng(2147483647) + 1"), "Double:2147483648");
  EXPECT_EQ(typed("CLng(-2147483647) - 2"), "Double:-2147483649");
  EXPECT_EQ(typed("CLng(65536) * CLng(65536)"), "Double:4294967296");
  EXPECT_EQ(typed("CByte(255) + CByte(1)"), "Integer:256");
  EXPECT_EQ(typed("CByte(5) - CByte(10)"), "Integer:-5");
  EXPECT_EQ(typed("CByte(2) * CByte(3)"), "Byte:6");
  EXPECT_EQ(typed("CByte(1) + 1"), "Integer:2");
  EXPECT_EQ(typed("CSng(1.5) + CInt(1)"), "Single:2.5");
  EXPECT_EQ(typed("CSng(1.5) + CLng(1)"), "Double:2.5");
  EXPECT_EQ(typed("CCur(1.5) + 1"), "Currency:2.5");
  EXPECT_EQ(typed("CCur(1.25) * CCur(3)"), "Currency:3.75");
  EXPECT_EQ(typed("CCur(1) + 0.5"), "Double:1.5");
  EXPECT_EQ(typed("True * 5"), "Integer:-5");
  EXPECT_EQ(typed("-CInt(-32768)"), "Long:32768");
  EXPECT_EQ(typed("-CLng(-2147483647 - 1)"), "Double:2147483648");
  EXPECT_EQ(errorOf("x = CCur(922337203685477) * 10"), "6");
  EXPECT_EQ(errorOf("x = 1E308 * 10"), "6");
}

TEST(Addition, TextsEmptyAndNull) {
  EXPECT_EQ(typed("\"5\" * \"2\""), "Double:10");
  EXPECT_EQ(typed("\"5\" - 2"), "Double:3");
  EXPECT_EQ(typed("\" 1.5e1 \" + 1"), "Double:16");
  EXPECT_EQ(typed("\"1\" + \"1\""), "String:11");
  // Empty beside a text gives the text; beside a number it counts as 0.
  EXPECT_EQ(typed("Empty + \"x\""), "String:x");
  EXPECT_EQ(typed("\"x\" + Empty"), "String:x");
  EXPECT_EQ(typed("Empty - \"5\""), "Double:-5");
  EXPECT_EQ(typed("Empty * Empty"), "Integer:0");
  EXPECT_EQ(typed("CLng(7) + Empty"), "Long:7");
  EXPECT_EQ(written("IsNull(Null + 1) & IsNull(1 - Null) & IsNull(Null * Null) & IsNull(-Null) & "
                    "IsNull(Null \\ 2)"),
            "TrueTrueTrueTrueTrue");
  EXPECT_EQ(errorOf("x = \"abc\" - 1"), "13");
  EXPECT_EQ(errorOf("x = \"\" + 1"), "13");
  EXPECT_EQ(errorOf("x = Array(1) + 1"), "13");
}

TEST(Division, IntegerDivisionAndModRoundHalvesToEvenFirst) {
  EXPECT_EQ(typed("7 \\ 2"), "Integer:3");
  EXPECT_EQ(typed("-7 \\ 2"), "Integer:-3");
  EXPECT_EQ(typed("CLng(10) \\ 3"), "Long:3");
  EXPECT_EQ(typed("CByte(10) \\ CByte(3)"), "Byte:3");
  EXPECT_EQ(typed("\"7\" \\ \"2\""), "Long:3");
  EXPECT_EQ(
      written("(0.5 \\ 1) & (1.5 \\ 1) & (2.5 \\ 1) & (3.5 \\ 1) & (-2.5 \\ 1) & (-3.5 \\ 1)"),
      "0224-2-4");
  EXPECT_EQ(written("(7 Mod -3) & (-7 Mod 3) & (-7 Mod -3) & (7 Mod 2.5) & (7.5 Mod 3)"),
            "1-1-112");
  EXPECT_EQ(typed("CLng(-2147483647 - 1) Mod -1"), "Long:0");
  EXPECT_EQ(typed("CLng(-2147483647 - 1) \\ -1"), "Double:2147483648");
  EXPECT_EQ(errorOf("x = 5 \\ 0"), "11");
  EXPECT_EQ(errorOf("x = 5 Mod 0"), "11");
  EXPECT_EQ(errorOf("x = 5 Mod 0.4"), "11");  // 0.4 rounds to 0
  EXPECT_EQ(errorOf("x = 2147483648 \\ 1"), "6");
}

TEST(Division, FloatingDivisionAndPowers) {
  EXPECT_EQ(typed("1 / 4"), "Double:0.25");
  EXPECT_EQ(typed("CInt(1) / CInt(2)"), "Double:0.5");
  EXPECT_EQ(typed("CSng(1) / CSng(4)"), "Single:0.25");
  EXPECT_EQ(typed("CLng(1) / CSng(4)"), "Double:0.25");
  EXPECT_EQ(typed("2 ^ -1"), "Double:0.5");
  EXPECT_EQ(typed("(-2) ^ 3"), "Double:-8");
  EXPECT_EQ(written("2 ^ 3 ^ 2"), "64");  // left to right
  EXPECT_EQ(written("-2 ^ 2"), "-4");     // ^ before negation
  EXPECT_EQ(errorOf("x = 1 / 0"), "11");
  EXPECT_EQ(errorOf("x = 0 / 0"), "6");
  EXPECT_EQ(errorOf("x = (-8) ^ (1 / 3)"), "5");
  EXPECT_EQ(errorOf("x = 2 ^ 1024"), "6");
}

TEST(Dates, ArithmeticKeepsDatesAndGivesDays) {
  EXPECT_EQ(typed("#2024-03-01# - 1"), "Date:2024-02-29");
  EXPECT_EQ(typed("#2023-03-01# - 1"), "Date:2023-02-28");
  EXPECT_EQ(typed("#2024-01-01# - #2023-01-01#"), "Double:365");
  EXPECT_EQ(typed("#2024-01-01 12:00# + 0.5"), "Date:2024-01-02");
  EXPECT_EQ(typed("1 + #2024-12-31#"), "Date:2025-01-01");
  EXPECT_EQ(written("#1899-12-31# = 1"), "True");
}

TEST(Concatenation, AnythingJoinsAsItsText) {
  EXPECT_EQ(typed("1 & 2"), "String:12");
  EXPECT_EQ(typed("Empty & Empty"), "String:");
  EXPECT_EQ(written("True & \"|\" & 1.5 & \"|\" & #2024-01-05# & \"|\" & CCur(3) & \"|\" & Null & "
                    "\"|\" & CByte(7)"),
            "True|1.5|2024-01-05|3||7");
  EXPECT_EQ(written("IsNull(Null & Null)"), "True");
  EXPECT_EQ(errorOf("x = Array(1) & \"\""), "13");
}

TEST(Comparison, NumbersTextsEmptyAndNull) {
  EXPECT_EQ(
      written(
          "(1 = 1.0) & (CCur(0.1) = 0.1) & (CByte(3) = CLng(3)) & (True = -1) & (True < False)"),
      "TrueTrueTrueTrueTrue");
  EXPECT_EQ(written("(\"abc\" < \"abd\") & (\"a\" < \"B\") & (\"\" < \" \") & (\"ab\" < \"abc\")"),
            "TrueFalseTrueTrue");
  EXPECT_EQ(written("(Empty = 0) & (Empty = \"\") & (Empty < 1) & (Empty > -1) & (Empty < \"a\") & "
                    "(Empty = Empty)"),
            "TrueTrueTrueTrueTrueTrue");
  EXPECT_EQ(written("IsNull(Null = Null) & IsNull(Null <> 1) & IsNull(\"a\" < Null)"),
            "TrueTrueTrue");
  EXPECT_EQ(written("(#2024-01-02# > #2024-01-01 23:59#)"), "True");
}

TEST(Comparison, ATextAndANumberFollowWhatTheScriptWrote) {
  // Between two variables the number is the smaller; against a literal the variable is read
  // as the literal's kind.
  EXPECT_EQ(run("a = \"10\": b = 9\nResponse.Write (a > b) & (a < b) & (a = b)"), "TrueFalseFalse");
  EXPECT_EQ(run("a = \"10\"\nResponse.Write (a > 9) & (a > 100) & (a = 10) & (9 < a)"),
            "TrueFalseTrueTrue");
  EXPECT_EQ(run("n = 10\nResponse.Write (n = \"10\") & (\"10\" = n)"), "TrueTrue");
  EXPECT_EQ(errorOf("a = \"abc\"\nx = (a > 5)"), "13");
  EXPECT_EQ(run("a = \"\"\nb = 0\nResponse.Write (a = b) & (a > b)"), "FalseTrue");
}

TEST(Comparison, IsComparesObjectReferences) {
  EXPECT_EQ(run("Class K: End Class\nSet a = New K: Set b = a: Set c = New K\n"
                "Response.Write (a Is b) & (a Is c) & (Nothing Is Nothing) & (a Is Nothing)"),
            "TrueFalseTrueFalse");
  EXPECT_EQ(errorOf("x = (1 Is Nothing)"), "424");
}

TEST(Logical, TypesOfResultsAndNullsThreeValues) {
  EXPECT_EQ(typed("5 And 3"), "Integer:1");
  EXPECT_EQ(typed("CLng(5) And 3"), "Long:1");
  EXPECT_EQ(typed("CByte(5) Or CByte(2)"), "Byte:7");
  EXPECT_EQ(typed("True And 3"), "Integer:3");
  EXPECT_EQ(typed("3.7 And 7"), "Long:4");
  EXPECT_EQ(typed("\"12\" Or 1"), "Long:13");
  EXPECT_EQ(typed("Not CByte(0)"), "Byte:255");
  EXPECT_EQ(typed("Not CLng(0)"), "Long:-1");
  EXPECT_EQ(typed("Null And 0"), "Integer:0");
  EXPECT_EQ(typed("Null Or -1"), "Integer:-1");
  EXPECT_EQ(typed("Null Imp True"), "Boolean:True");
  EXPECT_EQ(typed("False Imp Null"), "Boolean:True");
  EXPECT_EQ(typed("True Eqv True"), "Boolean:True");
  EXPECT_EQ(typed("6 Eqv 3"), "Integer:-6");
  EXPECT_EQ(typed("6 Imp 3"), "Integer:-5");
  EXPECT_EQ(written("IsNull(Null Or 0) & IsNull(Null Xor True) & IsNull(Null Eqv True) & "
                    "IsNull(True Imp Null) & "
                    "IsNull(Null Imp False) & IsNull(Null And True)"),
            "TrueTrueTrueTrueTrueTrue");
  EXPECT_EQ(errorOf("x = \"abc\" And 1"), "13");
}

TEST(Conditions, NullIsFalseAndTextsMustReadAsBooleansOrNumbers) {
  EXPECT_EQ(run("If Null Then Response.Write 1 Else Response.Write 0\n"
                "If \"true\" Then Response.Write 1\nIf \"0\" Then Response.Write 2 Else "
                "Response.Write 3\n"
                "If 0.0001 Then Response.Write 4"),
            "0134");
  EXPECT_EQ(errorOf("If \"yes\" Then x = 1"), "13");
}

}  // namespace
}  // namespace vbscript
