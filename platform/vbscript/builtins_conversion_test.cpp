// Conversion and testing functions: rounding halves to even at the edges of each type, the
// texts numbers and dates are written as, and what IsNumeric, VarType and TypeName say.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::typed;
using test::written;

TEST(ToIntegers, HalvesGoToEvenAtEveryEdge) {
  EXPECT_EQ(written("CInt(-32768.5) & \" \" & CInt(32767.49) & \" \" & CInt(-0.5) & \" \" & "
                    "CInt(\"1.5\") & \" \" & CInt(True) & \" \" & CInt(Empty)"),
            "-32768 32767 0 2 -1 0");
  EXPECT_EQ(written("CByte(254.5) & \" \" & CByte(\"0.5\") & \" \" & CLng(-2147483648.5) & \" \" & "
                    "CLng(2.5) & \" \" & CLng(#1900-01-01 18:00#)"),
            "254 0 -2147483648 2 3");
  EXPECT_EQ(errorOf("x = CInt(32767.5)"), "6");
  EXPECT_EQ(errorOf("x = CByte(255.5)"), "6");
  EXPECT_EQ(errorOf("x = CLng(2147483647.5)"), "6");
  EXPECT_EQ(errorOf("x = CInt(\"\")"), "13");
  EXPECT_EQ(errorOf("x = CLng(Null)"), "94");
}

TEST(ToOthers, BooleansCurrencySinglesAndTexts) {
  EXPECT_EQ(written("CBool(\"0\") & CBool(\"-1\") & CBool(\"false\") & CBool(0.1) & CBool(Empty)"),
            "FalseTrueFalseTrueFalse");
  EXPECT_EQ(errorOf("x = CBool(\"yes\")"), "13");
  EXPECT_EQ(typed("CCur(\"1234.56789\")"), "Currency:1234.5679");
  EXPECT_EQ(typed("CCur(0.00005)"), "Currency:0");  // halves to even at the fourth decimal
  EXPECT_EQ(typed("CCur(0.0001) * 3"), "Currency:0.0003");
  EXPECT_EQ(typed("CSng(\"0.1\")"), "Single:0.1");
  EXPECT_EQ(typed("CDbl(CSng(0.1))"), "Double:0.100000001490116");
  EXPECT_EQ(
      written("CStr(0.1) & \" \" & CStr(1/3) & \" \" & CStr(-0.0) & \" \" & CStr(1E+15) & \" \" & "
              "CStr(123456789012345) & \" \" & "
              "CStr(1.5E-5) & \" \" & CStr(0.0001) & \" \" & CStr(CSng(1) / 3) & \" \" & "
              "CStr(#2024-02-29 00:00:01#)"),
      "0.1 0.333333333333333 0 1E+15 123456789012345 1.5E-05 0.0001 0.3333333 2024-02-29 00:00:01");
}

TEST(WholeParts, IntFixHexOct) {
  EXPECT_EQ(written("Int(-0.5) & \" \" & Fix(-0.5) & \" \" & Int(2.999) & \" \" & Fix(-2.999) & \" "
                    "\" & TypeName(Int(\"2.7\")) & \" \" & "
                    "TypeName(Fix(CCur(2.5))) & \" \" & IsNull(Int(Null))"),
            "-1 0 2 -2 Double Currency True");
  EXPECT_EQ(
      written("Hex(2.5) & \" \" & Hex(3.5) & \" \" & Hex(65536) & \" \" & Hex(CInt(-32768)) & \" "
              "\" & Hex(-32768) & \" \" & Hex(CLng(-32769)) & \" \" & "
              "Oct(-1) & \" \" & Oct(CLng(-1)) & \" \" & Hex(Empty) & \" \" & IsNull(Hex(Null))"),
      "2 4 10000 8000 FFFF8000 FFFF7FFF 177777 37777777777 0 True");
  EXPECT_EQ(errorOf("x = Hex(2147483648)"), "6");
}

TEST(Testing, IsNumericIsDateIsEmptyAndFriends) {
  EXPECT_EQ(written("IsNumeric(\" 1.5E3 \") & IsNumeric(\"-.5\") & IsNumeric(\"1.2.3\") & "
                    "IsNumeric(\"\") & IsNumeric(True) & "
                    "IsNumeric(#2024-01-01#) & IsNumeric(CCur(1)) & IsNumeric(Array(1))"),
            "TrueTrueFalseFalseTrueFalseTrueFalse");
  EXPECT_EQ(written("IsEmpty(\"\") & IsEmpty(Empty) & IsNull(Empty) & IsObject(Nothing) & "
                    "IsArray(\"a\") & IsArray(Split(\"a\"))"),
            "FalseTrueFalseTrueFalseTrue");
}

TEST(Testing, VarTypeAndTypeNameOfEveryKind) {
  EXPECT_EQ(written("VarType(CByte(1)) & \" \" & VarType(CCur(1)) & \" \" & VarType(CSng(1)) & \" "
                    "\" & VarType(#2024-01-01#) & \" \" & "
                    "VarType(Nothing) & \" \" & VarType(Array()) & \" \" & VarType(ChrB(1)) & \" "
                    "\" & VarType(True)"),
            "17 6 4 7 9 8204 8209 11");
  EXPECT_EQ(written("TypeName(CByte(1)) & \" \" & TypeName(CCur(1)) & \" \" & TypeName(CSng(1)) & "
                    "\" \" & TypeName(Null) & \" \" & "
                    "TypeName(Empty) & \" \" & TypeName(\"\") & \" \" & TypeName(Nothing) & \" \" "
                    "& TypeName(New RegExp)"),
            "Byte Currency Single Null Empty String Nothing IRegExp2");
}

}  // namespace
}  // namespace vbscript
