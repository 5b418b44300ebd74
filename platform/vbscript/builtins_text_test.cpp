// Text functions at the edges: positions past the ends, empty and Null arguments, text
// compare, the counts and starts of Replace and Split, and the byte forms.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::typed;
using test::written;

TEST(Search, InStrAndInStrRevAtTheEdges) {
  EXPECT_EQ(written("InStr(1, \"aBc\", \"b\", vbTextCompare) & InStr(\"aBc\", \"b\") & InStr(3, "
                    "\"abc\", \"\") & InStr(4, \"abc\", \"\") & "
                    "InStr(5, \"abc\", \"\") & InStr(\"\", \"a\") & InStr(\"\", \"\")"),
            "2034000");
  EXPECT_EQ(written("InStrRev(\"a,b,c\", \",\") & InStrRev(\"a,b,c\", \",\", 3) & "
                    "InStrRev(\"abc\", \"c\", 2) & "
                    "InStrRev(\"abc\", \"B\", -1, vbTextCompare) & InStrRev(\"abc\", \"\", 2)"),
            "42022");
  EXPECT_EQ(written("IsNull(InStr(\"abc\", Null)) & IsNull(InStrRev(Null, \"a\")) & "
                    "TypeName(InStr(\"a\", \"a\"))"),
            "TrueTrueLong");
  EXPECT_EQ(errorOf("x = InStr(0, \"a\", \"a\")"), "5");
  EXPECT_EQ(errorOf("x = InStrRev(\"a\", \"a\", 0)"), "5");
}

TEST(Pieces, MidLeftRightPastTheEnds) {
  EXPECT_EQ(
      written("\"[\" & Mid(\"abc\", 5) & \"][\" & Mid(\"abc\", 2, 100) & \"][\" & Mid(\"abc\", 1, "
              "0) & \"][\" & Left(\"abc\", 10) & \"][\" & "
              "Right(\"abc\", 10) & \"][\" & Right(\"abc\", 0) & \"][\" & Left(123, 2) & \"]\""),
      "[][bc][][abc][abc][][12]");
  EXPECT_EQ(written("IsNull(Mid(Null, 1)) & IsNull(Left(Null, 1)) & Len(Empty) & Len(12.5) & "
                    "Len(#2024-01-02#)"),
            "TrueTrue0410");
  EXPECT_EQ(errorOf("x = Left(\"abc\", -1)"), "5");
  EXPECT_EQ(errorOf("x = Mid(\"abc\", 1, -1)"), "5");
}

TEST(Replace, StartCountAndCompare) {
  EXPECT_EQ(written("Replace(\"abcabc\", \"b\", \"X\", 3) & \" \" & Replace(\"abcabc\", \"b\", "
                    "\"X\", 1, 1) & \" \" & "
                    "Replace(\"aBcAbC\", \"b\", \"-\", 1, -1, vbTextCompare) & \" \" & "
                    "Replace(\"aaa\", \"aa\", \"b\") & \" \" & "
                    "Replace(\"abc\", \"\", \"x\") & \"|\" & Replace(\"abc\", \"abc\", \"\") & "
                    "\"|\" & Replace(\"abc\", \"b\", \"X\", 4)"),
            "caXc aXcabc a-cA-C ba abc||");
  EXPECT_EQ(written("IsNull(Replace(Null, \"a\", \"b\"))"), "True");
  EXPECT_EQ(errorOf("x = Replace(\"abc\", \"a\", \"b\", 0)"), "5");
}

TEST(SplitAndJoin, EmptyPiecesLimitsAndCompare) {
  EXPECT_EQ(written("UBound(Split(\"\")) & UBound(Split(\"abc\", \"\")) & Split(\"abc\", \"\")(0) "
                    "& UBound(Split(\"a,b,c\", \",\", 1)) & "
                    "Split(\"a,b,c\", \",\", 2)(1) & UBound(Split(\",,\", \",\")) & "
                    "Join(Split(\"aXbxc\", \"x\", -1, vbTextCompare), \"+\")"),
            "-10abc0b,c2a+b+c");
  EXPECT_EQ(written("Join(Array(1, \"b\", Empty, 2.5), \"-\") & \"|\" & Join(Array()) & \"|\" & "
                    "Join(Array(\"a\", \"b\"))"),
            "1-b--2.5||a b");
  EXPECT_EQ(errorOf("x = Join(\"abc\")"), "13");
}

