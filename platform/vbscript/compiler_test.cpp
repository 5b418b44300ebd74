// Statements as the compiler lays them out: Select Case in all its forms, loops and their
// exits, With, calls and how their arguments pass, the order things are worked out in, and
// names resolved at compile time (locals, globals, constants, Option Explicit).
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::run;

TEST(SelectCase, ListsRangesIsAndElse) {
  const char* code =
      "Function Kind(v)\n"
      " Select Case v\n"
      "  Case 1, 3, 5: Kind = \"odd\"\n"
      "  Case 2 To 4, 6: Kind = \"low\"\n"
      "  Case Is < 0: Kind = \"neg\"\n"
      "  Case Is >= 100, Is = 50: Kind = \"big\"\n"
      "  Case Else: Kind = \"else\"\n"
      " End Select\n"
      "End Function\n"
      "For Each v In Array(1, 2, 4, 6, -1, 50, 100, 7, 0)\n Response.Write Kind(v) & \" \"\nNext";
  EXPECT_EQ(run(code), "odd low low low neg big big else else ");
  // The first matching Case wins; no match and no Else runs nothing.
  EXPECT_EQ(run("Select Case 3\nCase 1 To 5\nResponse.Write \"a\"\nCase 3\nResponse.Write "
                "\"b\"\nEnd Select\n"
                "Select Case 9\nCase 1\nResponse.Write \"c\"\nEnd Select\nResponse.Write \".\""),
            "a.");
  EXPECT_EQ(run("Select Case \"m\"\nCase \"a\" To \"k\": Response.Write 1\nCase \"l\" To \"z\": "
                "Response.Write 2\nEnd Select"),
            "2");
  EXPECT_EQ(run("Select Case Null\nCase Null: Response.Write \"null\"\nCase Else: Response.Write "
                "\"else\"\nEnd Select"),
            "else");
}

TEST(SelectCase, TheSubjectIsWorkedOutOnce) {
  EXPECT_EQ(run("Dim n\nFunction Next1(): n = n + 1: Next1 = n: End Function\n"
                "Select Case Next1()\nCase 5: Response.Write \"no\"\nCase 1: Response.Write "
                "\"one\"\nEnd Select\n"
                "Response.Write n"),
            "one1");
  EXPECT_EQ(run("x = 2: y = 2\nSelect Case x\nCase y: Response.Write \"var\"\nCase Else: "
                "Response.Write \"else\"\nEnd Select"),
            "var");
}

TEST(Loops, ForWithStepsBoundsAndItsVariable) {
  EXPECT_EQ(run("For i = 5 To 1 Step -2: Response.Write i: Next: Response.Write \"|\" & i"),
            "531|-1");
  EXPECT_EQ(run("For i = 1 To 2 Step 0.5: Response.Write i & \",\": Next"), "1,1.5,2,");
  // The end and step are worked out once; the variable may be changed inside.
  EXPECT_EQ(run("n = 3\nFor i = 1 To n: n = 10: Response.Write i: Next"), "123");
  EXPECT_EQ(run("For i = 1 To 10: Response.Write i: i = i + 3: Next"), "159");
  EXPECT_EQ(run("For i = 1 To 3\nFor j = 1 To 3\nIf j = 2 Then Exit For\nResponse.Write i & j & \" "
                "\"\nNext j\nNext i"),
            "11 21 31 ");
  EXPECT_EQ(run("For i = \"1\" To \"3\": Response.Write TypeName(i): Next"), "DoubleDoubleDouble");
  EXPECT_EQ(errorOf("For i = 1 To Null: Next"), "94");
}

TEST(Loops, DoWhileUntilAndTheirExits) {
  EXPECT_EQ(run("i = 0\nDo Until i = 3: i = i + 1: Loop\nResponse.Write i\n"
                "Do: i = i + 1: Loop While i < 3\nResponse.Write i\n"
                "Do While False: Response.Write \"never\": Loop\n"
                "Do: Response.Write \"once\": Loop Until True"),
            "34once");
  EXPECT_EQ(run("i = 0\nDo\n i = i + 1\n For j = 1 To 5\n  If j = 2 Then Exit For\n Next\n If i = "
                "4 Then Exit Do\nLoop\n"
                "Response.Write i & j"),
            "42");
  EXPECT_EQ(run("i = 0\nWhile i < 5\n i = i + 2\nWend\nResponse.Write i"), "6");
  EXPECT_EQ(run("Do While Null: Response.Write \"x\": Loop: Response.Write \"ok\""), "ok");
}

TEST(Exits, LeaveProceduresFromInsideLoops) {
  EXPECT_EQ(run("Function Find(a, v)\n Find = -1\n For i = 0 To UBound(a)\n  Do\n   If a(i) = v "
                "Then Find = i: Exit Function\n"
                "   Exit Do\n  Loop\n Next\nEnd Function\nResponse.Write Find(Array(4, 5, 6), 5) & "
                "Find(Array(4), 9)"),
            "1-1");
  EXPECT_EQ(run("Sub S(n)\n If n > 0 Then Exit Sub\n Response.Write \"zero\"\nEnd Sub\nS 1: S 0"),
            "zero");
  EXPECT_NE(run("Sub S()\nExit Function\nEnd Sub").find("compile 1039"), std::string::npos);
  EXPECT_NE(run("Exit For").find("compile 1039"), std::string::npos);
}

