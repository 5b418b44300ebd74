// The language: operators at their edges, control flow, procedures, arrays and errors.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::run;
using test::typed;

TEST(Arithmetic, IntegerOverflowMovesToTheNextWiderType) {
  EXPECT_EQ(typed("32767 + 1"), "Long:32768");
  EXPECT_EQ(typed("-32768 - 1"), "Long:-32769");
  EXPECT_EQ(typed("200 * 200"), "Long:40000");
  EXPECT_EQ(typed("2147483647 + 1"), "Double:2147483648");
  EXPECT_EQ(typed("CByte(200) + CByte(100)"), "Integer:300");
  EXPECT_EQ(typed("1 + 2"), "Integer:3");
  EXPECT_EQ(typed("-(-32768)"), "Long:32768");
  EXPECT_EQ(typed("&hFFFF"), "Integer:-1");
  EXPECT_EQ(typed("&h10000"), "Long:65536");
}

TEST(Arithmetic, EmptyNullAndTextsThatReadAsNumbers) {
  EXPECT_EQ(typed("Empty + Empty"), "Integer:0");
  EXPECT_EQ(typed("Empty + 5"), "Integer:5");
  EXPECT_EQ(run("Response.Write IsNull(Null + 1) & IsNull(Null & Null) & (Null & \"a\")"),
            "TrueTruea");
  EXPECT_EQ(typed("\"3\" + 4"), "Double:7");
  EXPECT_EQ(typed("\"3\" + \"4\""), "String:34");
  EXPECT_EQ(typed("\"3\" - \"4\""), "Double:-1");
  EXPECT_EQ(typed("\"3\" & 4"), "String:34");
  EXPECT_EQ(typed("True + True"), "Integer:-2");
  EXPECT_NE(run("x = \"abc\" + 1").find("|error 13 Type mismatch"), std::string::npos);
}

TEST(Arithmetic, DivisionFamily) {
  EXPECT_EQ(typed("7 / 2"), "Double:3.5");
  EXPECT_EQ(typed("7 \\ 2"), "Integer:3");
  EXPECT_EQ(typed("-7 \\ 2"), "Integer:-3");
  EXPECT_EQ(typed("7.5 \\ 2"), "Long:4");   // 7.5 rounds to 8 first
  EXPECT_EQ(typed("6.5 Mod 4"), "Long:2");  // 6.5 rounds to 6
  EXPECT_EQ(typed("-7 Mod 3"), "Integer:-1");
  EXPECT_EQ(typed("2 ^ 10"), "Double:1024");
  EXPECT_EQ(typed("-2 ^ 2"), "Double:-4");
  EXPECT_NE(run("x = 1 / 0").find("|error 11 Division by zero"), std::string::npos);
  EXPECT_NE(run("x = 1 \\ 0").find("|error 11"), std::string::npos);
  EXPECT_NE(run("x = 0 / 0").find("|error 6 Overflow"), std::string::npos);
}

TEST(Comparison, MixedVariants) {
  // Between variables a number is always less than a text; a literal decides otherwise.
  EXPECT_EQ(run("a = 1: b = \"1\": Response.Write (a = b) & (a < b) & (a = \"1\") & (b = 1)"),
            "FalseTrueTrueTrue");
  EXPECT_EQ(run("a = \"100\": Response.Write (a > 1000) & (\"100\" > \"1000\")"), "FalseFalse");
  EXPECT_EQ(
      run("Response.Write (Empty = 0) & (Empty = \"\") & IsNull(Null = Null) & IsNull(1 < Null)"),
      "TrueTrueTrueTrue");
  EXPECT_EQ(run("Response.Write (\"a\" < \"B\") & (\"abc\" = \"ABC\")"), "FalseFalse");
  EXPECT_NE(run("a = \"\": If a = 0 Then Response.Write 1").find("|error 13"), std::string::npos);
}

