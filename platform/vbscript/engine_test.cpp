// The engine's surface as a page host uses it: pieces of a page with literal chunks and
// <%= %> writes, the lines errors name, global procedures called after the run (global.asa),
// the host's named objects, and the host stopping a run (Response.End, the script timeout).
#include <gtest/gtest.h>

#include "test_support.h"

namespace vbscript {
namespace {

using test::Component;
using test::TestHost;

TEST(Engine, PiecesLiteralsAndExpressionWrites) {
  TestHost host;
  host.literals = {u"<ul>", u"<li>", u"</li>", u"</ul>"};
  std::vector<Piece> pieces = {
      {Piece::Kind::Code, u"Dim i", 0, {0, 1}},
      {Piece::Kind::Literal, u"", 0, {0, 1}},
      {Piece::Kind::Code, u" For i = 1 To 2 ", 0, {0, 2}},
      {Piece::Kind::Literal, u"", 1, {0, 2}},
      {Piece::Kind::Expression, u"i * 10", 0, {0, 2}},
      {Piece::Kind::Literal, u"", 2, {0, 2}},
      {Piece::Kind::Code, u" Next\n If i > 2 Then ", 0, {0, 3}},
      {Piece::Kind::Literal, u"", 3, {0, 4}},
      {Piece::Kind::Code, u" End If ", 0, {0, 4}},
  };
  auto program = compile(pieces);
  vbscript::Run r(program, host);
  EXPECT_FALSE(r.execute());
  EXPECT_EQ(host.out, u"<ul><li>10</li><li>20</li></ul>");
}

TEST(Engine, CompileAndRuntimeErrorsNameTheirLine) {
  std::vector<Piece> pieces = {{Piece::Kind::Code, u"x = 1\n", 0, {2, 10}},
                               {Piece::Kind::Code, u"\nIf x Then y = (\n", 0, {3, 20}}};
  try {
    compile(pieces);
    FAIL();
  } catch (const CompileError& e) {
    EXPECT_EQ(e.error().number, 1023);
    EXPECT_EQ(e.error().description, u"Expected expression");
    EXPECT_EQ(e.error().origin, (Origin{3, 21}));
    EXPECT_EQ(e.error().source, u"Microsoft VBScript compilation error");
  }
  TestHost host;
  std::vector<Piece> bad = {{Piece::Kind::Code, u"a = 1\nb = \"x\" * 2", 0, {1, 7}}};
  vbscript::Run r(compile(bad), host);
  auto e = r.execute();
  ASSERT_TRUE(e);
  EXPECT_EQ(e->number, 13);
  EXPECT_EQ(e->hresult(), static_cast<automation::HRESULT>(0x800A000D));
  EXPECT_EQ(e->origin, (Origin{1, 8}));
}

TEST(Engine, GlobalProceduresCanBeCalledAfterTheRun) {
  TestHost host;
  std::vector<Piece> pieces = {{Piece::Kind::Code,
                                u"Dim count\nSub Session_OnStart()\n count = count + 1\nEnd Sub\n"
                                u"Sub Fails(): x = 1 / 0: End Sub",
                                0,
                                {0, 1}}};
  vbscript::Run r(compile(pieces), host);
  ASSERT_FALSE(r.execute());
  EXPECT_TRUE(r.hasProcedure(u"session_onstart"));
  EXPECT_FALSE(r.hasProcedure(u"count"));
  EXPECT_FALSE(r.call(u"Session_OnStart"));
  EXPECT_FALSE(r.call(u"Session_OnStart"));
  EXPECT_EQ(automation::toInt32(r.global(u"count")), 2);
  auto e = r.call(u"Fails");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->number, 11);
  EXPECT_EQ(e->origin.line, 5);
}

TEST(Engine, TheHostStopsARunQuietlyOrWithATimeout) {
  TestHost host;
  int turns = 0;
  host.onPoll = [&] { return ++turns > 3 ? Host::Poll::Timeout : Host::Poll::Continue; };
  std::vector<Piece> loop = {{Piece::Kind::Code, u"On Error Resume Next\nDo\nLoop", 0, {0, 1}}};
  vbscript::Run r(compile(loop), host);
  auto e = r.execute();
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->timedOut);

  TestHost ending;
  ending.classes[u"Test.Component"] = [] { return std::make_shared<Component>(); };
  std::vector<Piece> page = {
      {Piece::Kind::Code,
       u"Set c = CreateObject(\"Test.Component\")\nResponse.Write 1\nc(\"k\") = 2\n"
       u"Response.Write 3",
       0,
       {0, 1}}};
  auto program = compile(page, {{u"Response"}});
  vbscript::Run r2(program, ending, {{u"Response", std::make_shared<test::Writer>(ending.out)}});
  // Stand-in for Response.End: the host asks to end after the first write.
  ending.onPoll = [&] { return ending.out.empty() ? Host::Poll::Continue : Host::Poll::End; };
  EXPECT_FALSE(r2.execute());
  EXPECT_EQ(ending.out, u"1");
}

TEST(Engine, HostObjectsAreGlobalsEvenInsideProcedures) {
  TestHost host;
  std::vector<Piece> page = {{Piece::Kind::Code,
                              u"Sub Show(v)\n Response.Write v\n Dim Extra\n Extra = 1\nEnd Sub\n"
                              u"Show \"in proc \"\nResponse.Write Server.Inner(\"x\")",
                              0,
                              {0, 1}}};
  auto program = compile(page, {{u"Response", u"Server"}});
  vbscript::Run r(program, host,
                  {{u"Response", std::make_shared<test::Writer>(host.out)},
                   {u"Server", std::make_shared<Component>()}});
  EXPECT_FALSE(r.execute());
  EXPECT_EQ(host.out, u"in proc #x");
}

TEST(Engine, ProceduresTakeArgumentsFromTheHostAndWriteThemBack) {
  TestHost host;
  std::vector<Piece> pieces = {
      {Piece::Kind::Code, u"Sub Application_OnStart(name, ByRef count)\n count = count + Len(name)\nEnd Sub", 0, {0, 1}}};
  vbscript::Run r(compile(pieces), host);
  ASSERT_FALSE(r.execute());
  std::vector<Variant> args{Variant(u"abc"), Variant(2)};
  EXPECT_FALSE(r.call(u"application_onstart", args));
  auto wrong = r.call(u"Application_OnStart", {Variant(1)});
  ASSERT_TRUE(wrong);
  EXPECT_EQ(wrong->number, 450);
  auto missing = r.call(u"Session_OnEnd");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->number, 35);
}

TEST(Engine, ATimeoutStopsRecursionAndIsNoCatchableError) {
  TestHost host;
  int polls = 0;
  host.onPoll = [&] { return ++polls > 50 ? Host::Poll::Timeout : Host::Poll::Continue; };
  std::vector<Piece> pieces = {{Piece::Kind::Code,
                                u"On Error Resume Next\nSub Spin(): Do: Loop: End Sub\n"
                                u"Spin\nResponse.Write \"went on\"",
                                0,
                                {0, 1}}};
  vbscript::Run r(compile(pieces, {{u"Response"}}), host,
                  {{u"Response", std::make_shared<test::Writer>(host.out)}});
  auto e = r.execute();
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->timedOut);
  EXPECT_EQ(host.out, u"");
}

}  // namespace
}  // namespace vbscript