TEST(With, WorksOnOneObjectWorkedOutOnce) {
  const char* code =
      "Class Counter\n Public Count\n Public Sub Add(n): Count = Count + n: End Sub\nEnd Class\n"
      "Dim made\nFunction Make(): made = made + 1: Set Make = New Counter: End Function\n"
      "With Make()\n .Count = 1\n .Add 2\n .Add .Count * 10\n Response.Write .Count\nEnd With\n"
      "Set c = New Counter\nWith c\n .Count = 5\n With New Counter\n  .Count = 7\n End With\n "
      "Response.Write \" \" & .Count\nEnd With\n"
      "Response.Write \" \" & made";
  EXPECT_EQ(run(code), "33 5 1");
  EXPECT_NE(run("x = .Count").find("compile 505"), std::string::npos);
}

TEST(Calls, ArgumentsPassByReferenceUnlessByValOrParenthesised) {
  const char* code =
      "Sub Bump(a, ByVal b)\n a = a + 1: b = b + 1\nEnd Sub\n"
      "x = 1: y = 1\nBump x, y: Response.Write x & y\n"
      "Bump (x), y: Response.Write x\n"
      "Call Bump(x, y): Response.Write x\n"
      "Bump x + 0, y: Response.Write x\n";
  EXPECT_EQ(run(code), "21233");
  // A function called as a statement, and without parentheses as a value.
  EXPECT_EQ(run("Function F(): F = 7: Response.Write \"f\": End Function\nF\nx = F: Response.Write "
                "x\nCall F()"),
            "ff7f");
  EXPECT_EQ(run("Function Pair(): Pair = Array(1, 2): End Function\nResponse.Write Pair()(1) & "
                "UBound(Pair())"),
            "21");
}

TEST(Calls, OrderOfWork) {
  // The result of x = F(x) is what F returned, not what it left in its ByRef parameter.
  EXPECT_EQ(run("Function F(n): n = 100: F = 5: End Function\nx = 1: x = F(x): Response.Write x"),
            "5");
  // Left to right: a variable on the left is read before a call on the right changes it.
  EXPECT_EQ(run("Function Inc(n): n = n + 1: Inc = 0: End Function\ni = 1: x = i + Inc(i): "
                "Response.Write x & i"),
            "12");
  EXPECT_EQ(
      run("Function Inc(n): n = n + 1: Inc = n: End Function\ni = 1: Dim a(3): a(i) = Inc(i): "
          "Response.Write a(1) & a(2) & i"),
      "22");
}

TEST(Names, LocalsGlobalsAndConstants) {
  EXPECT_EQ(run("x = \"global\"\nSub S()\n Dim x: x = \"local\"\n Response.Write x\nEnd "
                "Sub\nS\nResponse.Write \" \" & x"),
            "local global");
  EXPECT_EQ(run("Sub S(): y = 5: End Sub\nS\nResponse.Write IsEmpty(y)"), "True");
  EXPECT_EQ(run("Dim g\nSub S(): g = 5: End Sub\nS\nResponse.Write g"), "5");
  EXPECT_EQ(
      run("Const A = -5, B = \"t\", C = #2024-01-02#, D = True\nResponse.Write A & B & C & D"),
      "-5t2024-01-02True");
  EXPECT_EQ(run("Sub S()\n Const Local = 3\n Response.Write Local\nEnd Sub\nS"), "3");
  EXPECT_NE(run("Const A = 1\nSub S(): A = 2: End Sub").find("compile"), std::string::npos);
  EXPECT_NE(run("Dim a\nDim a").find("compile 1041"), std::string::npos);
  EXPECT_NE(run("Sub S(a)\nDim a\nEnd Sub").find("compile 1041"), std::string::npos);
  EXPECT_EQ(
      run("Option Explicit\nDim a\nSub S()\n Dim b: b = 1: a = b\nEnd Sub\nS\nResponse.Write a"),
      "1");
  EXPECT_EQ(errorOf("Option Explicit\nSub S(): undeclared = 1: End Sub\nS"), "500");
  // A procedure may be called before it is declared; its ByRef parameters are known.
  EXPECT_EQ(run("x = 1\nLater x\nResponse.Write x\nSub Later(n): n = n * 7: End Sub"), "7");
}

TEST(Lines, ContinuationsSeparatorsAndComments) {
  EXPECT_EQ(
      run("x = 1 + _\n    2 ' three\nResponse.Write x: Rem a remark\n"
          "If x = 3 Then Response.Write \"a\": Response.Write \"b\" Else Response.Write \"c\"\n"
          "If x = 4 Then Response.Write \"d\" Else Response.Write \"e\": Response.Write \"f\""),
      "3abef");
  EXPECT_EQ(run("Response.Write \"It\"\"s\" & \"'\" ' a quote inside a text is no comment"),
            "It\"s'");
  EXPECT_EQ(run("x = &HFF + &O10 + &hff&\nResponse.Write x"), "518");
}

}  // namespace
}  // namespace vbscript
