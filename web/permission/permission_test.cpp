#include "permission/permission_fixture.h"

namespace permission_test {
namespace {

using automation::InvokeKind;
using automation::ObjectRef;

TEST(PermissionMembers, InterfaceOrder) {
  const auto& info = permission::Permission().typeInfo();
  std::vector<Text> names;
  for (const auto& m : info.members()) names.push_back(m.name);
  const std::vector<Text> expected = {u"OnStartPage",        u"OnEndPage",      u"Session",
                                      u"PrintDebug",         u"openDB",         u"DispMenuItem",
                                      u"GetPersonAccess",    u"GetMenu1",       u"GetMenu23",
                                      u"DispGroup",          u"AddGroup",       u"delGroup",
                                      u"DispAccessMenuItem", u"SavePermission", u"DispPerson",
                                      u"SavePerson"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(info.name(), u"_Permission");
  EXPECT_EQ(info.iid(), u"{C102AD68-952F-4F2C-AD4A-104C630D343B}");
  EXPECT_FALSE(info.find(u"GetMenu23")->params[0].byRef);
  EXPECT_TRUE(info.find(u"DispAccessMenuItem")->params[0].byRef);
}

// A page script drives the class by name.
TEST(PermissionMembers, LateBoundPage) {
  PermissionDb db;
  auto page = test_support::makePage();
  page.session->set(u"systemID", Variant(1));
  page.session->set(u"personName", Variant(u"admin"));
  std::shared_ptr<automation::Dispatch> obj = std::make_shared<permission::Permission>();
  EXPECT_TRUE(obj->invoke(u"OnStartPage", InvokeKind::Method, {page.contextVariant()}).isEmpty());
  obj->invoke(u"openDB", InvokeKind::Method, {Variant(db.connStr())});
  EXPECT_EQ(obj->invoke(u"dispmenuitem", InvokeKind::Method).text().substr(0, 21),
            u"<option value=\"2\">\u25CF文件");

  Variant menu = obj->invoke(u"GetMenu23", InvokeKind::Method, {Variant(1)});
  EXPECT_EQ(menuIds(*automation::objectAs<ado::Recordset>(menu)), u"4,3,");
  auto rs = std::make_shared<ado::Recordset>();
  EXPECT_TRUE(obj->invoke(u"GetMenu1", InvokeKind::Method, {Variant(ObjectRef(rs))}).isEmpty());
  EXPECT_EQ(menuIds(*rs), u"2,1,");

  // The group id is a 16-bit integer: a text that is no number, or a number out of range,
  // is refused by the call.
  EXPECT_EQ(obj->invoke(u"DispAccessMenuItem", InvokeKind::Method, {Variant(u"2")}).text(), u"");
  EXPECT_EQ(
      errorOf([&] { obj->invoke(u"DispAccessMenuItem", InvokeKind::Method, {Variant(u"a")}); }),
      automation::hr::kTypeMismatch);
  EXPECT_EQ(
      errorOf([&] { obj->invoke(u"DispAccessMenuItem", InvokeKind::Method, {Variant(40000)}); }),
      automation::hr::kOverflow);

  EXPECT_EQ(obj->invoke(u"SavePerson", InvokeKind::Method, {Variant(u""), Variant(u"1")}).text(),
            u"人员修改失败");
  EXPECT_EQ(obj->invoke(u"Session", InvokeKind::PropertyGet).object(), page.session);
  EXPECT_TRUE(obj->invoke(u"OnEndPage", InvokeKind::Method).isEmpty());
}

TEST(PermissionPageEvents, SessionPropertyIsTheSessionEveryOperationUses) {
  PermissionDb db;
  db.run(u"insert into accessPerson values(1,5),(2,6)");
  db.run(u"insert into AccessMenu values(1,3,1),(2,4,1)");
  PermissionPage page(db);
  page.setSession(u"personID", Variant(5));
  EXPECT_EQ(page->Session(), page.sessionRef());

  auto other = std::make_shared<asp::Session>();
  other->set(u"personID", Variant(6));
  page->setSession(Variant(ObjectRef(other)));
  EXPECT_EQ(page->Session(), other);
  page->GetPersonAccess();
  EXPECT_EQ(other->get(u"personAccess").text(), u"4");
  EXPECT_TRUE(page.session(u"personAccess").isEmpty());

  EXPECT_EQ(errorOf([&] { page->setSession(Variant(u"x")); }), automation::hr::kTypeMismatch);
  page->setSession(Variant(ObjectRef()));  // Nothing
  EXPECT_EQ(page->Session(), nullptr);
  EXPECT_EQ(errorOf([&] { page->GetPersonAccess(); }), automation::hr::kObjectNotSet);
}

TEST(PermissionPageEvents, PageEndReleasesThePageButNotTheConnection) {
  PermissionDb db;
  PermissionPage page(db);
  page->OnEndPage();
  EXPECT_EQ(page->Session(), nullptr);
  EXPECT_EQ(errorOf([&] { page->DispGroup(); }), automation::hr::kObjectNotSet);

  // Bound to the next page, the instance still has its database.
  auto next = test_support::makePage();
  next.session->set(u"systemID", Variant(2));
  Variant sc = next.contextVariant();
  page->OnStartPage(sc);
  EXPECT_NE(page->DispGroup(), u"");
}

TEST(PermissionPageEvents, EveryDatabaseOperationNeedsOpenDB) {
  PermissionDb db;
  auto page = test_support::makePage();
  page.session->set(u"systemID", Variant(1));
  page.session->set(u"personID", Variant(1));
  permission::Permission p;
  Variant sc = page.contextVariant();
  p.OnStartPage(sc);
  Variant one(1), list(u"1"), rs(ObjectRef(std::make_shared<ado::Recordset>()));
  const automation::HRESULT notSet = automation::hr::kObjectNotSet;
  EXPECT_EQ(errorOf([&] { p.DispMenuItem(); }), notSet);
  EXPECT_EQ(errorOf([&] { p.GetPersonAccess(); }), notSet);
  EXPECT_EQ(errorOf([&] { p.GetMenu1(rs); }), notSet);
  EXPECT_EQ(errorOf([&] { p.GetMenu23(one); }), notSet);
  EXPECT_EQ(errorOf([&] { p.DispGroup(); }), notSet);
  EXPECT_EQ(errorOf([&] { p.AddGroup(list); }), notSet);
  EXPECT_EQ(errorOf([&] { p.delGroup(one); }), notSet);
  EXPECT_EQ(errorOf([&] { p.DispAccessMenuItem(1); }), notSet);
  EXPECT_EQ(errorOf([&] { p.SavePermission(one, list); }), notSet);
  EXPECT_EQ(errorOf([&] { p.DispPerson(one); }), notSet);
  EXPECT_EQ(errorOf([&] { p.SavePerson(one, list); }), notSet);
}

TEST(PermissionPageEvents, OpenDBReplacesTheConnection) {
  PermissionDb first, second;
  second.run(u"delete from AccessGroup where accessGroupID=2");
  PermissionPage page(first);
  const Text twoGroups = page->DispGroup();
  Variant conn(second.connStr());
  page->openDB(conn);
  EXPECT_NE(page->DispGroup(), twoGroups);
  Variant nowhere(u"Provider=SQLite;Data Source=/nonexistent/dir/x.db");
  EXPECT_EQ(errorOf([&] { page->openDB(nowhere); }), automation::hr::kFail);
  EXPECT_EQ(errorOf([&] { page->DispGroup(); }), automation::hr::kObjectNotSet);
}

TEST(PermissionPageEvents, PrintDebugWritesTheTextHiddenAndRaw) {
  PermissionDb db;
  PermissionPage page(db);
  Variant text(u"<b>步骤</b>");
  page->PrintDebug(text);
  page->PrintDebug(text);
  const Text line = u"<span id=debugID style='display:none'><b>步骤</b></span>";
  EXPECT_EQ(page.output(), line + line);
}

}  // namespace
}  // namespace permission_test
