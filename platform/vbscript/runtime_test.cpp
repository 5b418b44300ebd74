// The run: errors and On Error Resume Next across calls, the Err object, VBScript's error
// numbers, Execute/ExecuteGlobal/Eval/GetRef and their scopes, and components (ByRef
// write-back, collections, their errors).
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::run;
using test::runWithComponent;

TEST(ResumeNext, EachProcedureHasItsOwnMode) {
  // The callee's On Error Resume Next ends with it: the caller's errors still stop the run.
  EXPECT_EQ(
      run("Sub Quiet()\n On Error Resume Next\n x = 1 / 0\n Response.Write \"quiet \"\nEnd Sub\n"
          "Quiet\ny = 1 / 0\nResponse.Write \"never\""),
      "quiet |error 11 Division by zero line 7");
  // A callee without a handler gives up at its error; the caller goes on after the call.
  EXPECT_EQ(
      run("Function Inner(): Inner = 1: x = 1 / 0: Inner = 2: End Function\n"
          "Function Outer(): Outer = \"o\" & Inner(): Response.Write \"outer goes on \": End "
          "Function\n"
          "On Error Resume Next\nr = Outer()\nResponse.Write \"[\" & r & \"] \" & Err.Number"),
      "[] 11");
  EXPECT_EQ(run("On Error Resume Next\nFor i = 1 To 3\n x = 1 / (i - 2)\n Response.Write i & \":\" "
                "& Err.Number & \" \"\n"
                " Err.Clear\nNext"),
            "1:0 2:11 3:0 ");
}

TEST(ResumeNext, GoesOnAfterTheStatementThatFailed) {
  EXPECT_EQ(run("On Error Resume Next\nx = 1: x = 1 / 0: x = 3\nResponse.Write x & \" \"\n"
                "If 1 / 0 > 0 Then\n Response.Write \"in-if \"\nElse\n Response.Write \"in-else "
                "\"\nEnd If\n"
                "Select Case 1 / 0\n Case 1: Response.Write \"one\"\nEnd Select\nResponse.Write "
                "\"after\""),
            "3 in-if after");
  EXPECT_EQ(run("On Error Resume Next\nDo While 1 / 0\n Response.Write \"loop \"\n Exit "
                "Do\nLoop\nResponse.Write \"done\""),
            "loop done");
}

TEST(ErrObject, RaiseClearAndItsProperties) {
  EXPECT_EQ(run("On Error Resume Next\nErr.Raise 6\nResponse.Write Err.Number & \"|\" & "
                "Err.Description & \"|\" & Err.Source\n"
                "Err.Clear\nResponse.Write \"|\" & Err.Number & \"[\" & Err.Description & \"]\""),
            "6|Overflow|Microsoft VBScript runtime error|0[]");
  EXPECT_EQ(run("On Error Resume Next\nErr.Raise vbObjectError + 1, \"MyApp\"\n"
                "Response.Write (Err.Number - vbObjectError) & \"|\" & Err.Source & \"|\" & "
                "Err.Description"),
            "1|MyApp|Unknown runtime error");
  EXPECT_EQ(run("On Error Resume Next\nErr.Number = 42: Err.Description = \"set by "
                "hand\"\nResponse.Write Err & Err.Description\n"
                "On Error GoTo 0\nResponse.Write \"|\" & Err.Number"),
            "42set by hand|0");
  EXPECT_EQ(errorOf("Err.Raise 0"), "5");
  EXPECT_EQ(run("Err.Raise 513, \"src\", \"mine\""), "|error 513 mine line 1");
}

TEST(ErrorNumbers, TheRuntimeErrorsPagesSee) {
  EXPECT_EQ(errorOf("x = Mid(\"a\", 0)"), "5");
  EXPECT_EQ(errorOf("x = CInt(\"40000\")"), "6");
  EXPECT_EQ(errorOf("Dim a(2): x = a(3)"), "9");
  EXPECT_EQ(errorOf("x = Array(1, 2)(-1)"), "9");
  EXPECT_EQ(errorOf("Dim a(2): ReDim a(3)"), "10");
  EXPECT_EQ(errorOf("x = 1 \\ 0"), "11");
  EXPECT_EQ(errorOf("x = CLng(\"1x\")"), "13");
  EXPECT_EQ(errorOf("Dim o: Set o = Nothing: o.Go"), "91");
  EXPECT_EQ(errorOf("x = Left(\"a\", Null)"), "94");
  EXPECT_EQ(errorOf("x = 5: x.Go"), "424");
  EXPECT_EQ(errorOf("Set x = 5"), "424");
  EXPECT_EQ(errorOf("Set x = CreateObject(\"Nobody.Here\")"), "429");
  EXPECT_EQ(errorOf("Sub S(a): End Sub\nS"), "450");
  EXPECT_EQ(errorOf("x = Len(\"a\", \"b\")"), "450");
  EXPECT_EQ(errorOf("For Each v In 42: Next"), "451");
  EXPECT_EQ(errorOf("Option Explicit\nDim a\nb = a"), "500");
  EXPECT_EQ(errorOf("Set x = New Nowhere"), "506");
  EXPECT_EQ(errorOf("Execute \"x = (1\""), "1006");
  EXPECT_EQ(errorOf("Execute \"If x Then\""), "1014");
  EXPECT_EQ(run("x = Len(\"a\", \"b\")"),
            "|error 450 Wrong number of arguments or invalid property assignment: 'Len' line 1");
  EXPECT_EQ(run("Option Explicit\nDim a\na = b"), "|error 500 Variable is undefined: 'b' line 3");
}

