// Scripts that nest or recurse without end: each must end in "out of stack space" (28), which
// On Error Resume Next can catch, or simply work; none may overrun the thread's stack.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::run;

TEST(Recursion, EveryWayOfCallingEndsInOutOfStackSpace) {
  EXPECT_EQ(errorOf("Function R(n): R = R(n + 1): End Function\nx = R(1)"), "28");
  EXPECT_EQ(errorOf("Sub S(n): S n + 1: End Sub\nS 1"), "28");
  EXPECT_EQ(errorOf("Class C\n Public Default Property Get V(): V = Me.V: End Property\nEnd Class\n"
                    "Set o = New C\nx = o"),
            "28");
  EXPECT_EQ(errorOf("Class C\n Public Property Let P(v): Me.P = v: End Property\nEnd Class\n"
                    "Set o = New C\no.P = 1"),
            "28");
  EXPECT_EQ(errorOf("Function G(n): G = Eval(\"G(n + 1)\"): End Function\nx = G(1)"), "28");
  EXPECT_EQ(errorOf("Sub H(n): Execute \"H n + 1\": End Sub\nH 1"), "28");
  EXPECT_EQ(errorOf("Function K(n): Set f = GetRef(\"K\"): K = f(n + 1): End Function\nx = K(1)"),
            "28");
}

TEST(Recursion, TheRunGoesOnAfterTheErrorWasCaught) {
  EXPECT_EQ(run("Function R(n): R = R(n + 1): End Function\n"
                "On Error Resume Next\nx = R(1)\nOn Error GoTo 0\n"
                "Function F(n): If n = 0 Then F = 0 Else F = 1 + F(n - 1)\nEnd Function\n"
                "Response.Write F(500)"),
            "500");
}

TEST(Nesting, DeepSourceIsACompilationErrorNotACrash) {
  // Parentheses, Not, block statements and operator chains, each far too deep.
  EXPECT_EQ(errorOf("x = Eval(String(100000, \"(\") & \"1\" & String(100000, \")\"))"), "28");
  EXPECT_EQ(errorOf("s = \"x = \"\nFor i = 1 To 100000: s = s & \"Not \": Next\nExecute s & \"1\""),
            "28");
  EXPECT_EQ(errorOf("s = \"\"\nFor i = 1 To 50000: s = s & \"If True Then\" & vbLf: Next\n"
                    "For i = 1 To 50000: s = s & \"End If\" & vbLf: Next\nExecute s"),
            "28");
  EXPECT_EQ(errorOf("s = \"1\"\nFor i = 1 To 200000: s = s & \"+1\": Next\nx = Eval(s)"), "28");
  // Ordinary depths compile and run.
  EXPECT_EQ(run("s = \"1\"\nFor i = 1 To 300: s = s & \"+(1\": Next\ns = s & String(300, \")\")\n"
                "Response.Write Eval(s)"),
            "301");
}

TEST(Release, LongChainsOfObjectsAreReleasedInTurn) {
  // Each node's Class_Terminate runs, head first, and releasing a million of them does not
  // recurse a million times.
  EXPECT_EQ(run("Dim count\nClass Node\n Public nxt, id\n"
                " Private Sub Class_Terminate(): count = count + 1\n"
                "  If count <= 3 Then Response.Write id & \" \"\n End Sub\nEnd Class\n"
                "Set head = Nothing\nFor i = 1 To 1000000: Set n = New Node: n.id = i: Set n.nxt = "
                "head: Set head = n: Next\n"
                "Set n = Nothing\nSet head = Nothing\nResponse.Write count"),
            "1000000 999999 999998 1000000");
  EXPECT_EQ(
      run("a = Empty\nFor i = 1 To 1000000: a = Array(a): Next\na = Empty\nResponse.Write \"ok\""),
      "ok");
}

}  // namespace
}  // namespace vbscript