TEST(Logical, BooleansNumbersAndNull) {
  EXPECT_EQ(typed("True And False"), "Boolean:False");
  EXPECT_EQ(typed("12 And 10"), "Integer:8");
  EXPECT_EQ(typed("12 Or 3"), "Integer:15");
  EXPECT_EQ(typed("Not 0"), "Integer:-1");
  EXPECT_EQ(typed("Not True"), "Boolean:False");
  EXPECT_EQ(typed("5 Xor 3"), "Integer:6");
  EXPECT_EQ(typed("True Eqv False"), "Boolean:False");
  EXPECT_EQ(typed("False Imp False"), "Boolean:True");
  EXPECT_EQ(typed("Null And False"), "Boolean:False");
  EXPECT_EQ(typed("Null Or True"), "Boolean:True");
  EXPECT_EQ(run("Response.Write IsNull(Null And True) & IsNull(Null Or False) & IsNull(Not Null)"),
            "TrueTrueTrue");
  EXPECT_EQ(typed("False Imp Null"), "Boolean:True");
}

TEST(Statements, IfSelectAndLoops) {
  EXPECT_EQ(run("x = 5\nIf x > 3 Then\nResponse.Write \"big\"\nElseIf x > 1 Then\nResponse.Write "
                "\"mid\"\n"
                "Else\nResponse.Write \"small\"\nEnd If\nIf x = 5 Then Response.Write \"!\" Else "
                "Response.Write \"?\""),
            "big!");
  EXPECT_EQ(
      run("For Each v In Array(1, 5, 12, 30)\nSelect Case v\nCase 1, 2: Response.Write \"a\"\n"
          "Case 3 To 10: Response.Write \"b\"\nCase Is > 20: Response.Write \"c\"\n"
          "Case Else: Response.Write \"e\"\nEnd Select\nNext"),
      "abec");
  EXPECT_EQ(run("Select Case LCase(\"B\")\nCase \"a\": Response.Write 1\nCase \"b\", \"c\": "
                "Response.Write 2\n"
                "End Select"),
            "2");
  EXPECT_EQ(run("For i = 10 To 1 Step -3: Response.Write i & \",\": Next"), "10,7,4,1,");
  EXPECT_EQ(run("For i = 1 To 0: Response.Write i: Next: Response.Write i"), "1");
  EXPECT_EQ(run("For i = 0 To 1 Step 0.25: Response.Write i & \" \": Next"), "0 0.25 0.5 0.75 1 ");
  EXPECT_EQ(run("i = 0\nDo While i < 3\ni = i + 1\nLoop\nDo\ni = i + 1\nLoop Until i >= 10\n"
                "While i > 8: i = i - 1: Wend\nResponse.Write i"),
            "8");
  EXPECT_EQ(
      run("Do\nFor j = 1 To 5\nIf j = 3 Then Exit For\nNext\nExit Do\nLoop\nResponse.Write j"),
      "3");
  EXPECT_EQ(run("For i = 32766 To 32767: Next: Response.Write TypeName(i) & i"), "Long32768");
}

TEST(Statements, CallsPassByReferenceByDefault) {
  const char* code =
      "Sub Twice(ByRef a, ByVal b)\n a = a * 2: b = b * 2\nEnd Sub\n"
      "x = 3: y = 4\nTwice x, y\nResponse.Write x & \" \" & y\n"
      "Twice (x), y\nResponse.Write \" \" & x\n"
      "Call Twice(x, y)\nResponse.Write \" \" & x\n"
      "Function Inc(n)\n n = n + 1\n Inc = n * 10\nEnd Function\n"
      "z = 1: Response.Write \" \" & Inc(z) & \" \" & z\n";
  EXPECT_EQ(run(code), "6 4 6 12 20 2");
  EXPECT_NE(run("Sub S(a, b): End Sub\nS(1, 2)").find("compile 1044"), std::string::npos);
  EXPECT_NE(run("Sub S(a): End Sub\nS 1, 2").find("|error 450"), std::string::npos);
}

TEST(Statements, RecursionAndLocals) {
  EXPECT_EQ(run("Function F(n)\nIf n <= 1 Then F = 1 Else F = n * F(n - 1)\nEnd "
                "Function\nResponse.Write F(10)"),
            "3628800");
  // An undeclared name inside a procedure is a local of that call.
  EXPECT_EQ(run("Function Depth(n)\nk = n\nIf n > 0 Then Depth(n - 1)\nDepth = k\nEnd Function\n"
                "Response.Write Depth(3)"),
            "3");
}

