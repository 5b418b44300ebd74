#include "render_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "static_files.h"
#include "test_site.h"

namespace host {
namespace {

using host_test::TestSite;

struct Rendered {
  int status;
  std::string out;
  std::string err;
};

class Render : public ::testing::Test {
 protected:
  Rendered render(std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", site.root().string(), "--default-language", "jscript"});
    std::ostringstream out, err;
    int status = runRender(args, site.registry(), out, err);
    return {status, out.str(), err.str()};
  }
  TestSite site;
};

TEST_F(Render, RunsThePageWithUrlQueryAndForm) {
  site.write("sub/p.asp",
             "<%= Request.ServerVariables('URL') %>|<%= Request.QueryString('a') %>|"
             "<%= Request.Form('b') %>|<%= Request.ServerVariables('REQUEST_METHOD') %>");
  EXPECT_EQ(render({"sub/p.asp"}).out, "/sub/p.asp|||GET");
  Rendered r =
      render({"--url", "/x/y.asp", "--query", "a=1&a=2", "--form", "b=%E4%B8%AD", "sub/p.asp"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "/x/y.asp|1, 2|中|POST");
  EXPECT_EQ(r.err, "");
}

TEST_F(Render, PostsARawBodyWithItsContentType) {
  site.write("b.asp",
             "<%= Request.ServerVariables('CONTENT_TYPE') %>|<%= Request.TotalBytes %>|"
             "<% var b = Request.BinaryRead(Request.TotalBytes); %><%= b[0] %>,<%= b[3] %>");
  site.write("body.bin", std::string("\x01\x00\x02\xff", 4));
  Rendered r = render({"--body", (site.root() / "body.bin").string(), "--content-type",
                       "application/x-test", "b.asp"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "application/x-test|4|1,255");
}

TEST_F(Render, HeadersComeFirstWhenAsked) {
  site.write("h.asp",
             "<% Response.ContentType = 'text/plain'; Response.AddHeader('X-A', 'b'); %>ok");
  Rendered r = render({"--headers", "h.asp"});
  EXPECT_EQ(r.out,
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\nX-A: b\r\n"
            "Content-Length: 2\r\n\r\nok");
}

TEST_F(Render, SessionIsReadAndWrittenBack) {
  site.write("s.asp",
             "<%= Session('n') %>,<%= typeof Session('d') %>"
             "<% Session('n') = (Session('n') || 0) + 1; Session('t') = 'x'; %>");
  auto file = site.root() / "session.json";
  EXPECT_EQ(render({"--session", file.string(), "s.asp"}).out, ",undefined");  // new session
  EXPECT_EQ(*readWholeFile(file), "{\n  \"n\": 1,\n  \"t\": \"x\"\n}\n");
  site.write("session.json", R"({"n": 41, "d": {"date": "2024-01-31"}})");
  EXPECT_EQ(render({"--session", file.string(), "s.asp"}).out, "41,object");
  EXPECT_EQ(*readWholeFile(file),
            "{\n  \"d\": {\n    \"date\": \"2024-01-31\"\n  },\n  \"n\": 42,\n  \"t\": \"x\"\n}\n");
}

TEST_F(Render, ScriptObjectsInTheSessionAreKeptAsJson) {
  site.write(
      "o.asp",
      "<% var c = Session('cart') || []; c.push({sku: 'a' + c.length}); Session('cart') = c; "
      "%><%= c.length %>:<%= c[c.length - 1].sku %>");
  auto file = site.root() / "cart.json";
  EXPECT_EQ(render({"--session", file.string(), "o.asp"}).out, "1:a0");
  EXPECT_EQ(render({"--session", file.string(), "o.asp"}).out, "2:a1");
  EXPECT_EQ(*readWholeFile(file),
            "{\n  \"cart\": [\n    {\n      \"sku\": \"a0\"\n    },\n    {\n      \"sku\": \"a1\"\n"
            "    }\n  ]\n}\n");
}

TEST_F(Render, UncaughtErrorsExitWithThree) {
  site.write("e.asp", "kept\n<% null.x; %>");
  Rendered r = render({"e.asp"});
  EXPECT_EQ(r.status, kExitPageFailed);
  EXPECT_TRUE(r.out.starts_with("kept\n"));
  EXPECT_TRUE(r.err.starts_with("error 800A01B6: ")) << r.err;
  EXPECT_TRUE(r.err.ends_with(" (e.asp:2)\n")) << r.err;
}

TEST_F(Render, BadArgumentsAndMissingPagesExitWithTwo) {
  site.write("p.asp", "x");
  site.write("bad.json", "not json");
  for (std::vector<std::string> args : {std::vector<std::string>{"nope.asp"},
                                        {"../p.asp"},
                                        {},
                                        {"p.asp", "q.asp"},
                                        {"--zzz", "p.asp"},
                                        {"--form", "a=1", "--body", "x", "p.asp"},
                                        {"--body", "/no/such/file", "p.asp"},
                                        {"--content-type", "text/plain", "p.asp"},
                                        {"--session", (site.root() / "bad.json").string(), "p.asp"},
                                        {"p.asp", "--query"}}) {
    Rendered r = render(args);
    EXPECT_EQ(r.status, kExitUsage) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
  }
}

}  // namespace
}  // namespace host
