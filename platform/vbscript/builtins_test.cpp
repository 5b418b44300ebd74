// The built-in functions, family by family, at the edges where implementations go wrong.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::run;
using test::typed;

std::string w(const std::string& expr) { return test::written(expr); }

TEST(Conversion, RoundingTypesAndFailures) {
  EXPECT_EQ(typed("CInt(2.5)"), "Integer:2");
  EXPECT_EQ(typed("CInt(3.5)"), "Integer:4");
  EXPECT_EQ(typed("CInt(\"-2.5\")"), "Integer:-2");
  EXPECT_EQ(typed("CLng(\"123456\")"), "Long:123456");
  EXPECT_EQ(typed("CByte(255.4)"), "Byte:255");
  EXPECT_EQ(typed("CCur(1.23456)"), "Currency:1.2346");
  EXPECT_EQ(typed("CCur(\"10\") * 3"), "Currency:30");
  EXPECT_EQ(typed("CSng(1) / 3"), "Single:0.3333333");
  EXPECT_EQ(typed("CDbl(\"1e3\")"), "Double:1000");
  EXPECT_EQ(typed("CBool(\"true\")"), "Boolean:True");
  EXPECT_EQ(typed("CDate(\"2024-02-29\")"), "Date:2024-02-29");
  EXPECT_EQ(typed("CStr(0.1 + 0.2)"), "String:0.3");
  EXPECT_NE(w("CInt(32767.5)").find("|error 6 Overflow"), std::string::npos);
  EXPECT_NE(w("CByte(-1)").find("|error 6"), std::string::npos);
  EXPECT_NE(w("CLng(\"12a\")").find("|error 13"), std::string::npos);
  EXPECT_NE(w("CStr(Null)").find("|error 94 Invalid use of Null"), std::string::npos);
  EXPECT_EQ(w("Int(-1.5) & \" \" & Fix(-1.5) & \" \" & TypeName(Int(2)) & \" \" & Hex(255) & \" \" "
              "& Hex(-1) & "
              "\" \" & Hex(CLng(-1)) & \" \" & Oct(8)"),
            "-2 -1 Integer FF FFFF FFFFFFFF 10");
}

TEST(Testing, TypesOfValues) {
  EXPECT_EQ(w("VarType(Empty) & VarType(Null) & VarType(1) & VarType(70000) & VarType(1.5) & "
              "VarType(\"\")"),
            "012358");
  EXPECT_EQ(w("VarType(Array()) & \" \" & TypeName(Array()) & \" \" & TypeName(Nothing) & \" \" & "
              "VarType(True)"),
            "8204 Variant() Nothing 11");
  EXPECT_EQ(w("IsNumeric(\"1e5\") & IsNumeric(\"abc\") & IsNumeric(Empty) & IsNumeric(Null) & "
              "IsNumeric(\" 12 \")"),
            "TrueFalseTrueFalseTrue");
  EXPECT_EQ(w("IsDate(\"2024-13-01\") & IsDate(\"2024-12-31\") & IsDate(\"12/31/2024\") & "
              "IsArray(Array(1))"),
            "FalseTrueTrueTrue");
  EXPECT_EQ(w("IsEmpty(Empty) & IsNull(Null) & IsObject(Nothing) & IsObject(1)"),
            "TrueTrueTrueFalse");
}

TEST(Text, PositionsLengthsAndNull) {
  EXPECT_EQ(w("InStr(\"abcabc\", \"c\") & InStr(4, \"abcabc\", \"c\") & InStr(\"abc\", \"\") & "
              "InStr(\"ABC\", \"b\")"
              " & InStr(1, \"ABC\", \"b\", 1) & InStrRev(\"abcabc\", \"b\")"),
            "361025");
  EXPECT_EQ(w("Mid(\"hello\", 2, 3) & Mid(\"hello\", 4) & Left(\"hi\", 5) & Right(\"hello\", 2) & "
              "Len(\"\") & Len(123)"),
            "elllohilo03");
  EXPECT_EQ(
      w("\"[\" & Trim(\"  a b  \") & \"][\" & LTrim(\"  a\") & \"][\" & RTrim(\"a  \") & \"]\""),
      "[a b][a][a]");
  EXPECT_EQ(w("Replace(\"aXbXc\", \"x\", \"-\", 1, -1, 1) & Replace(\"aaaa\", \"a\", \"b\", 2, 2) "
              "& UCase(\"abc\") & LCase(\"ÀB\")"),
            "a-b-cbbaABCàb");
  EXPECT_EQ(w("Join(Split(\"a,b,,c\", \",\"), \"|\") & UBound(Split(\"\")) & UBound(Split(\"a "
              "b\")) & Join(Split(\"a-b-c\", \"-\", 2), \"+\")"),
            "a|b||c-11a+b-c");
  EXPECT_EQ(w("StrComp(\"a\", \"B\") & StrComp(\"a\", \"B\", 1) & String(3, \"x\") & Space(2) & "
              "StrReverse(\"abc\")"),
            "1-1xxx  cba");
  EXPECT_EQ(w("Asc(\"A\") & ChrW(20013) & AscW(\"中\") & Chr(66) & Asc(\"中\")"),
            "65中20013B-10544");
  EXPECT_EQ(w("Join(Filter(Array(\"apple\", \"pear\", \"plum\"), \"p\", True), \",\") & "
              "Join(Filter(Array(\"apple\", \"pear\"), \"pe\", False))"),
            "apple,pear,plumapple");
  EXPECT_EQ(w("Escape(\"a b&中\") & \" \" & Unescape(\"a%20b%u4E2D\")"), "a%20b%26%u4E2D a b中");
  EXPECT_EQ(w("IsNull(Left(Null, 1)) & IsNull(Len(Null)) & IsNull(InStr(Null, \"a\"))"),
            "TrueTrueTrue");
  EXPECT_EQ(w("LenB(\"ab\") & AscB(MidB(ChrB(1) & ChrB(200), 2, 1)) & InStrB(ChrB(9) & ChrB(8), "
              "ChrB(8))"),
            "42002");
  EXPECT_NE(w("Mid(\"a\", 0)").find("|error 5"), std::string::npos);
}

