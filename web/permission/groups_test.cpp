#include "permission/permission_fixture.h"

namespace permission_test {
namespace {

using automation::hr::kTypeMismatch;
using Rows = std::vector<std::string>;

// One group row: number, name, and the four links to the group's pages with its id, separated
// by ideographic spaces.
Text groupRow(TextView n, TextView name, TextView id) {
  auto link = [&](TextView address, TextView caption) {
    return u"<a href=\"" + Text(address) + Text(id) + u"\">" + Text(caption) + u"</a>";
  };
  return u"<tr><td align=center>" + Text(n) + u"</td> <td>" + Text(name) +
         u"</td><td align=center>" + link(u"permission.asp?ac=del&id=", u"删除") + u"\u3000" +
         link(u"permission.asp?ac=edit&id=", u"修改") + u"\u3000" +
         link(u"permissionset.asp?id=", u"设置权限") + u"\u3000" +
         link(u"permissionMan.asp?id=", u"设置人员") + u"</td></tr>";
}

class Groups : public ::testing::Test {
 protected:
  Rows rights() const {
    return db.rows(
        u"select AccessGroupID, AccessMenuID, accessmenutype from AccessMenu order by rowid");
  }
  Text save(Variant group, Variant list) { return page->SavePermission(group, list); }

  PermissionDb db;
  PermissionPage page{db};
};

TEST_F(Groups, GroupRowsOfTheCurrentSystem) {
  EXPECT_EQ(page->DispGroup(), groupRow(u"1", u"管理员", u"1") + groupRow(u"2", u" 访 客 ", u"2"));
  page.setSession(u"systemID", Variant(2));
  EXPECT_EQ(page->DispGroup(), groupRow(u"1", u"外系统", u"3"));
  page.setSession(u"systemID", Variant(9));
  EXPECT_EQ(page->DispGroup(), u"");
  db.run(u"insert into AccessGroup values(4,'<i>斜</i>',9)");
  EXPECT_EQ(page->DispGroup(), groupRow(u"1", u"&lt;i>斜&lt;/i>", u"4"));
}

TEST_F(Groups, RowNumbersOverflowAtThe32767thGroup) {
  page.setSession(u"systemID", Variant(5));
  db.run(
      u"insert into AccessGroup(accessGroupName,systemID) with recursive n(i) as (select 1 "
      u"union all select i+1 from n where i<32766) select 'g', 5 from n");
  const Text listed = page->DispGroup();
  EXPECT_NE(listed.find(u"<tr><td align=center>32766</td>"), Text::npos);
  db.run(u"insert into AccessGroup(accessGroupName,systemID) values('g',5)");
  EXPECT_EQ(errorOf([&] { page->DispGroup(); }), automation::hr::kOverflow);
}

TEST_F(Groups, AddedGroupsAreStoredAsTyped) {
  Variant name(u" 新 组 ");
  EXPECT_TRUE(page->AddGroup(name).isEmpty());
  Variant quoted(u"O'Neil's '');组");
  page.setSession(u"systemID", Variant(u" 2"));
  page->AddGroup(quoted);
  EXPECT_EQ(db.rows(u"select * from AccessGroup where accessGroupID>3"),
            (Rows{"4| 新 组 |1", "5|O'Neil's '');组|2"}));
}

TEST_F(Groups, DeletingAGroupLeavesItsRightsAndMembers) {
  db.run(u"insert into AccessMenu values(1,1,1)");
  db.run(u"insert into accessPerson values(1,100)");
  Variant group(1);
  EXPECT_TRUE(page->delGroup(group).isEmpty());
  Variant otherSystems(3), withBlanks(u" 2 ");
  page->delGroup(otherSystems);  // group 3 is system 2's
  page->delGroup(withBlanks);
  EXPECT_EQ(db.rows(u"select accessGroupID from AccessGroup"), (Rows{"3"}));
  EXPECT_EQ(rights(), (Rows{"1|1|1"}));
  EXPECT_EQ(db.rows(u"select * from accessPerson"), (Rows{"1|100"}));
}

TEST_F(Groups, GrantedItemsAsAnOptionTree) {
  // 8 is granted without its parent 2, 6 is a fourth level, 10 is another system's.
  db.run(
      u"insert into AccessMenu values(1,3,1),(1,8,1),(1,5,1),(1,1,1),(1,4,1),(1,6,1),"
      u"(1,10,1),(2,2,1)");
  EXPECT_EQ(page->DispAccessMenuItem(1), option(u"1", 1, u"系统管理") + option(u"4", 2, u"组") +
                                             option(u"5", 3, u"权限") + option(u"3", 2, u"用户"));
  EXPECT_EQ(page->DispAccessMenuItem(2), option(u"2", 1, u"文件"));
  EXPECT_EQ(page->DispAccessMenuItem(3), u"");
}

TEST_F(Groups, SavingReplacesTheGroupsRights) {
  db.run(u"insert into AccessMenu values(1,1,1),(2,7,1),(1,2,1)");
  EXPECT_EQ(save(Variant(1), Variant(u"4*9*15")), u"权限修改成功");
  EXPECT_EQ(rights(), (Rows{"2|7|1", "1|4|1", "1|9|1", "1|15|1"}));
  EXPECT_EQ(save(Variant(u" 1 "), Variant(u" 5*6 ")), u"权限修改成功");
  EXPECT_EQ(rights(), (Rows{"2|7|1", "1|5|1", "1|6|1"}));
  EXPECT_EQ(save(Variant(1), Variant(u"")), u"权限修改成功");
  EXPECT_EQ(rights(), (Rows{"2|7|1"}));
}

TEST_F(Groups, AnEmptyGroupIdSavesNothing) {
  db.run(u"insert into AccessMenu values(1,1,1)");
  for (Variant group : {Variant(), Variant(u""), Variant::null(), Variant::missing()}) {
    EXPECT_EQ(save(group, Variant(u"4")), u"权限修改失败");
  }
  EXPECT_EQ(rights(), (Rows{"1|1|1"}));
}

TEST_F(Groups, AFailingSaveKeepsTheOldRights) {
  db.run(u"insert into AccessMenu values(1,1,1),(1,2,1)");
  EXPECT_EQ(errorOf([&] { save(Variant(1), Variant(u"4*9*")); }), kTypeMismatch);
  EXPECT_EQ(errorOf([&] { save(Variant(1), Variant(u"4**9")); }), kTypeMismatch);
  db.run(u"create unique index granted on AccessMenu(AccessGroupID, AccessMenuID)");
  EXPECT_EQ(errorOf([&] { save(Variant(1), Variant(u"4*9*4")); }), automation::hr::kFail);
  EXPECT_EQ(rights(), (Rows{"1|1|1", "1|2|1"}));
  EXPECT_EQ(save(Variant(1), Variant(u"4")), u"权限修改成功");  // the instance goes on
  EXPECT_EQ(rights(), (Rows{"1|4|1"}));
}

}  // namespace
}  // namespace permission_test
