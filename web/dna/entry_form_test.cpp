#include <gtest/gtest.h>

#include "dna/form_fixture.h"

namespace dna_test {
namespace {

// t: key id, a text and two integers; dept holds the codes of the fixture's dept table
// (销售部 1, 技术部 2, 财务部 3). ev: two date columns.
class EntryFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.run(u"create table t(id integer primary key, name varchar(20), age int, dept int)");
    db.run(u"insert into t values(7, 'O''Brien', 30, 2)");
    db.run(
        u"create table ev(id integer primary key, title varchar(20), starts datetime, "
        u"ends datetime)");
  }

  DnaPage open(TextView sql, TextView captions, std::string query,
               std::shared_ptr<asp::Session> session = nullptr) {
    DnaPage p(std::move(query), std::move(session));
    p.open(db, sql, captions);
    return p;
  }

  static void setCodes(DnaPage& p, TextView codes) {
    Variant v(codes);
    p->SetCodeSQL(v);
  }

  static void dispForm(DnaPage& p, TextView action) {
    Variant v(action);
    p->DispForm(v);
  }

  FixtureDb db;
};

const Text kTTypes =
    hidden(u"id:3<br>") + hidden(u"name:200<br>") + hidden(u"age:3<br>") + hidden(u"dept:3<br>");
const Text kThreeTypes = hidden(u"id:3<br>") + hidden(u"name:200<br>") + hidden(u"age:3<br>");

Text formHead(TextView action) {
  return u"<Form id=Frm1 name='" + Text(action) +
         u"' method='post' Action='/list.asp'>\r\n"
         u"<table border='0'  cellpadding='0' cellspacing='0' align='center' width='100%'class=td2 "
         u">\r\n"
         u"<tr valign=top ><td width=37 align=left><img src='../images/home1.gif'></td><td "
         u"class=t1></td><td class=t1></td><td class=t1></td><td class=t1></td><td "
         u"align=right><img src='../images/home2.gif'></td></tr>\r\n"
         u"<input type='hidden' name='action' value='" +
         Text(action) + u"2'>\r\n";
}

Text formFoot(TextView caption) {
  return u"<tr valign=top class=td2><td width=37 align=left><img "
         u"src='../images/home3.gif'></td><td "
         u"class=t4></td><td class=t4></td><td class=t4></td><td class=t4></td><td "
         u"align=right><img src='../images/home4.gif'></td></tr>\r\n"
         u"</table><center><input type='submit' value='提交" +
         Text(caption) +
         u"'>\r\n"
         u"<input type='reset' value='重新" +
         Text(caption) + u"'></center></Form>\r\n";
}

Text keyField(TextView value) {
  return u"<input type='hidden' name='id' value='" + Text(value) + u"'><br>\r\n";
}

Text label(TextView caption) {
  return u"<td align=right class=lable>" + Text(caption) + u"</td><td class=input>";
}

Text textBox(TextView name, TextView value) {
  return u"<input type='text' name='" + Text(name) + u"' value='" + Text(value) +
         u"' onMouseOver='this.focus()'  onFocus='this.select()'></td>\r\n";
}

const Text kRowStart = u"<tr><td class=t2></td>";
const Text kRowEnd = u"<td class=t3></td></tr>";
const Text kEmptyCell = u"<td class=lable>&nbsp;</td><td class=t3></td></tr>";

TEST_F(EntryFormTest, InsertFormWithThreeFieldsCompletesTheSecondRow) {
  auto p = open(u"select id,name,age,dept from t", u"编号,姓名,年龄,部门", "action=insert");
  dispForm(p, u"insert");
  EXPECT_EQ(utf8(p.output()), utf8(kTTypes + formHead(u"insert") + keyField(u"") + kRowStart +
                                   label(u"姓名") + textBox(u"name", u"") + label(u"年龄") +
                                   textBox(u"age", u"") + kRowEnd + kRowStart + label(u"部门") +
                                   textBox(u"dept", u"") + kEmptyCell + formFoot(u"添加")));
}

TEST_F(EntryFormTest, InsertFormWithTwoFieldsShowsTheRequestValuesInOneRow) {
  auto p =
      open(u"select id,name,age from t", u"编号,姓名,年龄", "action=insert&name=Tom%27s&age=5");
  dispForm(p, u"insert");
  EXPECT_EQ(utf8(p.output()), utf8(kThreeTypes + formHead(u"insert") + keyField(u"") + kRowStart +
                                   label(u"姓名") + textBox(u"name", u"Tom`s") + label(u"年龄") +
                                   textBox(u"age", u"5") + kRowEnd + formFoot(u"添加")));
}