TEST(Maths, RoundingAndDomains) {
  EXPECT_EQ(w("Round(2.5) & Round(3.5) & Round(-2.5) & \" \" & Round(0.125, 2) & \" \" & "
              "Round(1.005, 2) & \" \" & TypeName(Round(2))"),
            "24-2 0.12 1 Integer");
  EXPECT_EQ(w("Abs(-3) & Sgn(-2) & Sgn(0) & Sqr(16) & Int(Exp(0)) & Log(1) & Atn(0) & Sin(0)"),
            "3-1041000");
  EXPECT_NE(w("Sqr(-1)").find("|error 5"), std::string::npos);
  EXPECT_NE(w("Log(0)").find("|error 5"), std::string::npos);
  EXPECT_EQ(w("(Rnd(-1) = Rnd(-1)) & (Rnd(0) = Rnd(0)) & (Rnd() < 1)"), "TrueTrueTrue");
}

TEST(Dates, MonthEndsLeapYearsAndParts) {
  EXPECT_EQ(w("DateAdd(\"m\", 1, #2024-01-31#) & \" \" & DateAdd(\"m\", 1, #2023-01-31#) & \" \" & "
              "DateAdd(\"yyyy\", 1, #2024-02-29#)"),
            "2024-02-29 2023-02-28 2025-02-28");
  EXPECT_EQ(w("DateAdd(\"d\", 1, #2024-02-28#) & \" \" & DateAdd(\"d\", -1, #2024-03-01#) & \" \" "
              "& DateAdd(\"h\", 25, #2023-12-31 23:00:00#)"),
            "2024-02-29 2024-02-29 2024-01-02");
  EXPECT_EQ(w("DateAdd(\"n\", 90, #2024-01-01#) & \" \" & DateAdd(\"ww\", 1, #2024-12-30#) & \" \" "
              "& DateAdd(\"q\", 1, #2024-11-30#)"),
            "2024-01-01 01:30:00 2025-01-06 2025-02-28");
  EXPECT_EQ(w("DateDiff(\"d\", #2024-02-01#, #2024-03-01#) & \" \" & DateDiff(\"m\", #2024-01-31#, "
              "#2024-02-01#) & \" \" & "
              "DateDiff(\"yyyy\", #2023-12-31#, #2024-01-01#) & \" \" & DateDiff(\"d\", "
              "#2024-03-01#, #2024-02-01#)"),
            "29 1 1 -29");
  EXPECT_EQ(w("DateDiff(\"ww\", #2024-01-06#, #2024-01-07#) & DateDiff(\"w\", #2024-01-06#, "
              "#2024-01-07#) & "
              "DateDiff(\"ww\", #2024-01-06#, #2024-01-08#, vbMonday) & \" \" & DateDiff(\"h\", "
              "#2024-01-01 23:59:00#, #2024-01-02 00:01:00#)"),
            "101 1");
  EXPECT_EQ(w("DatePart(\"ww\", #2024-12-31#) & \" \" & DatePart(\"ww\", #2021-01-01#, vbMonday, "
              "vbFirstFourDays) & \" \" & "
              "DatePart(\"w\", #2024-01-01#) & DatePart(\"w\", #2024-01-01#, vbMonday) & \" \" & "
              "DatePart(\"y\", #2024-12-31#) & "
              "\" \" & DatePart(\"q\", #2024-08-15#)"),
            "53 53 21 366 3");
  EXPECT_EQ(
      w("DateSerial(2024, 2, 30) & \" \" & DateSerial(2024, 13, 1) & \" \" & DateSerial(2024, 3, "
        "0) & \" \" & DateSerial(24, 1, 1) & \" \" & DateSerial(2023, 0, 1)"),
      "2024-03-01 2025-01-01 2024-02-29 2024-01-01 2022-12-01");
  EXPECT_EQ(w("TimeSerial(25, 0, 0) & \" \" & TimeSerial(12, 90, 0) & \" \" & TimeValue(\"2:30 "
              "PM\") & \" \" & DateValue(\"2024-05-06 10:00\")"),
            "1899-12-31 01:00:00 1899-12-30 13:30:00 1899-12-30 14:30:00 2024-05-06");
  EXPECT_EQ(w("Year(#2024-05-06#) & Month(#2024-05-06#) & Day(#2024-05-06#) & "
              "Weekday(#2024-05-06#) & Hour(#2024-05-06 07:08:09#) & "
              "Minute(#2024-05-06 07:08:09#) & Second(#2024-05-06 07:08:09#)"),
            "2024562789");
  EXPECT_EQ(w("WeekdayName(1) & MonthName(12) & WeekdayName(1, True, vbMonday)"),
            "星期日十二月周一");
  EXPECT_EQ(w("#2024-03-01# - #2024-02-01# & \" \" & TypeName(#2024-03-01# - 1) & \" \" & (Date() "
              "= DateValue(Now())) & \" \" & (Timer() < 86400)"),
            "29 Date True True");
  EXPECT_NE(w("DateAdd(\"x\", 1, Now)").find("|error 5"), std::string::npos);
  EXPECT_NE(w("DateAdd(\"yyyy\", 8000, #2024-01-01#)").find("|error"), std::string::npos);
}

