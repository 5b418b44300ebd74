#include <gtest/gtest.h>

#include "dna/form_fixture.h"

namespace dna_test {
namespace {

const Text kPeople = u"select id,name,age from t";
const Text kPeopleOfDept2 = u"select id,name,age from t where dept=2";
const Text kCaptions = u"编号,姓名,年龄";
const std::string kTypes =
    utf8(hidden(u"id:3<br>") + hidden(u"name:200<br>") + hidden(u"age:3<br>"));

// The trace line of an update statement, as UTF-8.
std::string traced(TextView statement) { return utf8(hidden(statement)); }

class WritesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.run(
        u"create table t(id integer primary key, name varchar(20), age int, dept int, "
        u"born datetime)");
    db.run(
        u"insert into t values(7, 'Ann', 30, 2, null), (8, 'Bob', 40, 3, null), "
        u"(9, 'Cy', 50, 2, null)");
  }

  DnaPage post(TextView sql, std::string form, TextView captions = kCaptions) {
    DnaPage p("", nullptr, u"/list.asp", std::move(form));
    p.open(db, sql, captions);
    return p;
  }

  std::vector<std::string> everyone() const { return rows(db, u"select id,name,age,dept from t"); }

  const std::vector<std::string> kUntouched = {"7|Ann|30|2", "8|Bob|40|3", "9|Cy|50|2"};
  FixtureDb db;
};

TEST_F(WritesTest, InsertWritesTheTakingPartColumnsButNeverTheKey) {
  auto p = post(kPeople, "action=insert2&id=3&name=Tom&age=12");
  EXPECT_TRUE(p->Insert().isEmpty());
  EXPECT_EQ(utf8(p.output()), kTypes + "插入成功");
  EXPECT_EQ(rows(db, u"select id,name,age from t where name='Tom'"),
            std::vector<std::string>{"10|Tom|12"});
}

TEST_F(WritesTest, InsertLeavesBlankValuesOutAndRefusesAnEmptyRow) {
  auto p = post(kPeople, "name=Tom&age=%20%20");
  p->Insert();
  EXPECT_EQ(rows(db, u"select name,age from t where id=10"), std::vector<std::string>{"Tom|NULL"});

  auto empty = post(kPeople, "id=3&name=%20&age=");
  empty->Insert();
  EXPECT_EQ(utf8(empty.output()), kTypes + "输入为空");
  EXPECT_EQ(rows(db, u"select count(*) from t"), std::vector<std::string>{"4"});
}

TEST_F(WritesTest, DateColumnsAreQuoted) {
  auto p = post(u"select id,name,born from t", "name=Dee&born=2026-12-08", u"编号,姓名,生日");
  p->Insert();
  EXPECT_EQ(rows(db, u"select name,born from t where id=10"),
            std::vector<std::string>{"Dee|2026-12-08"});

  auto u = post(u"select id,name,born from t", "id=7&born=2026-1-2", u"编号,姓名,生日");
  u->Update();
  EXPECT_EQ(utf8(u.output()),
            utf8(hidden(u"id:3<br>") + hidden(u"name:200<br>") + hidden(u"born:135<br>") +
                 hidden(u" update t set born='2026-1-2' where id = 7")));
  EXPECT_EQ(rows(db, u"select name,born from t where id=7"),
            std::vector<std::string>{"Ann|2026-01-02"});
}

TEST_F(WritesTest, UpdateChangesTheKeyRowAndTracesItsStatement) {
  auto p = post(kPeople, "action=update2&id=7&name=Tom&age=12");
  EXPECT_TRUE(p->Update().isEmpty());
  EXPECT_EQ(utf8(p.output()), kTypes + traced(u" update t set name='Tom',age=12 where id = 7"));
  EXPECT_EQ(everyone(), (std::vector<std::string>{"7|Tom|12|2", "8|Bob|40|3", "9|Cy|50|2"}));

  // Within the where clause of the description; a blank value never empties a column.
  auto q = post(kPeopleOfDept2, "id=8&name=Zed&age=%20");
  EXPECT_EQ(errorOf([&] { q->Update(); }), 0);
  EXPECT_EQ(utf8(q.output()), kTypes + traced(u" update t set name='Zed' where dept=2 and id = 8"));
  EXPECT_EQ(rows(db, u"select name,age from t where id=8"), std::vector<std::string>{"Bob|40"});
}

