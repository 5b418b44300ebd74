#include <gtest/gtest.h>

#include "dna/form_fixture.h"

namespace dna_test {
namespace {

class ColumnChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.run(u"create table u(id integer primary key, userid int, name varchar(20))");
  }
  FixtureDb db;
};

TEST_F(ColumnChooserTest, TheFirstPageOfASessionChecksEveryColumnAndShowsTwentyRows) {
  DnaPage p("action=setcol");
  p.open(db, u"select id,userid,name from u", u"编号,用户,姓名");
  p->DispSetColumns();
  EXPECT_EQ(utf8(p.output()),
            "<Form name='setcol' method='post' action='/list.asp'>\r\n"
            "<input type='hidden' name='action' value='list'>"
            "编号: <input type='checkbox' name='choseItem' value='id' checked>\r\n"
            "用户: <input type='checkbox' name='choseItem' value='userid' checked>\r\n"
            "姓名: <input type='checkbox' name='choseItem' value='name' checked>\r\n"
            "<br>每页行数：<input type='text' name='pageSize' size=3 value='20'><br>\r\n"
            "<input type='submit'  value='设定显示列'></Form>\r\n");
}

TEST_F(ColumnChooserTest, APartialChoiceChecksTheColumnsItNames) {
  auto session = std::make_shared<asp::Session>();
  session->set(u"strURL", Variant(u"/list.asp"));
  DnaPage p("action=listall&choseItem=userid&pageSize=5", session);
  p.open(db, u"select id,userid,name from u", u"编号,用户,姓名");
  p->DebugMode();
  p.take();
  p->DispSetColumns();
  // id is checked too: it occurs within userid.
  EXPECT_EQ(utf8(p.take()),
            "<Form name='listall' method='post' action='/list.asp'>\r\n"
            "<input type='hidden' name='action' value='list'>"
            "编号: <input type='checkbox' name='choseItem' value='id' checked>\r\n"
            "用户: <input type='checkbox' name='choseItem' value='userid' checked>\r\n"
            "姓名: <input type='checkbox' name='choseItem' value='name' >\r\n"
            "<br>每页行数：<input type='text' name='pageSize' size=3 value='5'><br>\r\n"
            "<input type='submit'  value='设定显示列'></Form>\r\n" +
                utf8(hidden(u"##调试信息:DispSetColumns OK!<br>\r\n")));
}

}  // namespace
}  // namespace dna_test