TEST_F(EntryFormTest, UpdateFormShowsTheStoredRowAndExtendsTheWhereClause) {
  auto p = open(u"select id,name,age,dept from t", u"编号,姓名,年龄,部门",
                "action=update&id=7&name=Tom&age=1");
  setCodes(p, u"id;name;age;select deptName,deptID from dept");
  p->DebugMode();
  dispForm(p, u"update");
  EXPECT_EQ(utf8(p.take()),
            utf8(hidden(u"##调试信息:进入调试模式<br>\r\n") + kTTypes + formHead(u"update") +
                 keyField(u"7") + kRowStart + label(u"姓名") + textBox(u"name", u"O&#39;Brien") +
                 label(u"年龄") + textBox(u"age", u"30") + kRowEnd + kRowStart + label(u"部门") +
                 u"<select name='dept' ><option value='1'>销售部</option><option value='2' "
                 u"selected >技术部</option><option value='3'>财务部</option></select></td>\r\n" +
                 kEmptyCell + formFoot(u"修改") + hidden(u"##调试信息:DisplayForm OK!<br>\r\n") +
                 hidden(u"#StrSQL=select id,name,age,dept from t  where id=7<br>\r\n")));

  // The rest of the page sees the key condition and the loaded values: an update written
  // from them keeps the stored apostrophe.
  p->Update();
  EXPECT_EQ(utf8(p.take()),
            utf8(kTTypes +
                 hidden(u" update t set name='O''Brien',age=30,dept=2  where id=7 and id = 7")));
  EXPECT_EQ(rows(db, u"select id,name,age,dept from t"),
            std::vector<std::string>{"7|O'Brien|30|2"});
}

TEST_F(EntryFormTest, UpdateFormOfAMissingRowKeepsTheRequestValues) {
  auto p = open(u"select id,name,age,dept from t", u"编号,姓名,年龄,部门",
                "action=update&id=99&name=Tom&age=5");
  dispForm(p, u"update");
  EXPECT_EQ(utf8(p.output()), utf8(kTTypes + formHead(u"update") + keyField(u"99") + kRowStart +
                                   label(u"姓名") + textBox(u"name", u"Tom") + label(u"年龄") +
                                   textBox(u"age", u"5") + kRowEnd + kRowStart + label(u"部门") +
                                   textBox(u"dept", u"") + kEmptyCell + formFoot(u"修改")));
}

TEST_F(EntryFormTest, SearchFormStartsEveryDropDownWithAnEmptyOption) {
  auto p = open(kPersonSQL, kPersonCaptions, "action=search&dept=2&kind=B");
  setCodes(p, u"id;name;select deptName,deptID from dept;select kindName,kindCode from kind");
  dispForm(p, u"search");
  // The request's text 2 does not mark the integer code 2; the text B marks the text code B.
  EXPECT_EQ(utf8(p.output()),
            utf8(hidden(u"id:3<br>") + hidden(u"name:200<br>") + hidden(u"dept:3<br>") +
                 hidden(u"kind:200<br>") + formHead(u"search") + keyField(u"") + kRowStart +
                 label(u"姓名") + textBox(u"name", u"") + label(u"部门") +
                 u"<select name='dept' ><option></option><option value='1'>销售部</option>"
                 u"<option value='2'>技术部</option><option value='3'>财务部</option></select>"
                 u"</td>\r\n" +
                 kRowEnd + kRowStart + label(u"类别") +
                 u"<select name='kind' ><option></option><option value='A'>正式</option><option "
                 u"value='B' selected >临时</option></select></td>\r\n" +
                 kEmptyCell + formFoot(u"查询")));
}

TEST_F(EntryFormTest, DateFieldsGetCalendarButtonsAndTheScriptOnce) {
  auto session = std::make_shared<asp::Session>();
  session->set(u"sc_curdate", Variant(u"2026-12-08"));
  auto p = open(u"select id,title,starts,ends from ev", u"编号,标题,开始,结束",
                "action=insert&ends=2026-12-31", session);
  dispForm(p, u"insert");
  auto dateBox = [](TextView name, TextView value, TextView n) {
    return u"<input type='text' name='" + Text(name) + u"' value='" + Text(value) +
           u"' size=14><IMG align=top height=25 id=Cal" + Text(n) + u"  onclick= \"ShowCal(Cal" +
           Text(n) + u".offsetLeft + 20, Cal" + Text(n) + u".offsetTop , '" + Text(name) +
           u"');\"  onmouseover=keepCal(); src=\"../Images/dropdown.gif\" width=27 "
           u"style=\"POSITION: absolute;\"> </td>\r\n";
  };
  EXPECT_EQ(utf8(p.output()),
            utf8(hidden(u"id:3<br>") + hidden(u"title:200<br>") + hidden(u"starts:135<br>") +
                 hidden(u"ends:135<br>") + formHead(u"insert") + keyField(u"") + kRowStart +
                 label(u"标题") + textBox(u"title", u"") + label(u"开始") +
                 dateBox(u"starts", u"2026-12-08", u"1") + kRowEnd + kRowStart + label(u"结束") +
                 dateBox(u"ends", u"2026-12-31", u"2") + kEmptyCell + formFoot(u"添加") +
                 u"<Script language=\"javascript\" src=\"../Include/Calendar.js\"></Script>\r\n"
                 u"<DIV id=calendar onmouseover=keepCal(); style=\"POSITION: absolute; "
                 u"VISIBILITY: hidden; Z-INDEX: 200\"></DIV>\r\n"));
}