TEST(Dynamic, ExecuteSeesTheProcedureExecuteGlobalTheScript) {
  EXPECT_EQ(run("x = \"g\"\nSub S()\n Dim x: x = \"l\"\n Execute \"x = x & 1\"\n ExecuteGlobal \"x "
                "= x & 2\"\n"
                " Response.Write x & \" \"\nEnd Sub\nS\nResponse.Write x"),
            "l1 g2");
  EXPECT_EQ(run("ExecuteGlobal \"Class Dyn: Public V: End Class\"\nSet d = New Dyn: d.V = 3: "
                "Response.Write d.V\n"
                "ExecuteGlobal \"Function Twice(n): Twice = 2 * n: End Function\"\nResponse.Write "
                "Twice(4)"),
            "38");
  EXPECT_EQ(run("Execute \"a = 1 : b = 2\" & vbCrLf & \"c = a + b\"\nResponse.Write c"), "3");
  // Many chunks run one after another without piling up.
  EXPECT_EQ(run("For i = 1 To 2000: Execute \"n = \" & i: Next\nResponse.Write n"), "2000");
}

TEST(Dynamic, EvalIsAnExpressionInTheCurrentScope) {
  EXPECT_EQ(run("Function F(k)\n Dim local: local = 10\n F = Eval(\"local * k + 1\")\nEnd "
                "Function\nResponse.Write F(3)"),
            "31");
  EXPECT_EQ(run("x = 5\nResponse.Write Eval(\"x = 5\") & Eval(\"x\") & TypeName(Eval(\"Empty\")) & "
                "IsEmpty(Eval(\"nothingHere\"))"),
            "True5EmptyTrue");
  EXPECT_EQ(run("Class C\n Private p\n Sub Class_Initialize(): p = 7: End Sub\n Function Get2(): "
                "Get2 = Eval(\"p * 2\"): End Function\n"
                "End Class\nSet o = New C: Response.Write o.Get2()"),
            "14");
  EXPECT_EQ(run("For i = 1 To 3000: t = t + Eval(\"1\"): Next\nResponse.Write t"), "3000");
  EXPECT_EQ(errorOf("x = Eval(\"1 +\")"), "1023");
}

TEST(Dynamic, GetRefCallsProceduresAsObjects) {
  EXPECT_EQ(run("Function Add(a, b): Add = a + b: End Function\nSub Hello(n): Response.Write \"hi "
                "\" & n & \" \": End Sub\n"
                "Set f = GetRef(\"Add\"): Set h = GetRef(\"hello\")\n"
                "Response.Write f(2, 3) & \" \"\nh \"you\"\nCall h(\"again\")\nResponse.Write "
                "IsObject(f)"),
            "5 hi you hi again True");
  EXPECT_EQ(run("Sub Bump(n): n = n + 1: End Sub\nSet b = GetRef(\"Bump\")\nx = 1: b x: "
                "Response.Write x"),
            "2");
  EXPECT_EQ(errorOf("Set f = GetRef(\"NoSuchProc\")"), "5");
  EXPECT_EQ(errorOf("Function One(a): One = a: End Function\nSet f = GetRef(\"One\")\nx = f(1, 2)"),
            "450");
}

TEST(Components, ByRefWriteBackInEveryScope) {
  const char* code =
      "Set c = CreateObject(\"Test.Component\")\n"
      "Sub InProc()\n Dim local: local = \"  p  \"\n c.Trim local, \"\"\n Response.Write \"[\" & "
      "local & \"]\"\nEnd Sub\n"
      "Class Holder\n Public Field\n Sub Go(c): Field = \" f \": c.Trim Field, \"\": End Sub\nEnd "
      "Class\n"
      "InProc\nSet h = New Holder: h.Go c\nResponse.Write \"[\" & h.Field & \"]\"\n"
      "Dim a(0): a(0) = \" e \": c.Trim a(0), \"\"\nResponse.Write \"[\" & a(0) & \"]\"\n"
      "x = \" v \": Call c.Trim(x, \"\"): Response.Write \"[\" & x & \"]\"";
  EXPECT_EQ(runWithComponent(code), "[p][f][ e ][v]");
}

TEST(Components, CollectionsPropertiesAndErrors) {
  EXPECT_EQ(
      runWithComponent("Set c = CreateObject(\"Test.Component\")\n"
                       "For Each x In c\n If x = \"b\" Then Exit For\n Response.Write x\nNext\n"
                       "c.Inner(\"k\") = \"v\"\nResponse.Write \"|\" & c.Inner(\"z\") & \"|\" & "
                       "c.Inner.Item(\"q\")"),
      "a|kvz|kvq");
  EXPECT_EQ(runWithComponent(
                "Set c = CreateObject(\"Test.Component\")\nOn Error Resume Next\nc.Fail\n"
                "Response.Write Hex(Err.Number) & \"|\" & Err.Source & \"|\" & Err.Description"),
            "80040201|Test.Component|it failed");
  EXPECT_EQ(runWithComponent("Set c = CreateObject(\"Test.Component\")\nc.Fail"),
            "|error -2147220991 it failed line 2");
  EXPECT_EQ(
      runWithComponent(
          "Set c = CreateObject(\"Test.Component\")\nOn Error Resume Next\nx = c.Trim()\n"
          "Response.Write Err.Number\nErr.Clear\nc.Missing = 1\nResponse.Write \" \" & Err.Number"),
      "450 438");
}

}  // namespace
}  // namespace vbscript
