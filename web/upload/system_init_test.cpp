// The page binding, the script-facing member table and the lookups of SystemInit.
#include "upload/system_init.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "multipart_body.h"
#include "page_fixture.h"

namespace upload {
namespace {

using automation::InvokeKind;
using automation::Text;

// A context that records which page objects are fetched, in order.
class RecordingContext : public asp::ScriptingContext {
 public:
  using asp::ScriptingContext::ScriptingContext;
  std::shared_ptr<asp::Request> Request() override {
    fetched.push_back("Request");
    return asp::ScriptingContext::Request();
  }
  std::shared_ptr<asp::Response> Response() override {
    fetched.push_back("Response");
    return asp::ScriptingContext::Response();
  }
  std::shared_ptr<asp::Server> Server() override {
    fetched.push_back("Server");
    return asp::ScriptingContext::Server();
  }
  std::shared_ptr<asp::Session> Session() override {
    fetched.push_back("Session");
    return asp::ScriptingContext::Session();
  }
  std::vector<std::string> fetched;
};

Variant invoke(SystemInit& receiver, const Text& member, InvokeKind kind,
               std::vector<Variant> args = {}) {
  return receiver.invoke(member, kind, std::move(args));
}

TEST(SystemInitTest, MembersInSlotOrder) {
  SystemInit receiver;
  std::vector<Text> names;
  for (const auto& member : receiver.typeInfo().members()) names.push_back(member.name);
  EXPECT_THAT(names, ::testing::ElementsAre(u"OnStartPage", u"OnEndPage", u"UpToFile",
                                            u"NewFileName", u"Upload", u"count", u"MaxSize",
                                            u"Path", u"OverWrite", u"FileName", u"Size", u"Form"));
  const auto* uploadMember = receiver.typeInfo().find(u"upload");
  ASSERT_NE(uploadMember, nullptr);
  ASSERT_EQ(uploadMember->params.size(), 3u);
  for (const auto& p : uploadMember->params) EXPECT_TRUE(p.optional && !p.byRef) << p.name.size();
  EXPECT_EQ(uploadMember->params[1].name, u"ServerPath");
  EXPECT_TRUE(receiver.typeInfo().find(u"Form")->params[0].byRef);
  EXPECT_FALSE(receiver.typeInfo().find(u"MaxSize")->get);  // write-only
  EXPECT_FALSE(receiver.typeInfo().find(u"count")->put);    // read-only
}

TEST(SystemInitTest, BindsTheContextThenRequestAndServer) {
  auto page = test_support::makePage();
  auto context = std::make_shared<RecordingContext>(
      asp::PageObjects{page.request, page.response, page.server, page.session, page.application});
  page.request->setBody(testing::MultipartBody().field("a", "1").bytes(), "multipart/form-data");
  SystemInit receiver;
  invoke(receiver, u"OnStartPage", InvokeKind::Method, {Variant(automation::ObjectRef(context))});
  EXPECT_THAT(context->fetched, ::testing::ElementsAre("Request", "Server"));
  EXPECT_EQ(invoke(receiver, u"Upload", InvokeKind::Method).text(), u"OK");

  invoke(receiver, u"OnEndPage", InvokeKind::Method);
  page.request->setBody(testing::MultipartBody().field("a", "1").bytes(), "multipart/form-data");
  EXPECT_NE(receiver.Upload(), u"OK");  // the request is no longer held
}

TEST(SystemInitTest, LookupsBeforeAnyUpload) {
  SystemInit receiver;
  EXPECT_EQ(invoke(receiver, u"count", InvokeKind::PropertyGet).type(), automation::VarType::I4);
  EXPECT_EQ(receiver.count(), 0);
  EXPECT_EQ(receiver.FileName(u"a"), u"");
  EXPECT_EQ(receiver.Size(u"a"), 0);
  const Variant form = receiver.Form(u"a");
  ASSERT_TRUE(form.isText());
  EXPECT_EQ(form.text(), u"");
}

TEST(SystemInitTest, ScriptsSetAndReadThroughTheTable) {
  auto page = test_support::makePage();
  page.request->setBody(testing::MultipartBody()
                            .field("same", "first")
                            .file("same", "f.txt", "file")
                            .file("Doc", "d.txt", "doc")
                            .bytes(),
                        "multipart/form-data");
  SystemInit receiver;
  receiver.OnStartPage(page.contextVariant());
  invoke(receiver, u"UpToFile", InvokeKind::PropertyPut, {Variant(2)});
  ASSERT_EQ(
      invoke(receiver, u"Upload", InvokeKind::Method, {Variant(0), Variant(u"d:\\x\\")}).text(),
      u"OK");
  EXPECT_EQ(automation::toInt32(invoke(receiver, u"count", InvokeKind::PropertyGet)), 3);
  // The first part of a name wins; names compare case-sensitively.
  EXPECT_EQ(invoke(receiver, u"Form", InvokeKind::Method, {Variant(u"same")}).text(), u"first");
  EXPECT_EQ(receiver.FileName(u"same"), u"");
  EXPECT_EQ(receiver.Size(u"same"), 5);
  EXPECT_EQ(receiver.FileName(u"Doc"), u"d.txt");
  EXPECT_EQ(receiver.FileName(u"doc"), u"");
  const auto& doc = invoke(receiver, u"Form", InvokeKind::Method, {Variant(u"Doc")}).bytes();
  EXPECT_EQ(std::string(doc.begin(), doc.end()), "doc");
}

}  // namespace
}  // namespace upload
