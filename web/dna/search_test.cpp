#include <gtest/gtest.h>

#include "dna/form_fixture.h"

namespace dna_test {
namespace {

const Text kPeople = u"select id,name,age from t";
const Text kCaptions = u"编号,姓名,年龄";

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.run(u"create table t(id integer primary key, name varchar(20), age int)");
    db.run(
        u"insert into t values(1, 'Tom', 12), (2, 'Tommy', 30), (3, 'Ann', 12), "
        u"(4, 'x50%`y', 1)");
  }

  // A search posted on a page of `session`, which already shows this list.
  DnaPage postSearch(std::string form) {
    session->set(u"strURL", Variant(u"/list.asp"));
    DnaPage p("page=1", session, u"/list.asp", std::move(form));
    p.open(db, kPeople, kCaptions);
    session->set(u"strSearch", Variant(u"age=99 "));  // an earlier search
    return p;
  }

  Text storedSearch() const { return automation::joinText(session->get(u"strSearch")); }

  // The next list page of the session.
  DnaPage nextList() {
    DnaPage p("page=1", session);
    p.open(db, kPeople, kCaptions);
    p->DispList();
    return p;
  }

  std::shared_ptr<asp::Session> session = std::make_shared<asp::Session>();
  FixtureDb db;
};

TEST_F(SearchTest, StoresTheConditionThatTheNextListApplies) {
  auto p = postSearch("action=search2&id=3&name=Tom&age=12");
  p->search();
  EXPECT_EQ(storedSearch(), u"name like '%Tom%' and age=12 ");
  EXPECT_EQ(p.output(), hidden(u"id:3<br>") + hidden(u"name:200<br>") + hidden(u"age:3<br>"));

  auto list = nextList();
  EXPECT_EQ(automation::joinText(list.session(u"strSQL")),
            u"select id,name,age from t  where name like '%Tom%' and age=12  ");
  EXPECT_NE(utf8(list.output()).find("<td>Tom&nbsp;</td>"), std::string::npos);
  EXPECT_EQ(utf8(list.output()).find("Tommy"), std::string::npos);  // age 30
  EXPECT_EQ(utf8(list.output()).find("Ann"), std::string::npos);    // not like Tom
}

TEST_F(SearchTest, TrimsTextValuesButNotIntegerOnes) {
  auto p = postSearch("name=%20Tom%20&age=%2012%20");
  p->search();
  EXPECT_EQ(storedSearch(), u"name like '%Tom%' and age= 12  ");

  auto onlyAge = postSearch("name=%20%20&age=12");
  onlyAge->search();
  EXPECT_EQ(storedSearch(), u"age=12 ");
}

TEST_F(SearchTest, AnEmptySearchClearsTheCondition) {
  auto p = postSearch("action=search2&id=2&name=&age=");
  p->search();
  EXPECT_EQ(storedSearch(), u"");
  auto list = nextList();
  EXPECT_EQ(automation::joinText(list.session(u"strSQL")), u"select id,name,age from t ");
}

TEST_F(SearchTest, AnIntegerValueThatIsNotAPlainIntegerLeavesTheSessionAlone) {
  for (const std::string age :
       {"1%20or%201%3D1", "12)%20or%20(1%3D1", "1%3B%20delete%20from%20t"}) {
    SCOPED_TRACE(age);
    auto p = postSearch("name=Tom&age=" + age);
    EXPECT_EQ(errorOf([&] { p->search(); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(storedSearch(), u"age=99 ");
  }
}

TEST_F(SearchTest, WildcardsAndApostrophesStayInsideTheLiteral) {
  auto p = postSearch("name=50%25%27y");  // 50%'y
  p->search();
  EXPECT_EQ(storedSearch(), u"name like '%50%`y%' ");

  auto list = nextList();
  EXPECT_NE(utf8(list.output()).find("<td>x50%`y&nbsp;</td>"), std::string::npos);
  EXPECT_EQ(utf8(list.output()).find("Tom"), std::string::npos);
  EXPECT_EQ(rows(db, u"select count(*) from t"), std::vector<std::string>{"4"});
}

// A NUL once ended the list statement inside the literal, and the condition left in the
// session broke every list of the user after it.
TEST_F(SearchTest, ANulInAValueNeitherCutsTheListNorBreaksTheSession) {
  db.run(u"insert into t values(5, 'x' || char(0) || 'y', 2), (6, 'xz', 3)");
  auto p = postSearch("action=search2&name=x%00y");
  p->search();
  const Text nul(1, u'\0');
  EXPECT_EQ(storedSearch(), u"name like '%x" + nul + u"y%' ");

  for (int request = 0; request < 2; ++request) {
    auto list = nextList();
    EXPECT_EQ(automation::joinText(list.session(u"strSQL")),
              u"select id,name,age from t  where name like '%x" + nul + u"y%'  ");
    EXPECT_NE(utf8(list.output()).find("<td>5&nbsp;</td>"), std::string::npos);
    EXPECT_EQ(utf8(list.output()).find("xz"), std::string::npos);
  }
  // The whole value reaches the table: the row holds all three characters.
  auto insert = postSearch("action=insert2&name=a%00b&age=7");
  insert->Insert();
  EXPECT_EQ(rows(db, u"select id from t where name='a' || char(0) || 'b'"),
            std::vector<std::string>{"7"});
}

}  // namespace
}  // namespace dna_test