TEST_F(WritesTest, AnUpdateWithoutValuesIsTheDatabasesToRefuse) {
  auto p = post(kPeople, "id=7&name=%20");
  EXPECT_EQ(errorOf([&] { p->Update(); }), automation::hr::kFail);
  EXPECT_EQ(utf8(p.output()), kTypes + traced(u" update t set where id = 7"));
  EXPECT_EQ(everyone(), kUntouched);
}

TEST_F(WritesTest, DeleteRemovesTheKeyRowWithinTheWhereClause) {
  auto p = post(kPeopleOfDept2, "id=8");
  EXPECT_TRUE(automation::toBool(p->Delete()));
  EXPECT_EQ(everyone(), kUntouched);  // row 8 is not of dept 2

  auto q = post(kPeopleOfDept2, "id=7");
  q->Delete();
  EXPECT_EQ(everyone(), (std::vector<std::string>{"8|Bob|40|3", "9|Cy|50|2"}));

  auto r = post(kPeople, "id=8");
  r->Delete();
  EXPECT_EQ(everyone(), std::vector<std::string>{"9|Cy|50|2"});
  EXPECT_EQ(utf8(r.output()), "");
}

TEST_F(WritesTest, KeysThatAreNotPlainIntegersReachNoRow) {
  for (const std::string key :
       {"7%20or%201%3D1", "7%3B%20delete%20from%20t", "1)%20--", "", "%20%20", "7%27", "-"}) {
    SCOPED_TRACE(key);
    auto update = post(kPeople, "name=Mallory&id=" + key);
    EXPECT_EQ(errorOf([&] { update->Update(); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(utf8(update.output()), kTypes);  // nothing traced, nothing run

    auto del = post(kPeopleOfDept2, "id=" + key);
    EXPECT_EQ(errorOf([&] { del->Delete(); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(everyone(), kUntouched);
  }
}

TEST_F(WritesTest, IntegerColumnsTakePlainIntegersOnly) {
  for (const std::string age :
       {"12%20or%201%3D1", "1)%3B%20delete%20from%20t%3B--", "12abc", "1e3", "%2B"}) {
    SCOPED_TRACE(age);
    auto insert = post(kPeople, "name=Mallory&age=" + age);
    EXPECT_EQ(errorOf([&] { insert->Insert(); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(utf8(insert.output()), kTypes);

    auto update = post(kPeople, "id=7&name=Mallory&age=" + age);
    EXPECT_EQ(errorOf([&] { update->Update(); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(everyone(), kUntouched);
  }

  auto signedAge = post(kPeople, "id=7&age=%20-3%20");
  signedAge->Update();
  EXPECT_EQ(utf8(signedAge.output()), kTypes + traced(u" update t set age= -3  where id = 7"));
  EXPECT_EQ(rows(db, u"select age from t where id=7"), std::vector<std::string>{"-3"});
}

TEST_F(WritesTest, HostileTextsAreStoredAsTheirLiterals) {
  const std::string name =
      "x%27)%3B%20delete%20from%20t%3B%20--%20%27%27";  // x'); delete from t; -- ''
  auto insert = post(kPeople, "name=" + name + "&age=1");
  insert->Insert();
  EXPECT_EQ(rows(db, u"select name from t where id=10"),
            std::vector<std::string>{"x`); delete from t; -- ``"});

  auto update = post(kPeople, "id=8&name=" + name);
  update->Update();
  EXPECT_EQ(rows(db, u"select id,name from t where id in (7,8,9)"),
            (std::vector<std::string>{"7|Ann", "8|x`); delete from t; -- ``", "9|Cy"}));
}

}  // namespace
}  // namespace dna_test