TEST_F(EntryFormTest, AStoredDateIsShownAsTextAndAStoredNullIsNotDefaulted) {
  db.run(u"insert into ev values(1, 'Meet', '2026-12-08 09:30:00', null)");
  auto session = std::make_shared<asp::Session>();
  session->set(u"sc_curdate", Variant(u"2026-12-24"));
  auto p = open(u"select id,title,starts,ends from ev", u"编号,标题,开始,结束",
                "action=update&id=1", session);
  p->CloseDNA();  // the types and the row are read through connections of their own
  dispForm(p, u"update");
  const std::string out = utf8(p.output());
  EXPECT_NE(out.find("name='starts' value='2026-12-08 09:30:00' size=14>"), std::string::npos);
  EXPECT_NE(out.find("name='ends' value='' size=14>"), std::string::npos);
}

TEST_F(EntryFormTest, ACodedColumnFixedByTheWhereClauseIsShownAsText) {
  auto p = open(u"select id,name,dept from t where dept=2", u"编号,姓名,部门", "action=insert");
  setCodes(p, u"id;name;select deptName,deptID from dept");
  dispForm(p, u"insert");
  EXPECT_EQ(
      utf8(p.output()),
      utf8(hidden(u"id:3<br>") + hidden(u"name:200<br>") + hidden(u"dept:3<br>") +
           formHead(u"insert") + keyField(u"") + kRowStart + label(u"姓名") +
           textBox(u"name", u"") + label(u"部门") +
           u"技术部<input type='hidden' name='dept' value='2'>" + kRowEnd + formFoot(u"添加")));
}

TEST_F(EntryFormTest, InsertTwoEmptiesEveryValue) {
  auto p =
      open(u"select id,name,age from t", u"编号,姓名,年龄", "action=insert2&id=3&name=Tom&age=5");
  dispForm(p, u"insert2");
  EXPECT_EQ(utf8(p.output()), utf8(kThreeTypes + formHead(u"insert2") + keyField(u"") + kRowStart +
                                   label(u"姓名") + textBox(u"name", u"") + label(u"年龄") +
                                   textBox(u"age", u"") + kRowEnd + formFoot(u"添加")));
}

TEST_F(EntryFormTest, AnUnknownActionHasBareButtonsAndTheArgumentIsNotTheProperty) {
  // Actions compare case-sensitively: "Update" is none of the known ones.
  auto p = open(u"select id,name,age from t", u"编号,姓名,年龄", "action=list&id=7&name=Ann");
  dispForm(p, u"Update");
  EXPECT_EQ(utf8(p.take()), utf8(kThreeTypes + formHead(u"Update") + keyField(u"7") + kRowStart +
                                 label(u"姓名") + textBox(u"name", u"Ann") + label(u"年龄") +
                                 textBox(u"age", u"") + kRowEnd + formFoot(u"")));

  // The property says list; the argument decides, and the property stays.
  dispForm(p, u"update");
  EXPECT_NE(utf8(p.take()).find("value='O&#39;Brien'"), std::string::npos);
  EXPECT_EQ(p->strAction, u"list");
}

TEST_F(EntryFormTest, AnUpdateFormRefusesAKeyThatIsNotAPlainInteger) {
  db.run(u"insert into t values(8, 'Bob', 40, 3)");
  for (const std::string key :
       {"7%20or%201%3D1", "7%3B%20delete%20from%20t", "1)%20--", "", "%20", "7.5", "0x7"}) {
    SCOPED_TRACE(key);
    auto p =
        open(u"select id,name,age,dept from t", u"编号,姓名,年龄,部门", "action=update&id=" + key);
    EXPECT_EQ(errorOf([&] { dispForm(p, u"update"); }), automation::hr::kTypeMismatch);
    EXPECT_EQ(utf8(p.output()), utf8(kTTypes));  // no form

    // strWhere was left alone: a plain key afterwards reaches its own row only.
    p->nItemKeyValue = Variant(u" 8 ");
    p->Delete();
    EXPECT_EQ(rows(db, u"select id from t"), std::vector<std::string>{"7"});
    db.run(u"insert into t values(8, 'Bob', 40, 3)");
  }
}

}  // namespace
}  // namespace dna_test
