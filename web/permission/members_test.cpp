#include "permission/permission_fixture.h"

namespace permission_test {
namespace {

using automation::hr::kTypeMismatch;
using Rows = std::vector<std::string>;

// One person: the label (class checked for a member) and the checkbox, checked for a member.
Text person(TextView id, TextView label, bool member) {
  return (member ? u"<span class=checked>" : u"<span>") + Text(label) +
         u"</span><input id=ci type='checkbox' name='checkbox' value='" + Text(id) + u"' " +
         (member ? u" checked " : u"") + u">";
}

class Members : public ::testing::Test {
 protected:
  // Eligible in system 1, by DutyID: 12 (three characters), 2, 1, 3 (one character), 5
  // (no name); 4 is of category 7, 6 of no category, 20 of system 2. Group 1 has 12, 3 and the
  // ineligible 20.
  void SetUp() override {
    db.run(
        u"insert into person values(1,'张三',1,1,3),(12,'欧阳修',1,1,1),(2,'王五',1,2,2),"
        u"(3,'赵',1,1,4),(4,'孙七',1,7,5),(5,null,1,1,6),(6,'钱八',1,null,7),"
        u"(20,'周九',2,1,0)");
    db.run(u"insert into accessPerson values(1,12),(1,3),(2,1),(1,20)");
  }
  Rows members() const {
    return db.rows(u"select accessGroupID, accessPersonID from accessPerson order by rowid");
  }
  Text show(Variant group) { return page->DispPerson(group); }
  Text save(Variant group, Variant list) { return page->SavePerson(group, list); }

  PermissionDb db;
  PermissionPage page{db};
};

TEST_F(Members, EligiblePersonsWithTheMembersChecked) {
  // 1 is no member: it only stands inside 12. Two-character names get one ideographic space.
  EXPECT_EQ(show(Variant(1)), person(u"12", u"欧阳修", true) + person(u"2", u"王五\u3000", false) +
                                  person(u"1", u"张三\u3000", false) + person(u"3", u"赵", true) +
                                  person(u"5", u"", false));
  EXPECT_EQ(show(Variant(u" 9 ")), person(u"12", u"欧阳修", false) +
                                       person(u"2", u"王五\u3000", false) +
                                       person(u"1", u"张三\u3000", false) +
                                       person(u"3", u"赵", false) + person(u"5", u"", false));
  page.setSession(u"systemID", Variant(2));
  EXPECT_EQ(show(Variant(1)), person(u"20", u"周九\u3000", true));
}

TEST_F(Members, NamesAndIdsStayInsideTheirPlaces) {
  db.run(u"delete from person");
  db.run(u"insert into person values(7,'<img src=x>',1,1,1),('8'' x=''y','a''b',1,1,2)");
  db.run(u"insert into accessPerson values(4,7)");
  EXPECT_EQ(show(Variant(4)),
            person(u"7", u"&lt;img src=x>", true) + person(u"8&#39; x=&#39;y", u"a'b", false));
}

TEST_F(Members, SavingReplacesTheMembers) {
  EXPECT_EQ(save(Variant(1), Variant(u"3, 8 ,12")), u"人员修改成功");
  EXPECT_EQ(members(), (Rows{"2|1", "1|3", "1|8", "1|12"}));  // 20 is gone
  EXPECT_EQ(save(Variant(u"1 "), Variant(u"5")), u"人员修改成功");
  EXPECT_EQ(members(), (Rows{"2|1", "1|5"}));
  EXPECT_EQ(save(Variant(1), Variant(u"")), u"人员修改成功");
  EXPECT_EQ(members(), (Rows{"2|1"}));
}

TEST_F(Members, AnEmptyGroupIdSavesNothing) {
  for (Variant group : {Variant(), Variant(u""), Variant::null()}) {
    EXPECT_EQ(save(group, Variant(u"4")), u"人员修改失败");
  }
  EXPECT_EQ(members(), (Rows{"1|12", "1|3", "2|1", "1|20"}));
}

TEST_F(Members, AFailingSaveKeepsTheOldMembers) {
  EXPECT_EQ(errorOf([&] { save(Variant(1), Variant(u"3,8,")); }), kTypeMismatch);
  EXPECT_EQ(errorOf([&] { save(Variant(1), Variant(u"3, ,8")); }), kTypeMismatch);
  db.run(u"create unique index member on accessPerson(accessGroupID, accessPersonID)");
  EXPECT_EQ(errorOf([&] { save(Variant(1), Variant(u"3,8,3")); }), automation::hr::kFail);
  EXPECT_EQ(members(), (Rows{"1|12", "1|3", "2|1", "1|20"}));
}

}  // namespace
}  // namespace permission_test
