// Values from the page and the session that try to become part of a statement: each is refused
// before any statement runs, and every table stays exactly as it was.
#include "permission/permission_fixture.h"

namespace permission_test {
namespace {

using automation::hr::kTypeMismatch;

const Text kHostile[] = {u"1 or 1=1",   u"1; delete from menu",
                         u"0) or (1=1", u"a'); delete from AccessGroup; --",
                         u"1.5",        u"1e3"};

class HostileInput : public ::testing::TestWithParam<Text> {
 protected:
  void SetUp() override {
    db.run(u"insert into AccessMenu values(1,1,1),(1,3,1),(2,2,1)");
    db.run(u"insert into accessPerson values(1,100),(2,100)");
    db.run(u"insert into person values(100,'张三',1,1,1)");
    before = db.everything();
  }

  // `operation` raises the type-mismatch error and changes no table.
  template <class Operation>
  void refused(Operation operation, const char* what) {
    EXPECT_EQ(errorOf(operation), kTypeMismatch) << what;
    EXPECT_EQ(db.everything(), before) << what;
  }

  Variant hostile() const { return Variant(GetParam()); }

  PermissionDb db;
  PermissionPage page{db};
  std::vector<std::string> before;
};

TEST_P(HostileInput, IdsFromThePage) {
  Variant v = hostile(), one(1), list(u"1");
  refused([&] { page->delGroup(v); }, "delGroup");
  refused([&] { page->DispPerson(v); }, "DispPerson");
  refused([&] { page->SavePermission(v, list); }, "SavePermission group");
  refused([&] { page->SavePerson(v, list); }, "SavePerson group");
  page.setSession(u"personName", Variant(u"admin"));
  refused([&] { page->GetMenu23(v); }, "GetMenu23");
}

TEST_P(HostileInput, ItemsOfTheSavedLists) {
  Variant one(1);
  Variant rights(u"2*" + GetParam() + u"*3"), members(u"2," + GetParam());
  refused([&] { page->SavePermission(one, rights); }, "SavePermission item");
  refused([&] { page->SavePerson(one, members); }, "SavePerson item");
}

TEST_P(HostileInput, SystemNumberFromTheSession) {
  page.setSession(u"systemID", hostile());
  Variant one(1), name(u"新组"), rs(automation::ObjectRef(std::make_shared<ado::Recordset>()));
  refused([&] { page->DispMenuItem(); }, "DispMenuItem");
  refused([&] { page->DispGroup(); }, "DispGroup");
  refused([&] { page->AddGroup(name); }, "AddGroup");
  refused([&] { page->delGroup(one); }, "delGroup");
  refused([&] { page->DispAccessMenuItem(1); }, "DispAccessMenuItem");
  refused([&] { page->DispPerson(one); }, "DispPerson");
  page.setSession(u"personName", Variant(u"admin"));
  refused([&] { page->GetMenu1(rs); }, "GetMenu1");
  refused([&] { page->GetMenu23(one); }, "GetMenu23");
}

TEST_P(HostileInput, PersonAndAccessListFromTheSession) {
  page.setSession(u"personAccess", Variant(u"1,3"));
  page.setSession(u"personID", hostile());
  refused([&] { page->GetPersonAccess(); }, "GetPersonAccess");
  EXPECT_EQ(page.session(u"personAccess").text(), u"1,3");

  page.setSession(u"personAccess", Variant(u"1," + GetParam()));
  auto rs = std::make_shared<ado::Recordset>();
  Variant arg{automation::ObjectRef(rs)}, one(1);
  refused([&] { page->GetMenu1(arg); }, "GetMenu1");
  EXPECT_EQ(rs->State(), ado::adStateClosed);
  refused([&] { page->GetMenu23(one); }, "GetMenu23");
}

TEST_P(HostileInput, GroupNamesAreStoredAsTyped) {
  Variant name = hostile();
  page->AddGroup(name);
  EXPECT_EQ(db.rows(u"select accessGroupName, systemID from AccessGroup where accessGroupID=4"),
            (std::vector<std::string>{automation::toUtf8(GetParam()) + "|1"}));
  db.run(u"delete from AccessGroup where accessGroupID=4");
  EXPECT_EQ(db.everything(), before);
}

INSTANTIATE_TEST_SUITE_P(Values, HostileInput, ::testing::ValuesIn(kHostile));

}  // namespace
}  // namespace permission_test
