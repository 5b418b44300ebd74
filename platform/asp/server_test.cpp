// Server's own encoders and the page calls the host hands in.
#include "asp/server.h"

#include <gtest/gtest.h>

#include "asp/asp_error.h"

namespace asp {
namespace {

Server plainServer(int codePage = 65001) {
  return Server([](TextView) -> ObjectRef { return nullptr; }, [](TextView p) { return Text(p); },
                codePage);
}

TEST(Server, URLPathEncodeEscapesThePathOnly) {
  Server s = plainServer();
  EXPECT_EQ(s.URLPathEncode(u"http://host/scripts/file name.asp?a=b c"),
            u"http://host/scripts/file%20name.asp?a=b c");
  EXPECT_EQ(s.URLPathEncode(u"/文件/a%b#c\"<x>"), u"/%E6%96%87%E4%BB%B6/a%25b%23c%22%3Cx%3E");
  EXPECT_EQ(s.URLPathEncode(u"/a-b_c.d~e!$&'()*+,;=:@/"), u"/a-b_c.d~e!$&'()*+,;=:@/");
  EXPECT_EQ(plainServer(936).URLPathEncode(u"/中"), u"/%D6%D0");
}

TEST(Server, PageCallsGoToTheHost) {
  Server s = plainServer();
  std::vector<Text> calls;
  auto error = std::make_shared<ASPError>();
  error->Number = 5;
  s.setPageCalls({[&](TextView p) { calls.push_back(u"execute " + Text(p)); },
                  [&](TextView p) { calls.push_back(u"transfer " + Text(p)); },
                  [&] { return ObjectRef(error); }});
  std::vector<Variant> args{Variant(u"a.asp")};
  s.invoke(u"execute", automation::InvokeKind::Method, args);
  s.invoke(u"Transfer", automation::InvokeKind::Method, args);
  EXPECT_EQ(calls, (std::vector<Text>{u"execute a.asp", u"transfer a.asp"}));
  Variant last = s.invoke(u"GetLastError", automation::InvokeKind::Method);
  EXPECT_EQ(
      automation::toInt32(last.object()->invoke(u"Number", automation::InvokeKind::PropertyGet)),
      5);
}

TEST(Server, WithoutAHostThereIsNoErrorAndNoPageToRun) {
  Server s = plainServer();
  auto last = std::dynamic_pointer_cast<ASPError>(s.GetLastError());
  ASSERT_TRUE(last);
  EXPECT_EQ(last->Number, 0);
  EXPECT_EQ(last->Description, u"");
  EXPECT_THROW(s.Execute(u"a.asp"), automation::AutomationError);
}

}  // namespace
}  // namespace asp
