// Mathematical functions: Round halving to even with the types it keeps, the domains of the
// functions, and Rnd's sequence with its seeds.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::run;
using test::typed;
using test::written;

TEST(Round, HalvesToEvenAndKeepsTheType) {
  EXPECT_EQ(
      written("Round(0.5) & Round(1.5) & Round(2.5) & Round(-0.5) & Round(-1.5) & Round(-2.5)"),
      "0220-2-2");
  EXPECT_EQ(written("Round(2.345, 2) & \" \" & Round(2.355, 2) & \" \" & Round(1.005, 2) & \" \" & "
                    "Round(0.125, 2) & \" \" & "
                    "Round(123.456, 0) & \" \" & Round(-1.2345, 3)"),
            "2.34 2.36 1 0.12 123 -1.234");
  EXPECT_EQ(typed("Round(2.5)"), "Double:2");
  EXPECT_EQ(typed("Round(\"2.5\")"), "Double:2");
  EXPECT_EQ(typed("Round(CSng(2.5))"), "Single:2");
  EXPECT_EQ(typed("Round(CCur(2.5))"), "Currency:2");
  EXPECT_EQ(typed("Round(CInt(7))"), "Integer:7");
  EXPECT_EQ(typed("Round(True)"), "Integer:-1");
  EXPECT_EQ(written("IsNull(Round(Null))"), "True");
  EXPECT_EQ(errorOf("x = Round(1.5, -1)"), "5");
}

TEST(Functions, ValuesAndDomains) {
  EXPECT_EQ(written("Sqr(2) & \" \" & Atn(1) * 4 & \" \" & Exp(1) & \" \" & Log(Exp(2)) & \" \" & "
                    "Cos(0) & \" \" & Tan(0) & \" \" & Sin(0)"),
            "1.4142135623731 3.14159265358979 2.71828182845905 2 1 0 0");
  EXPECT_EQ(written("Abs(-2.5) & \" \" & TypeName(Abs(CInt(-3))) & \" \" & TypeName(Abs(CLng(-3))) "
                    "& \" \" & Abs(Empty) & \" \" & "
                    "IsNull(Abs(Null)) & \" \" & Sgn(-0.1) & Sgn(\"5\") & Sgn(0) & \" \" & "
                    "TypeName(Sgn(2.5))"),
            "2.5 Integer Long 0 True -110 Integer");
  EXPECT_EQ(errorOf("x = Sqr(-1)"), "5");
  EXPECT_EQ(errorOf("x = Log(0)"), "5");
  EXPECT_EQ(errorOf("x = Exp(710)"), "6");
  EXPECT_EQ(errorOf("x = Sin(\"x\")"), "13");
}

TEST(Rnd, SeedsRepeatTheSequence) {
  // Rnd(-1) reseeds: the same negative argument gives the same sequence every time.
  EXPECT_EQ(written("Rnd(-1)"), "0.224007");
  EXPECT_EQ(
      run("a = Rnd(-5): b = Rnd: c = Rnd(0)\nd = Rnd(-5): e = Rnd\n"
          "Response.Write (a = d) & (b = e) & (c = b) & (b <> a) & (TypeName(b) = \"Single\")"),
      "TrueTrueTrueTrueTrue");
  EXPECT_EQ(run("Randomize 7: a = Rnd: Randomize 7: b = Rnd\nResponse.Write (a >= 0 And a < 1) & "
                "(a <> b)"),
            "TrueTrue");
  EXPECT_EQ(run("For i = 1 To 1000\n r = Rnd\n If r < 0 Or r >= 1 Then Response.Write "
                "\"out\"\nNext\nResponse.Write \"ok\""),
            "ok");
}

}  // namespace
}  // namespace vbscript
