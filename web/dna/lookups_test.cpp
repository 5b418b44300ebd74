#include "dna_fixture.h"

namespace dna_test {
namespace {

class Lookups : public ::testing::Test {
 protected:
  void SetUp() override { page.open(db); }

  Variant name(TextView sql, Variant code) {
    Variant statement(sql);
    return page->GetCodeName(statement, code);
  }
  Text options(TextView sql, Variant selected) {
    Variant statement(sql);
    return page->SelectForm(statement, selected).text();
  }

  FixtureDb db;
  DnaPage page;
};

TEST_F(Lookups, CodeNameOfNumbersAndQuotedLiterals) {
  const Text dept = u"select deptName,deptID from dept";
  EXPECT_EQ(name(dept, Variant(3)).text(), u"财务部");
  EXPECT_EQ(name(dept, Variant(u"2")).text(), u"技术部");
  EXPECT_EQ(name(dept, Variant(9)).text(), u"");  // no such code
  // Its own where clause: the code condition is joined with " and  ".
  EXPECT_EQ(name(dept + u" where used=1", Variant(3)).text(), u"");
  EXPECT_EQ(name(dept + u" where used=1", Variant(1)).text(), u"销售部");
  EXPECT_EQ(name(u"select kindName,kindCode from kind", Variant(u"'B'")).text(), u"临时");
}

TEST_F(Lookups, NoCodeNoQuery) {
  // A lookup statement the database would reject shows that nothing ran.
  const Text broken = u"select a,b from nowhere";
  EXPECT_EQ(name(broken, Variant()).text(), u"");
  EXPECT_EQ(name(broken, Variant::null()).text(), u"");
  EXPECT_EQ(name(broken, Variant(u"   ")).text(), u"");
  EXPECT_THROW(name(broken, Variant(1)), automation::AutomationError);
}

// A text code is quoted, so it finds its row and cannot become part of the statement.
TEST_F(Lookups, TextCodesAreQuoted) {
  EXPECT_EQ(name(u"select kindName,kindCode from kind", Variant(u"A")).text(), u"正式");
  EXPECT_EQ(name(u"select deptName,deptID from dept", Variant(u"1 or 1=1")).text(), u"");
  EXPECT_EQ(name(u"select deptName,deptID from dept", Variant(u"1; delete from dept")).text(), u"");
  EXPECT_EQ(name(u"select deptName,deptID from dept", Variant(u"'1' or 'a'='a'")).text(), u"");
  EXPECT_EQ(automation::toInt32(db.scalar(u"select count(*) from dept")), 3);
}

TEST_F(Lookups, ColumnListRules) {
  // Without "from" past the 7th character, everything after it is the column list.
  try {
    name(u"select deptName", Variant(1));
    ADD_FAILURE() << "a single column has no code column";
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(e.code(), automation::hr::kSubscriptOutOfRange);
  }
  EXPECT_EQ(name(u"SELECT deptName,deptID FROM dept", Variant(2)).text(), u"技术部");
}

TEST_F(Lookups, SelectFormOrdersByCodeAndMarksTheSelected) {
  const Text dept = u"select deptName,deptID from dept";
  EXPECT_EQ(options(dept, Variant(2)),
            u"<option value='1'>销售部</option><option value='2' selected >技术部</option>"
            u"<option value='3'>财务部</option>");
  // A code given as text never equals an integer code.
  EXPECT_EQ(options(dept, Variant(u"2")),
            u"<option value='1'>销售部</option><option value='2'>技术部</option>"
            u"<option value='3'>财务部</option>");
  EXPECT_EQ(options(u"select kindName,kindCode from kind", Variant(u"B")),
            u"<option value='A'>正式</option><option value='B' selected >临时</option>");
  EXPECT_EQ(options(dept + u" where used=9", Variant()), u"");
  EXPECT_THROW(options(dept + u" order by deptName", Variant()), automation::AutomationError);
}

}  // namespace
}  // namespace dna_test