TEST(Characters, CodesCasesAndRepeats) {
  EXPECT_EQ(written("Asc(\"abc\") & \" \" & AscW(\"€\") & \" \" & ChrW(8364) & Chr(65)"),
            "97 8364 €A");
  EXPECT_EQ(
      written("(ChrW(-1) = ChrW(65535)) & \" \" & UCase(\"àbc\") & LCase(\"ÀBC\") & \" \" & "
              "String(3, 97) & String(2, \"xyz\") & "
              "String(2, 321) & \"[\" & Space(3) & \"]\" & StrReverse(\"\") & StrReverse(\"ab\")"),
      "True ÀBCàbc aaaxxAA[   ]ba");
  EXPECT_EQ(errorOf("x = Asc(\"\")"), "5");
  EXPECT_EQ(errorOf("x = String(2, \"\")"), "5");
  EXPECT_EQ(errorOf("x = Space(-1)"), "5");
  EXPECT_EQ(errorOf("x = ChrW(65536)"), "5");
}

TEST(Compare, StrCompAndFilter) {
  EXPECT_EQ(written("StrComp(\"a\", \"a\") & StrComp(\"a\", \"b\") & StrComp(\"b\", \"a\") & "
                    "StrComp(\"A\", \"a\") & "
                    "StrComp(\"A\", \"a\", vbTextCompare) & IsNull(StrComp(\"a\", Null))"),
            "0-11-10True");
  EXPECT_EQ(written("Join(Filter(Array(\"Apple\", \"pear\", \"Plum\"), \"p\", True, "
                    "vbTextCompare), \",\") & \"|\" & "
                    "Join(Filter(Array(\"Apple\", \"pear\", \"Plum\"), \"p\"), \",\") & \"|\" & "
                    "UBound(Filter(Array(\"a\"), \"z\"))"),
            "Apple,pear,Plum|Apple,pear|-1");
  EXPECT_EQ(errorOf("x = Filter(\"abc\", \"a\")"), "13");
}

TEST(Trimming, OnlySpacesGo) {
  EXPECT_EQ(written("\"[\" & Trim(vbTab & \" a \" & vbCrLf) & \"][\" & LTrim(\"  a  \") & \"][\" & "
                    "RTrim(\"  a  \") & \"][\" & Trim(\"\") & \"]\""),
            "[\t a \r\n][a  ][  a][]");
  EXPECT_EQ(typed("Trim(12)"), "String:12");
}

TEST(Escaping, EscapeAndUnescape) {
  EXPECT_EQ(written("Escape(\"a b+c/d@e*f_g-h.i\") & \" \" & Escape(\"中\") & \" \" & "
                    "Escape(\"é\") & \" \" & Unescape(\"%u4E2D%20%zz%4\")"),
            "a%20b+c/d@e*f_g-h.i %u4E2D %E9 中 %zz%4");
}

TEST(Bytes, TheBFormsCountBytes) {
  EXPECT_EQ(written("LenB(\"abc\") & \" \" & LenB(ChrB(1) & ChrB(2)) & \" \" & AscB(\"A\") & \" \" "
                    "& AscB(MidB(\"AB\", 3, 1)) & \" \" & "
                    "InStrB(\"AB\", \"B\") & \" \" & LenB(LeftB(\"abc\", 2)) & \" \" & "
                    "LenB(RightB(ChrB(1) & ChrB(2) & ChrB(3), 2)) & \" \" & "
                    "TypeName(ChrB(65) & ChrB(66))"),
            "6 2 65 66 3 2 2 Byte()");
}

}  // namespace
}  // namespace vbscript