TEST(Statements, OutOfStackSpaceIsAnErrorNotACrash) {
  EXPECT_NE(run("Function R(n)\nR = R(n + 1)\nEnd Function\nx = R(1)")
                .find("|error 28 Out of stack space"),
            std::string::npos);
  EXPECT_EQ(run("Function R(n)\nR = R(n + 1)\nEnd Function\nOn Error Resume Next\nx = R(1)\n"
                "Response.Write Err.Number"),
            "28");
}

TEST(Arrays, FixedDynamicAndMultiDimensional) {
  EXPECT_EQ(run("Dim a(2)\na(0) = 1: a(2) = 3\nResponse.Write UBound(a) & a(0) & a(1) & a(2)"),
            "213");
  EXPECT_EQ(
      run("Dim m(1, 2)\nm(1, 2) = \"x\"\nResponse.Write UBound(m, 1) & UBound(m, 2) & m(1, 2)"),
      "12x");
  EXPECT_EQ(
      run("Dim a()\nReDim a(1)\na(1) = 5\nReDim Preserve a(3)\nResponse.Write UBound(a) & a(1)\n"
          "ReDim a(2)\nResponse.Write IsEmpty(a(1))"),
      "35True");
  EXPECT_EQ(run("a = Array(1, 2)\nb = a\nb(0) = 9\nResponse.Write a(0) & b(0)"), "19");
  EXPECT_NE(run("Dim a(2)\nx = a(3)").find("|error 9 Subscript out of range"), std::string::npos);
  EXPECT_EQ(run("Dim a(1)\na(0) = 1\nErase a\nResponse.Write IsEmpty(a(0)) & UBound(a)"), "True1");
  EXPECT_EQ(run("ReDim m(1, 1)\nm(0, 1) = 2\nReDim Preserve m(1, 3)\nResponse.Write m(0, 1) & "
                "UBound(m, 2)"),
            "23");
}

TEST(Statements, OptionExplicitAndUndefinedNames) {
  EXPECT_NE(run("Option Explicit\nDim a\na = 1\nb = 2")
                .find("|error 500 Variable is undefined: 'b' line 4"),
            std::string::npos);
  EXPECT_NE(run("Option Explicit\nResponse.Write c").find("|error 500"), std::string::npos);
  EXPECT_EQ(run("Response.Write IsEmpty(neverSet)"), "True");
}

TEST(Statements, ConstWithAndLineForms) {
  EXPECT_EQ(run("Const A = 5, B = \"x\"\nResponse.Write A & B & vbTab & _\n  \"end\" ' "
                "comment\nRem another"),
            "5x\tend");
  EXPECT_NE(run("Const A = 5\nA = 6").find("compile"), std::string::npos);
  EXPECT_EQ(run("Response.Write #2024-02-29# + 1 & \" \" & #1/15/2024 2:30 PM#"),
            "2024-03-01 2024-01-15 14:30:00");
}

TEST(Strings, BuildingInALoopAppendsInPlace) {
  EXPECT_EQ(run("s = \"\"\nFor i = 1 To 5: s = s & i & \",\": Next\nResponse.Write s"),
            "1,2,3,4,5,");
  // A text that starts as a literal is shared with the program's constants: the first append
  // copies it rather than losing it.
  EXPECT_EQ(run("s = \"x = 1\"\nFor i = 1 To 2: s = s & \" + \" & i: Next\nResponse.Write s"),
            "x = 1 + 1 + 2");
  EXPECT_EQ(run("Sub F(): t = \"ab\": t = t & \"c\": Response.Write t: End Sub\nF\nF"), "abcabc");
  // The old value is what the right side started from, even if a call changes it meanwhile.
  EXPECT_EQ(run("Function F()\ns = \"changed\"\nF = \"!\"\nEnd Function\ns = \"a\"\ns = s & "
                "F()\nResponse.Write s"),
            "a!");
}

}  // namespace
}  // namespace vbscript
