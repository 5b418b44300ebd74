// Classes of the script: default members, Property Get/Let/Set, what is public, fields, and
// when Class_Initialize and Class_Terminate run.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::run;

// A grid with an indexed default property, a Set property and a read-only count.
const char* kGrid =
    "Class Grid\n"
    " Private cells(2, 2)\n"
    " Private mOwner\n"
    " Public Default Property Get Cell(r, c): Cell = cells(r, c): End Property\n"
    " Public Property Let Cell(r, c, v): cells(r, c) = v: End Property\n"
    " Public Property Get Owner(): Set Owner = mOwner: End Property\n"
    " Public Property Set Owner(o): Set mOwner = o: End Property\n"
    " Public Property Get Filled()\n"
    "  Filled = 0\n"
    "  For Each x In cells\n   If Not IsEmpty(x) Then Filled = Filled + 1\n  Next\n"
    " End Property\n"
    " Private Function Secret(): Secret = 42: End Function\n"
    " Public Function Reveal(): Reveal = Secret() + Me.Filled: End Function\n"
    "End Class\n";

TEST(Classes, IndexedDefaultPropertyAndPropertyKinds) {
  EXPECT_EQ(run(std::string(kGrid) + "Set g = New Grid\ng(0, 1) = \"a\"\ng.Cell(2, 2) = \"b\"\n"
                                     "Response.Write g(0, 1) & g.Cell(2, 2) & g.Filled & \" \"\n"
                                     "Set g.Owner = New Grid\ng.Owner(1, 1) = \"z\"\n"
                                     "Response.Write TypeName(g.Owner) & g.Owner.Cell(1, 1) & "
                                     "g.Owner.Filled & \" \" & g.Reveal()"),
            "ab2 Gridz1 44");
}

TEST(Classes, WhatTheOutsideMayNotDo) {
  std::string g = std::string(kGrid) + "Set g = New Grid\n";
  EXPECT_EQ(errorOf(g + "x = g.Secret()"), "438");
  EXPECT_EQ(errorOf(g + "x = g.cells(0, 0)"), "438");
  EXPECT_EQ(errorOf(g + "g.Filled = 3"), "438");
  EXPECT_EQ(errorOf(g + "Set g.Owner = 3"), "424");  // Set needs an object
  EXPECT_EQ(errorOf(g + "x = g(0)"), "450");         // the default member takes two
  EXPECT_EQ(errorOf(g + "x = g(5, 0)"), "9");
  EXPECT_EQ(errorOf(g + "x = g & \"\""), "450");
  EXPECT_EQ(errorOf("Class Plain: End Class\nSet p = New Plain\nx = p & \"\""), "438");
  EXPECT_EQ(errorOf("Class Plain: End Class\nSet p = New Plain\nFor Each v In p: Next"), "451");
}

TEST(Classes, DefaultValueStandsInForTheObject) {
  const char* money =
      "Class Money\n Public Amount\n Public Default Function Value(): Value = Amount: End "
      "Function\nEnd Class\n"
      "Set m = New Money: m.Amount = 5\n";
  EXPECT_EQ(
      run(std::string(money) +
          "Response.Write (m + 1) & \" \" & (m = 5) & \" \" & m & \" \" & TypeName(m) & \" \" & "
          "VarType(m) & \" \" & IsObject(m)\nx = m\nResponse.Write \" \" & TypeName(x)"),
      "6 True 5 Money 2 True Integer");
  EXPECT_EQ(run(std::string(money) +
                "Dim a(1)\na(0) = m\nSet a(1) = m\nResponse.Write TypeName(a(0)) & TypeName(a(1))"),
            "IntegerMoney");
}

TEST(Classes, FieldsArraysAndMe) {
  EXPECT_EQ(run("Class Stack\n Private items()\n Private n\n"
                " Private Sub Class_Initialize(): n = 0: ReDim items(1): End Sub\n"
                " Public Sub Push(v)\n  If n > UBound(items) Then ReDim Preserve items(n * 2)\n  "
                "items(n) = v: n = n + 1\n End Sub\n"
                " Public Function Pop(): n = n - 1: Pop = items(n): End Function\n"
                " Public Function Self(): Set Self = Me: End Function\n"
                " Public Property Get Size(): Size = n: End Property\n"
                "End Class\n"
                "Set s = New Stack\nFor i = 1 To 5: s.Push i * i: Next\n"
                "Response.Write s.Pop() & s.Pop() & s.Size & (s.Self() Is s)"),
            "25163True");
}

TEST(Lifetime, InitializeAndTerminateRunWhenTheLastReferenceGoes) {
  const char* tracer =
      "Class T\n Public Name\n"
      " Private Sub Class_Initialize(): Response.Write \"+\": End Sub\n"
      " Private Sub Class_Terminate(): Response.Write \"-\" & Name: End Sub\n"
      "End Class\n"
      "Function Make(n): Set Make = New T: Make.Name = n: End Function\n";
  auto traced = [&](const std::string& code) { return run(tracer + code); };
  EXPECT_EQ(traced("Set a = Make(\"a\"): Set b = a\nSet a = Nothing: Response.Write \"|\"\nSet b = "
                   "Nothing: Response.Write \"|\""),
            "+|-a|");
  EXPECT_EQ(traced("Set a = Make(\"1\")\nSet a = Make(\"2\")\nResponse.Write \"|\""), "++-1|-2");
  EXPECT_EQ(traced("Sub S(): Dim o: Set o = Make(\"local\"): Response.Write \"in\": End Sub\nS: "
                   "Response.Write \"|\""),
            "+in-local|");
  // Results nobody keeps end with their statement.
  EXPECT_EQ(traced("Response.Write Make(\"t\").Name: Response.Write \"|\""), "+-tt|");
  EXPECT_EQ(traced("Call Make(\"c\"): Response.Write \"|\""), "+-c|");
  EXPECT_EQ(traced("If Make(\"i\") Is Nothing Then Response.Write \"?\"\nResponse.Write \"|\""),
            "+-i|");
  // Held by an array: Erase or a new element lets go.
  EXPECT_EQ(traced("Dim a(1)\nSet a(0) = Make(\"e0\"): Set a(1) = Make(\"e1\")\nSet a(0) = "
                   "Nothing: Response.Write \"|\"\n"
                   "Erase a: Response.Write \"|\""),
            "++-e0|-e1|");
  EXPECT_EQ(traced("x = Array(Make(\"arr\"))\nx = Empty: Response.Write \"|\""), "+-arr|");
  // What the page still holds ends with the run.
  EXPECT_EQ(traced("Set keep = Make(\"end\"): Response.Write \"|\""), "+|-end");
}

TEST(Lifetime, TerminateSeesTheObjectWholeAndItsErrorsGoNowhere) {
  EXPECT_EQ(run("Class T\n Public V\n Private Sub Class_Terminate()\n  Response.Write \"[\" & V & "
                "\"]\"\n  x = 1 / 0\n"
                "  Response.Write \"not here\"\n End Sub\nEnd Class\n"
                "Set o = New T: o.V = 9\nSet o = Nothing\nResponse.Write \"after \" & Err.Number"),
            "[9]after 0");
  EXPECT_EQ(errorOf("Class T\n Private Sub Class_Initialize(): Err.Raise 5: End Sub\nEnd "
                    "Class\nSet o = New T\n"
                    "Response.Write TypeName(o) & \" \""),
            "Empty 5");
  EXPECT_NE(run("Class T\n Sub Class_Initialize(x): End Sub\nEnd Class").find("compile"),
            std::string::npos);
}

}  // namespace
}  // namespace vbscript