TEST(Formatting, RegionalNumbersAndDates) {
  EXPECT_EQ(w("FormatNumber(1234567.891) & \" \" & FormatNumber(0.5, 0) & \" \" & "
              "FormatNumber(-0.25, 1, 0) & \" \" & FormatNumber(-5, 2, -1, -1)"),
            "1,234,567.89 1 -.3 (5.00)");
  EXPECT_EQ(w("FormatNumber(1234.5, 2, -1, 0, 0) & \" \" & FormatCurrency(1234.5) & \" \" & "
              "FormatPercent(0.1234) & \" \" & FormatPercent(1, 0)"),
            "1234.50 ¥1,234.50 12.34% 100%");
  EXPECT_EQ(w("FormatDateTime(#2024-05-06 07:08:09#) & \"|\" & FormatDateTime(#2024-05-06#, "
              "vbLongDate) & \"|\" & "
              "FormatDateTime(#2024-05-06 07:08:09#, vbShortDate) & \"|\" & "
              "FormatDateTime(#2024-05-06 07:08:09#, vbShortTime) & \"|\" & "
              "FormatDateTime(TimeSerial(7, 8, 9))"),
            "2024-05-06 07:08:09|2024年5月6日|2024-05-06|07:08|07:08:09");
}

TEST(ArraysAndRuntime, BoundsAndEngineIdentity) {
  EXPECT_EQ(w("LBound(Array(1, 2)) & UBound(Array(1, 2)) & UBound(Array())"), "01-1");
  EXPECT_NE(w("UBound(5)").find("|error 13"), std::string::npos);
  EXPECT_NE(w("UBound(Array(1), 2)").find("|error 9"), std::string::npos);
  EXPECT_EQ(w("ScriptEngine() & ScriptEngineMajorVersion() & \".\" & ScriptEngineMinorVersion() & "
              "\" \" & RGB(1, 2, 3)"),
            "VBScript5.8 197121");
}

TEST(RegExp, TestReplaceExecuteAndSubMatches) {
  const char* code =
      "Set re = New RegExp\nre.Pattern = \"(\\w+)@(\\w+)\\.com\"\nre.IgnoreCase = True\nre.Global "
      "= True\n"
      "s = \"Mail ann@x.com, BOB@Y.COM now\"\n"
      "Response.Write re.Test(s) & \"|\" & re.Replace(s, \"$2:$1\") & \"|\"\n"
      "Set ms = re.Execute(s)\nResponse.Write ms.Count & \"|\"\n"
      "For Each m In ms: Response.Write m.FirstIndex & \":\" & m.Value & \":\" & m.SubMatches(0) & "
      "\";\": Next\n"
      "re.Global = False\nResponse.Write \"|\" & re.Replace(s, \"[$&]\") & \"|\" & "
      "re.Execute(s)(0).Length";
  EXPECT_EQ(run(code),
            "True|Mail x:ann, Y:BOB now|2|5:ann@x.com:ann;16:BOB@Y.COM:BOB;|Mail [ann@x.com], "
            "BOB@Y.COM now|9");
  EXPECT_EQ(run("Set re = New RegExp\nre.Pattern = \"^b$\"\nResponse.Write re.Test(\"a\" & vbLf & "
                "\"b\")\n"
                "re.Multiline = True\nResponse.Write re.Test(\"a\" & vbLf & \"b\")"),
            "FalseTrue");
  EXPECT_NE(run("Set re = New RegExp\nre.Pattern = \"(\"\nx = re.Test(\"a\")").find("|error 5017"),
            std::string::npos);
}

}  // namespace
}  // namespace vbscript
