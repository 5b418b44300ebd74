// Classes, objects of the host and components, errors across calls, Execute and Eval.
#include <gtest/gtest.h>

#include "scripting/registration.h"
#include "test_support.h"

namespace vbscript {
namespace {

using test::run;
using test::runWithComponent;
using test::TestHost;

TEST(Components, ByRefArgumentsAreWrittenBackToVariables) {
  EXPECT_EQ(runWithComponent(
                "Set c = CreateObject(\"Test.Component\")\ns = \"  select 1  \": t = \"keep\"\n"
                "ok = c.Trim(s, t)\nResponse.Write \"[\" & s & \"][\" & t & \"]\" & ok\n"
                "u = \"  x \"\nc.Trim (u), t\nResponse.Write \"[\" & u & \"]\""),
            "[select 1][keep]True[  x ]");
}

TEST(Components, DefaultMembersAndCollections) {
  EXPECT_EQ(
      runWithComponent("Set c = CreateObject(\"Test.Component\")\nc(\"k\") = \"v\"\n"
                       "Response.Write c(\"z\") & \"|\"\nFor Each x In c: Response.Write x: Next"),
      "kvz|ab3");
  EXPECT_NE(runWithComponent("Set c = CreateObject(\"Test.Component\")\nc.Nope").find("|error 438"),
            std::string::npos);
  EXPECT_NE(runWithComponent("Set c = CreateObject(\"No.Such\")").find("|error 429"),
            std::string::npos);
  EXPECT_NE(run("For Each x In 5: Next").find("|error 451"), std::string::npos);
  EXPECT_NE(run("x = 1: x.Foo").find("|error 424"), std::string::npos);
  EXPECT_NE(run("Set x = Nothing: x.Foo").find("|error 91"), std::string::npos);
}

// The scripting runtime's Dictionary, as pages create it: item assignment through the
// default member, For Each over the keys, Keys and Items as arrays, its own errors.
TEST(Components, ScriptingDictionaryFromTheRuntime) {
  automation::ClassRegistry registry;
  scripting::registerClasses(registry, 936);
  TestHost host;
  host.classes[u"Scripting.Dictionary"] = [&] { return registry.create(u"Scripting.Dictionary"); };
  EXPECT_EQ(run("Set d = CreateObject(\"Scripting.Dictionary\")\n"
                "d(\"b\") = 2: d.Add \"a\", 1: d(\"b\") = d(\"b\") + 10\n"
                "For Each k In d: Response.Write k & \"=\" & d(k) & \" \": Next\n"
                "ks = d.Keys: its = d.Items\n"
                "Response.Write UBound(ks) & Join(ks, \",\") & \"|\" & its(0) & \"|\" & d.Count\n"
                "On Error Resume Next\nd.Add \"a\", 3\nResponse.Write \"|\" & Err.Number",
                &host),
            "b=12 a=1 1b,a|12|2|457");
}

// A host's array of two dimensions (a recordset's GetRows: fields x rows) as scripts walk it.
TEST(Components, TwoDimensionalArraysFromTheHost) {
  TestHost host;
  std::vector<Piece> page = {{Piece::Kind::Code,
                              u"Sub Show(rows)\n For r = 0 To UBound(rows, 2)\n"
                              u"  Response.Write rows(0, r) & \":\" & rows(1, r) & \" \"\n Next\n"
                              u" For Each v In rows: Response.Write v: Next\n"
                              u" Response.Write \" \" & LBound(rows, 2) & UBound(rows, 1)\nEnd Sub",
                              0,
                              {0, 1}}};
  vbscript::Run r(compile(page, {{u"Response"}}), host,
                  {{u"Response", std::make_shared<test::Writer>(host.out)}});
  ASSERT_FALSE(r.execute());
  Variant rows(Variant::Array{Variant(1), Variant(u"a"), Variant(2), Variant(u"b"), Variant(3),
                              Variant(u"c")},
               {{0, 2}, {0, 3}});
  EXPECT_FALSE(r.call(u"Show", {rows}));
  EXPECT_EQ(host.out, u"1:a 2:b 3:c 1a2b3c 01");
}

const char* kPoint =
    "Class Point\n"
    " Private mX\n Public Y\n Public Tag\n"
    " Private Sub Class_Initialize(): mX = 0: Y = 0: Response.Write \"init \": End Sub\n"
    " Private Sub Class_Terminate(): Response.Write \"bye\" & Tag & \" \": End Sub\n"
    " Public Default Property Get X(): X = mX: End Property\n"
    " Public Property Let X(v): If v < 0 Then Err.Raise 5\n mX = v: End Property\n"
    " Public Function Sum(): Sum = mX + Y: End Function\n"
    " Public Sub Move(ByRef dx): mX = mX + dx: dx = 0: End Sub\n"
    "End Class\n";

TEST(Classes, PropertiesDefaultMemberAndTerminateOrder) {
  EXPECT_EQ(run(std::string(kPoint) +
                "Set p = New Point\np.X = 3: p.Y = 4: p.Tag = 1\nd = 2: p.Move d\n"
                "Response.Write p & \" \" & p.Sum() & \" \" & d & \" \"\n"
                "Set q = New Point: q.Tag = 2\nSet q = Nothing\nResponse.Write \"end \""),
            "init 5 9 0 init bye2 end bye1 ");
  EXPECT_NE(run(std::string(kPoint) + "Set p = New Point\np.mX = 1").find("|error 438"),
            std::string::npos);
  EXPECT_NE(run(std::string(kPoint) + "Set p = New Point\np.X = -1")
                .find("|error 5 Invalid procedure call"),
            std::string::npos);
}

TEST(Classes, InstancesAreLateBoundObjectsForComponents) {
  TestHost host;
  Piece piece{Piece::Kind::Code,
              automation::fromUtf8(std::string(kPoint) + "Set p = New Point\np.X = 7"),
              0,
              {0, 1}};
  auto program = compile(std::span<const Piece>(&piece, 1), {{u"Response"}});
  ObjectRef kept;
  {
    vbscript::Run r(program, host, {{u"Response", std::make_shared<test::Writer>(host.out)}});
    ASSERT_FALSE(r.execute());
    kept = r.global(u"p").object();
  }
  // The run is over, the object lives on (as in Session) and is called through invoke.
  EXPECT_EQ(automation::toInt32(kept->invoke(u"", automation::InvokeKind::PropertyGet)), 7);
  kept->invoke(u"X", automation::InvokeKind::PropertyPut, {Variant(9)});
  EXPECT_EQ(automation::toInt32(kept->invoke(u"sum", automation::InvokeKind::Method)), 9);
  std::vector<Variant> args{Variant(2)};
  kept->invoke(u"Move", automation::InvokeKind::Method, automation::Args(args));
  EXPECT_EQ(automation::toInt32(args[0]), 0);
  EXPECT_EQ(automation::toInt32(kept->invoke(u"X", automation::InvokeKind::PropertyGet)), 11);
}

TEST(Errors, ResumeNextAcrossCalls) {
  const char* code =
      "Sub Inner()\n x = 1 / 0\n Response.Write \"not here \"\nEnd Sub\n"
      "Sub Guarded()\n On Error Resume Next\n y = 1 / 0\n Response.Write \"guarded \" & Err.Number "
      "& \" \"\nEnd Sub\n"
      "On Error Resume Next\nInner\nResponse.Write \"after \" & Err.Number & \" \" & "
      "Err.Description & \" \"\n"
      "Err.Clear\nGuarded\nResponse.Write Err.Number & \" \"\n"
      "If 1 / 0 = 1 Then Response.Write \"inside \"\n"
      "On Error GoTo 0\nResponse.Write Err.Number\nz = 1 / 0\nResponse.Write \"never\"";
  EXPECT_EQ(run(code),
            "after 11 Division by zero guarded 11 11 inside 0|error 11 Division by zero line 19");
}

TEST(Errors, RaiseAndTheErrObject) {
  EXPECT_EQ(run("On Error Resume Next\nErr.Raise vbObjectError + 7, \"mine\", \"custom\"\n"
                "Response.Write (Err.Number = vbObjectError + 7) & Err.Source & Err.Description & "
                "TypeName(Err)\n"
                "Err.Raise 13\nResponse.Write \" \" & Err.Number & Err.Description"),
            "TrueminecustomErrObject 13Type mismatch");
  EXPECT_EQ(run("Err.Raise 1000, \"src\", \"boom\""), "|error 1000 boom line 1");
}

TEST(Dynamic, ExecuteEvalAndGetRef) {
  EXPECT_EQ(run("ExecuteGlobal \"Function Sq(n): Sq = n * n: End Function\"\nResponse.Write Sq(4) "
                "& \" \"\n"
                "Function Local()\n Dim v: v = 2\n Execute \"v = v + 40\"\n Local = Eval(\"v * "
                "1\")\nEnd Function\n"
                "Response.Write Local() & \" \" & Eval(\"1 + 2 = 3\")\n"
                "Set f = GetRef(\"Sq\")\nResponse.Write \" \" & f(5)"),
            "16 42 True 25");
  EXPECT_NE(run("Execute \"x = \"").find("|error 1023"), std::string::npos);
}

}  // namespace
}  // namespace vbscript
