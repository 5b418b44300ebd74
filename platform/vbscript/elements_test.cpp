// Arrays: fixed, dynamic and multi-dimensional ones, their bounds, ReDim [Preserve], Erase,
// For Each over them, and their copies (an array assigned is an array copied).
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::run;

TEST(Arrays, BoundsOfEveryDimension) {
  EXPECT_EQ(run("Dim m(2, 3, 1)\nResponse.Write LBound(m) & UBound(m) & UBound(m, 2) & UBound(m, "
                "3) & LBound(m, 3)"),
            "02310");
  EXPECT_EQ(errorOf("Dim m(2, 3)\nx = UBound(m, 3)"), "9");
  EXPECT_EQ(errorOf("Dim m(2, 3)\nx = UBound(m, 0)"), "9");
  EXPECT_EQ(errorOf("Dim m(2, 3)\nx = m(1)"), "9");
  EXPECT_EQ(errorOf("Dim m(2, 3)\nx = m(1, 4)"), "9");
  // Indexes are rounded like any number: halves to even.
  EXPECT_EQ(run("a = Array(\"a\", \"b\", \"c\")\nResponse.Write a(0.5) & a(1.5) & a(\"1\") & "
                "a(CByte(2))"),
            "acbc");
}

TEST(Arrays, MultiDimensionalElementsAndForEachOrder) {
  EXPECT_EQ(run("Dim m(1, 2)\nFor i = 0 To 1: For j = 0 To 2: m(i, j) = i & j: Next: Next\n"
                "For Each v In m: Response.Write v & \" \": Next\nResponse.Write m(1, 2)"),
            "00 10 01 11 02 12 12");
  EXPECT_EQ(run("a = Array(1, 2, 3)\nFor Each v In a\n a(2) = 9\n Response.Write "
                "v\nNext\nResponse.Write a(2)"),
            "1239");
}

TEST(ReDim, PreserveKeepsElementsAndOnlyTheLastDimensionMayChange) {
  EXPECT_EQ(run("ReDim a(2)\na(0) = \"x\": a(2) = \"z\"\nReDim Preserve a(4)\nResponse.Write "
                "UBound(a) & a(0) & a(2) & IsEmpty(a(4))\n"
                "ReDim Preserve a(0)\nResponse.Write UBound(a) & a(0)\nReDim a(1)\nResponse.Write "
                "IsEmpty(a(0))"),
            "4xzTrue0xTrue");
  EXPECT_EQ(run("ReDim m(1, 1)\nm(1, 1) = \"k\"\nReDim Preserve m(1, 5)\nResponse.Write m(1, 1) & "
                "UBound(m, 2)"),
            "k5");
  EXPECT_EQ(errorOf("ReDim m(1, 1)\nReDim Preserve m(2, 1)"), "9");
  EXPECT_EQ(errorOf("ReDim m(1, 1)\nReDim Preserve m(3)"), "9");
  EXPECT_EQ(run("ReDim a(-1)\nResponse.Write UBound(a) & \" \"\nReDim x(1), y(2, "
                "2)\nResponse.Write UBound(x) & UBound(y, 2)"),
            "-1 12");
  EXPECT_EQ(errorOf("ReDim a(-2)"), "9");
  EXPECT_EQ(run("Dim s\nReDim Preserve s(1)\ns(1) = 1\nResponse.Write UBound(s) & s(1)"), "11");
}

TEST(Erase, EmptiesDynamicArraysAndResetsFixedOnes) {
  EXPECT_EQ(run("Dim f(2)\nf(1) = 5\nErase f\nResponse.Write UBound(f) & IsEmpty(f(1))"), "2True");
  EXPECT_EQ(run("ReDim d(2)\nd(1) = 5\nErase d\nResponse.Write UBound(d)"), "-1");
  EXPECT_EQ(errorOf("x = 5\nErase x"), "13");
}

TEST(Copies, AnArrayAssignedIsAnArrayCopied) {
  EXPECT_EQ(run("a = Array(1, 2)\nb = a\nb(0) = 9\nResponse.Write a(0) & b(0)"), "19");
  EXPECT_EQ(run("Sub Change(ByVal v): v(0) = \"by value\": End Sub\nSub Fill(r): r(0) = \"by "
                "reference\": End Sub\n"
                "a = Array(0)\nChange a\nResponse.Write a(0) & \" \"\nFill a\nResponse.Write a(0)"),
            "0 by reference");
  // An array stored into one of its own elements is a copy, not a loop.
  EXPECT_EQ(run("a = Array(1, 2)\na(1) = a\nResponse.Write a(0) & UBound(a(1)) & a(1)(0) & "
                "IsArray(a(1)(1))"),
            "111False");
  EXPECT_EQ(run("Function Squares(n)\n ReDim r(n - 1)\n For i = 0 To n - 1: r(i) = i * i: Next\n "
                "Squares = r\nEnd Function\n"
                "s = Squares(4)\nResponse.Write Join(s, \",\") & \" \" & Squares(3)(2)"),
            "0,1,4,9 4");
  EXPECT_EQ(errorOf("x = Array(1) & \"\""), "13");
}

}  // namespace
}  // namespace vbscript
