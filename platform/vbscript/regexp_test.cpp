// RegExp: its options, Replace with $-references or a function, and the Matches, Match and
// SubMatches objects.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::errorOf;
using test::run;

// Runs `code` after Set re = New RegExp.
std::string withRegExp(const std::string& code) { return run("Set re = New RegExp\n" + code); }

TEST(RegExpOptions, DefaultsGlobalIgnoreCaseMultiline) {
  EXPECT_EQ(withRegExp("Response.Write re.Global & re.IgnoreCase & re.Multiline & \"[\" & "
                       "re.Pattern & \"]\" & re.Test(\"x\")"),
            "FalseFalseFalse[]True");
  EXPECT_EQ(withRegExp("re.Pattern = \"o\"\nResponse.Write re.Replace(\"foo boo\", \"0\") & \" \"\n"
                       "re.Global = True\nResponse.Write re.Replace(\"foo boo\", \"0\")"),
            "f0o boo f00 b00");
  EXPECT_EQ(withRegExp("re.Pattern = \"ABC\"\nResponse.Write re.Test(\"xabc\")\nre.IgnoreCase = "
                       "True\nResponse.Write re.Test(\"xabc\")"),
            "FalseTrue");
  EXPECT_EQ(
      withRegExp(
          "re.Pattern = \"^b.*$\"\nre.Global = True\ns = \"a1\" & vbCrLf & \"b2\" & vbLf & \"b3\"\n"
          "Response.Write re.Execute(s).Count\nre.Multiline = True\nResponse.Write "
          "re.Execute(s).Count & re.Execute(s)(0).Value"),
      "02b2");
}

TEST(RegExpReplace, ReferencesToGroupsAndTheMatch) {
  EXPECT_EQ(
      withRegExp("re.Pattern = \"(\\d+)-(\\d+)\"\nre.Global = True\n"
                 "Response.Write re.Replace(\"10-20, 3-4\", \"$2-$1\") & \"|\" & "
                 "re.Replace(\"1-2\", \"[$&]\") & \"|\" & "
                 "re.Replace(\"a1-2b\", \"<$`|$'>\") & \"|\" & re.Replace(\"1-2\", \"$$1 $3 $\")"),
      "20-10, 4-3|[1-2]|a<a|b>b|$1 $3 $");
  EXPECT_EQ(
      withRegExp(
          "re.Pattern = \"(a)|b\"\nre.Global = True\nResponse.Write re.Replace(\"ab\", \"[$1]\")"),
      "[a][]");
  EXPECT_EQ(withRegExp(
                "re.Pattern = \"x*\"\nre.Global = True\nResponse.Write re.Replace(\"abc\", \"-\")"),
            "-a-b-c-");
}

TEST(RegExpReplace, AFunctionGivesEachReplacement) {
  EXPECT_EQ(withRegExp("Function Up(m, word, pos, src): Up = UCase(word) & pos: End Function\n"
                       "re.Pattern = \"(\\w+)\"\nre.Global = True\nResponse.Write re.Replace(\"ab "
                       "cd\", GetRef(\"Up\"))"),
            "AB0 CD3");
}

TEST(RegExpExecute, MatchesMatchAndSubMatches) {
  const char* code =
      "re.Pattern = \"(\\w+)@(\\w+)(\\.org)?\"\nre.Global = True\n"
      "Set ms = re.Execute(\"ann@x bob@y.org\")\n"
      "Response.Write ms.Count & \" \" & TypeName(ms(0)) & \" \" & ms(1) & \" \" & "
      "ms.Item(1).FirstIndex & \" \" & ms(1).Length & \" \"\n"
      "Set sm = ms(0).SubMatches\n"
      "Response.Write sm.Count & sm(0) & sm.Item(1) & IsEmpty(sm(2)) & ms(1).SubMatches(2) & \" "
      "\"\n"
      "For Each m In ms\n For Each s In m.SubMatches: Response.Write \"[\" & s & \"]\": Next\nNext";
  EXPECT_EQ(withRegExp(code), "2 IMatch2 bob@y.org 6 9 3annxTrue.org [ann][x][][bob][y][.org]");
  EXPECT_EQ(withRegExp("re.Pattern = \"z\"\nSet ms = re.Execute(\"abc\")\nResponse.Write "
                       "ms.Count\nFor Each m In ms: Response.Write \"?\": Next"),
            "0");
  EXPECT_EQ(errorOf("Set re = New RegExp\nre.Pattern = \"a\"\nx = re.Execute(\"a\")(1)"), "5");
}

TEST(RegExpPatterns, SyntaxUnicodeAndClasses) {
  EXPECT_EQ(withRegExp("re.Pattern = \"\\u4E2D\\s\\d\\b\"\nResponse.Write re.Test(\"中 7\") & "
                       "re.Test(\"中 77\")"),
            "TrueFalse");
  EXPECT_EQ(withRegExp("re.Pattern = \"^[^@\\s]+@[^@\\s]+\\.[a-z]{2,}$\"\nre.IgnoreCase = True\n"
                       "Response.Write re.Test(\"Ann@Example.COM\") & re.Test(\"a@b\")"),
            "TrueFalse");
  EXPECT_EQ(errorOf("Set re = New RegExp\nre.Pattern = \"(\"\nx = re.Test(\"a\")"), "5017");
  EXPECT_EQ(errorOf("Set re = New RegExp\nre.Pattern = \"[a\"\nx = re.Test(\"a\")"), "5017");
}

}  // namespace
}  // namespace vbscript
