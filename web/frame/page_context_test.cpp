#include "frame/page_context.h"

#include <gtest/gtest.h>

#include "automation/error.h"
#include "page_fixture.h"

namespace frame {
namespace {

// Records which page objects are fetched, in which order.
class WatchedContext : public asp::ScriptingContext {
 public:
  using ScriptingContext::ScriptingContext;
  std::vector<std::string> fetched;
  std::shared_ptr<asp::Request> Request() override {
    fetched.push_back("Request");
    return ScriptingContext::Request();
  }
  std::shared_ptr<asp::Response> Response() override {
    fetched.push_back("Response");
    return ScriptingContext::Response();
  }
  std::shared_ptr<asp::Server> Server() override {
    fetched.push_back("Server");
    return ScriptingContext::Server();
  }
  std::shared_ptr<asp::Session> Session() override {
    fetched.push_back("Session");
    return ScriptingContext::Session();
  }
  std::shared_ptr<asp::Application> Application() override {
    fetched.push_back("Application");
    return ScriptingContext::Application();
  }
};

TEST(PageContext, FetchesThePageObjectsInOrderAndReleasesThem) {
  auto page = test_support::makePage();
  auto watched = std::make_shared<WatchedContext>(
      asp::PageObjects{page.request, page.response, page.server, page.session, page.application});
  PageContext context;
  context.bind(Variant(automation::ObjectRef(watched)));
  EXPECT_EQ(watched->fetched,
            (std::vector<std::string>{"Response", "Request", "Server", "Application", "Session"}));
  EXPECT_EQ(&context.response(), page.response.get());
  long before = page.response.use_count();
  context.release();
  EXPECT_EQ(page.response.use_count(), before - 1);
  try {
    context.response();
    FAIL();
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(e.code(), automation::hr::kObjectNotSet);
  }
}

TEST(PageContext, RefusesWhatIsNotAScriptingContext) {
  PageContext context;
  EXPECT_THROW(context.bind(Variant(u"context")), automation::AutomationError);
  EXPECT_THROW(context.session(), automation::AutomationError);
}

TEST(TraceWriter, HidesTheLine) {
  asp::Response r;
  writeTrace(r, u"##调试信息:打开数据库 OK!<br>\r\n");
  EXPECT_EQ(r.text(),
            u"<span id=debugID style='display:none'>##调试信息:打开数据库 OK!<br>\r\n</span>");
}

}  // namespace
}  // namespace frame
