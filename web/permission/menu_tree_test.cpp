#include "permission/permission_fixture.h"

namespace permission_test {
namespace {

using automation::hr::kTypeMismatch;

class MenuTree : public ::testing::Test {
 protected:
  // Person 100 is in groups 1, 3 and 2, in that row order; group 3 grants nothing and item 1
  // is granted by groups 1 and 2.
  void grantPerson100() {
    db.run(u"insert into accessPerson values(1,100),(3,100),(2,100),(1,101)");
    db.run(u"insert into AccessMenu values(1,1,1),(1,2,1),(2,3,1),(2,4,1),(2,1,1),(4,5,1)");
  }

  std::shared_ptr<ado::Recordset> menu1() {
    auto rs = std::make_shared<ado::Recordset>();
    Variant arg{automation::ObjectRef(rs)};
    EXPECT_TRUE(page->GetMenu1(arg).isEmpty());
    return rs;
  }
  Text level1() { return menuIds(*menu1()); }
  Text children(Variant father) { return menuIds(*page->GetMenu23(std::move(father))); }

  PermissionDb db;
  PermissionPage page{db};
};

TEST_F(MenuTree, OptionListIsTheTreeDepthFirstInSiblingOrder) {
  // No orphan (7), nothing of the fourth level (6) or of system 2 (10, 11); names trimmed, the
  // nameless item shows its marker alone.
  EXPECT_EQ(page->DispMenuItem(), option(u"2", 1, u"文件") + option(u"8", 2, u"") +
                                      option(u"1", 1, u"系统管理") + option(u"4", 2, u"组") +
                                      option(u"5", 3, u"权限") + option(u"3", 2, u"用户"));
  page.setSession(u"systemID", Variant(2));
  EXPECT_EQ(page->DispMenuItem(), option(u"10", 1, u"其他"));
  page.setSession(u"systemID", Variant(u"3"));
  EXPECT_EQ(page->DispMenuItem(), u"");
}

TEST_F(MenuTree, NamesCannotOpenMarkupAndIdsCannotLeaveTheirQuotes) {
  db.run(u"update menu set menuName='<b>粗</b> a<=b' where menuID=2");
  db.run(u"update menu set menuID='5\" x=\"y' where menuID=5");  // a leaf: shown, never pasted
  EXPECT_EQ(page->DispMenuItem(), option(u"2", 1, u"&lt;b>粗&lt;/b> a<=b") + option(u"8", 2, u"") +
                                      option(u"1", 1, u"系统管理") + option(u"4", 2, u"组") +
                                      option(u"5&quot; x=&quot;y", 3, u"权限") +
                                      option(u"3", 2, u"用户"));
  // The id of an item with children is pasted into their statement: a whole number only.
  db.run(u"update menu set menuID='8 or 1=1' where menuID=8");
  EXPECT_EQ(errorOf([&] { page->DispMenuItem(); }), kTypeMismatch);
}

TEST_F(MenuTree, AccessListJoinsTheGroupsItemsInRowOrder) {
  grantPerson100();
  page.setSession(u"personID", Variant(100));
  page->GetPersonAccess();
  EXPECT_EQ(page.session(u"personAccess").text(), u"1,2,3,4,1");

  page.setSession(u"personID", Variant(u" 101 "));
  page->GetPersonAccess();
  EXPECT_EQ(page.session(u"personAccess").text(), u"1,2");

  page.setSession(u"personID", Variant(7));  // in no group
  page->GetPersonAccess();
  ASSERT_TRUE(page.session(u"personAccess").isText());
  EXPECT_EQ(page.session(u"personAccess").text(), u"");
}

TEST_F(MenuTree, AccessListStaysWhenItCannotBeComputed) {
  grantPerson100();
  page.setSession(u"personAccess", Variant(u"9"));
  page.setSession(u"personID", Variant());
  EXPECT_EQ(errorOf([&] { page->GetPersonAccess(); }), kTypeMismatch);
  db.run(u"drop table AccessMenu");
  page.setSession(u"personID", Variant(100));
  EXPECT_EQ(errorOf([&] { page->GetPersonAccess(); }), automation::hr::kFail);
  EXPECT_EQ(page.session(u"personAccess").text(), u"9");
}

TEST_F(MenuTree, AdministratorSeesEveryItemOfTheSystem) {
  page.setSession(u"personName", Variant(u"admin"));
  EXPECT_EQ(level1(), u"2,1,");
  EXPECT_EQ(children(Variant(1)), u"4,3,");
  EXPECT_EQ(children(Variant(u"4")), u"5,");
  EXPECT_EQ(children(Variant(5)), u"6,");  // the queries know no depth
  page.setSession(u"systemID", Variant(2));
  EXPECT_EQ(level1(), u"10,");
  EXPECT_EQ(children(Variant(1)), u"11,");
}

TEST_F(MenuTree, OthersSeeOnlyTheItemsInTheirAccessList) {
  for (const Text name : {u"张三", u"Admin", u"admin "}) {
    page.setSession(u"personName", Variant(name));
    page.setSession(u"personAccess", Variant(u"1,3,5"));
    EXPECT_EQ(level1(), u"1,");
    EXPECT_EQ(children(Variant(1)), u"3,");  // 4 is not granted
    EXPECT_EQ(children(Variant(4)), u"5,");  // granted, though its parent is not
    auto none = page->GetMenu23(Variant(2));
    EXPECT_EQ(none->State(), ado::adStateOpen);
    EXPECT_TRUE(none->eof());
  }
  page.setSession(u"personAccess", Variant(u"2"));
  EXPECT_EQ(level1(), u"2,");
}

TEST_F(MenuTree, AnEmptyAccessListFailsForEveryoneButTheAdministrator) {
  for (Variant access : {Variant(u""), Variant()}) {
    page.setSession(u"personAccess", access);
    auto rs = std::make_shared<ado::Recordset>();
    Variant arg{automation::ObjectRef(rs)};
    EXPECT_EQ(errorOf([&] { page->GetMenu1(arg); }), kTypeMismatch);
    EXPECT_EQ(rs->State(), ado::adStateClosed);
    EXPECT_EQ(errorOf([&] { page->GetMenu23(Variant(1)); }), kTypeMismatch);
  }
  page.setSession(u"personName", Variant(u"admin"));
  EXPECT_EQ(level1(), u"2,1,");
}

TEST_F(MenuTree, TheMenuQueriesOpenThePagesRecordsetOrANewOne) {
  page.setSession(u"personName", Variant(u"admin"));
  auto first = page->GetMenu23(Variant(1));
  auto second = page->GetMenu23(Variant(1));
  EXPECT_NE(first, second);
  EXPECT_EQ(menuIds(*first), u"4,3,");
  auto rs = menu1();
  EXPECT_EQ(rs->State(), ado::adStateOpen);
  Variant arg{automation::ObjectRef(rs)};
  EXPECT_EQ(errorOf([&] { page->GetMenu1(arg); }), static_cast<automation::HRESULT>(0x800A0E79));
  Variant notARecordset(u"rs");
  EXPECT_EQ(errorOf([&] { page->GetMenu1(notARecordset); }), kTypeMismatch);
}

}  // namespace
}  // namespace permission_test
