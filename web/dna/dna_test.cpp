#include "dna_fixture.h"

namespace dna_test {
namespace {

using automation::InvokeKind;

TEST(DnaMembers, InterfaceOrder) {
  const auto& info = dna::DNA().typeInfo();
  std::vector<Text> names;
  for (const auto& m : info.members()) names.push_back(m.name);
  const std::vector<Text> expected = {
      u"strAction",     u"nAccessLevel",   u"nPage",          u"nPageSize",      u"strItemKeyName",
      u"nItemKeyValue", u"strItemEnglish", u"strItemChinese", u"strItemCodeSQL", u"OpenDNA",
      u"CloseDNA",      u"SetCodeSQL",     u"DispForm",       u"DispList",       u"DispSetColumns",
      u"GetList",       u"GetRs",          u"OnStartPage",    u"OnEndPage",      u"DebugMode",
      u"DispMenu",      u"SetDispStyle",   u"SetDefaultItem", u"SetTitle",       u"GetCodeName",
      u"SelectForm",    u"Insert",         u"Update",         u"Delete",         u"search"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(info.name(), u"_DNA");
  EXPECT_EQ(info.iid(), u"{5D09A460-4161-495C-BD92-B65003C43635}");
}

// A page script drives the class by name, with by-reference arguments updated in place.
TEST(DnaMembers, LateBoundPage) {
  FixtureDb db;
  auto page = test_support::makePage({u"/list.asp", "pageSize=2", ""});
  auto dna = std::make_shared<dna::DNA>();
  automation::Dispatch& obj = *dna;
  EXPECT_TRUE(obj.invoke(u"onstartpage", InvokeKind::Method, {page.contextVariant()}).isEmpty());
  std::vector<Variant> open = {Variant(db.connStr()),
                               Variant(u" select id,name,dept,kind from person "),
                               Variant(kPersonCaptions)};
  obj.invoke(u"OpenDNA", InvokeKind::Method, automation::Args(open));
  EXPECT_EQ(open[1].text(), u"select id,name,dept,kind from person");
  EXPECT_EQ(obj.invoke(u"strItemKeyName", InvokeKind::PropertyGet).text(), u"id");
  EXPECT_EQ(obj.invoke(u"nPage", InvokeKind::PropertyGet).type(), automation::VarType::I2);

  auto rs = std::make_shared<ado::Recordset>();
  obj.invoke(u"GetRs", InvokeKind::Method,
             {Variant(u"select count(*) from person"), Variant(automation::ObjectRef(rs))});
  EXPECT_EQ(automation::toInt32(rs->value(Variant(0))), 5);
  EXPECT_THROW(obj.invoke(u"GetList", InvokeKind::Method, {Variant(u"not a recordset")}),
               automation::AutomationError);

  std::vector<Variant> lookup = {Variant(u"select deptName,deptID from dept"), Variant(2)};
  EXPECT_EQ(obj.invoke(u"GetCodeName", InvokeKind::Method, automation::Args(lookup)).text(),
            u"技术部");
  obj.invoke(u"strAction", InvokeKind::PropertyPut, {Variant(u"insert")});
  EXPECT_EQ(dna->strAction, u"insert");
  obj.invoke(u"nItemKeyValue", InvokeKind::PropertyPut, {Variant(automation::ObjectRef(rs))});
  EXPECT_TRUE(dna->nItemKeyValue.isObject());
  obj.invoke(u"CloseDNA", InvokeKind::Method);
  obj.invoke(u"OnEndPage", InvokeKind::Method);
  EXPECT_EQ(page.session->get(u"strURL").text(), u"/list.asp");
}

TEST(DnaMembers, PageStartResetsActionAndDebug) {
  DnaPage page;
  page->DebugMode();
  page->DebugMode();  // twice, two lines
  EXPECT_EQ(page.take(), hidden(u"##调试信息:进入调试模式<br>\r\n") +
                             hidden(u"##调试信息:进入调试模式<br>\r\n"));
  page->strAction = u"list";
  Variant sc = test_support::makePage().contextVariant();
  page->OnStartPage(sc);
  EXPECT_EQ(page->strAction, u"");
  Variant none(u"");
  page->SetDefaultItem(none);  // would trace with the debug flag on
  EXPECT_EQ(page.take(), u"");
}

TEST(DnaMembers, PageObjectsBeforePageStart) {
  FixtureDb db;
  dna::DNA dna;
  Variant title(u"t");
  dna.SetTitle(title);  // needs no page
  try {
    dna.DebugMode();
    ADD_FAILURE() << "no error";
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(e.code(), automation::hr::kObjectNotSet);
  }
  Variant conn(db.connStr()), sql(kPersonSQL), captions(u"");
  EXPECT_THROW(dna.OpenDNA(conn, sql, captions), automation::AutomationError);
}

}  // namespace
}  // namespace dna_test
