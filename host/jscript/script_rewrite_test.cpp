#include "script_rewrite.h"

#include <gtest/gtest.h>

namespace host::jscript {
namespace {

TEST(ScriptRewrite, ItemAssignmentBecomesPut) {
  EXPECT_EQ(rewriteItemAssignments(u"Session(\"a\") = 1;"), u"Session.$$put(\"a\", 1);");
  EXPECT_EQ(rewriteItemAssignments(u"Application(\"k\")=x+f(2)\n"),
            u"Application.$$put(\"k\", x+f(2))\n");
  EXPECT_EQ(rewriteItemAssignments(u"Response.Cookies(\"c\") = v"),
            u"Response.Cookies.$$put(\"c\", v)");
  EXPECT_EQ(rewriteItemAssignments(u"Session(\"n\") += 2;"),
            u"Session.$$put(\"n\", Session(\"n\") + (2));");
}

TEST(ScriptRewrite, ValueEndsWhereTheExpressionEnds) {
  EXPECT_EQ(rewriteItemAssignments(u"Session(\"a\") = b ? 1 : 2; x = 3"),
            u"Session.$$put(\"a\", b ? 1 : 2); x = 3");
  EXPECT_EQ(rewriteItemAssignments(u"Session(\"a\") = 1, y = 2"),
            u"Session.$$put(\"a\", 1), y = 2");
  EXPECT_EQ(rewriteItemAssignments(u"if (c) { Session(\"a\") = 1 }"),
            u"if (c) { Session.$$put(\"a\", 1) }");
  // A line break ends the value only where the next line cannot continue it.
  EXPECT_EQ(rewriteItemAssignments(u"Session(\"a\") = 1\nSession(\"b\") = x\n  + 2\n"),
            u"Session.$$put(\"a\", 1)\nSession.$$put(\"b\", x\n  + 2)\n");
  EXPECT_EQ(rewriteItemAssignments(u"Session(\"f\") = function () {\n return 1;\n};"),
            u"Session.$$put(\"f\", function () {\n return 1;\n});");
}

TEST(ScriptRewrite, NestedAssignmentsAreRewrittenToo) {
  EXPECT_EQ(rewriteItemAssignments(u"Application(\"x\") = Session(\"y\") = 3;"),
            u"Application.$$put(\"x\", Session.$$put(\"y\", 3));");
}

TEST(ScriptRewrite, LeavesEverythingElseAlone) {
  for (const char16_t* code : {
           u"if (Session(\"a\") == 1) x = 2;",
           u"var s = 'Session(\"a\") = 1'; // Session(\"b\") = 2",
           u"/* Session(\"a\") = 1 */ y = \"a\\\"b(\";",
           u"var ok = /Session\\(\"a\"\\) = 1/.test(t);",
           u"x = a / b; y = f(1) / 2; z = (c) / d",
           u"obj.method(1).prop = 4;",
           u"rs.Fields(\"x\").Value = 5;",
           u"var f = function(a) { return a; }",
       }) {
    EXPECT_EQ(rewriteItemAssignments(code), code) << automation::toUtf8(code);
  }
}

}  // namespace
}  // namespace host::jscript
