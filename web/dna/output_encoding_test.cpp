// Values from the database and the request, written the way an attacker would store or send
// them: each lands in the page as text of the element, attribute or script literal it stands
// in, never as markup of its own.
#include <gtest/gtest.h>

#include "dna/form_fixture.h"

namespace dna_test {
namespace {

class OutputEncoding : public ::testing::Test {
 protected:
  std::string list(std::string query, TextView sql, TextView codes = u"") {
    const Text out = request(
        db, session, std::move(query),
        [&](dna::DNA& d) {
          if (!codes.empty()) {
            Variant v(codes);
            d.SetCodeSQL(v);
          }
          d.DispList();
        },
        sql);
    return utf8(out);
  }

  FixtureDb db;
  std::shared_ptr<asp::Session> session;
};

TEST_F(OutputEncoding, StoredMarkupInTheListIsText) {
  db.run(u"insert into dept values('<img src=x onerror=alert(2)>', 4, 1)");
  db.run(
      u"insert into person values(6,'<script>alert(document.domain)</script>',4,'A'),"
      u"(7,'<img src=x onerror=alert(1)>',1,'B')");
  const std::string out = list("page=2&pageSize=5", u"select id,name,dept from person",
                               u"id;name;select deptName,deptID from dept");
  EXPECT_NE(out.find("<td>&lt;script>alert(document.domain)&lt;/script>&nbsp;</td>\r\n"
                     "<td>&lt;img src=x onerror=alert(2)>&nbsp;</td>\r\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("<td>&lt;img src=x onerror=alert(1)>&nbsp;</td>\r\n<td>销售部&nbsp;</td>"),
            std::string::npos);
  EXPECT_EQ(out.find("<script>alert"), std::string::npos);
  EXPECT_EQ(out.find("<img src=x"), std::string::npos);
}

TEST_F(OutputEncoding, ReflectedMarkupInTheUpdateTraceIsText) {
  db.run(u"create table t(id integer primary key, name varchar(20), phone varchar(40))");
  DnaPage p("action=update2&id=999999&phone=%3Csvg%20onload%3Dalert(1)%3E");
  p.open(db, u"select id,name,phone from t", u"编号,姓名,电话");
  p->Update();
  EXPECT_EQ(utf8(p.output()),
            utf8(hidden(u"id:3<br>") + hidden(u"name:200<br>") + hidden(u"phone:200<br>") +
                 hidden(u" update t set phone='&lt;svg onload=alert(1)>' where id = 999999")));
}

TEST_F(OutputEncoding, RequestValuesInTheDebugTraceAreText) {
  DnaPage p("action=list&x=<svg/onload=alert(1)>&name=%3Cb%3Ex");
  p->DebugMode();
  p.open(db);
  const std::string out = utf8(p.output());
  EXPECT_NE(out.find(utf8(hidden(u"#Res:name=&lt;b>x<br>\r\n"))), std::string::npos);
  EXPECT_NE(
      out.find(utf8(hidden(u"#Querystring:action=list&x=&lt;svg/onload=alert(1)>&name=%3Cb%3Ex"
                           u"<br>\r\n"))),
      std::string::npos);
  EXPECT_EQ(out.find("<svg"), std::string::npos);
}

// A stored key with quotes stands in the quoted href of the row's links; a code and a name of a
// lookup stand in an option's quoted value and its text.
TEST_F(OutputEncoding, QuotesInAttributeValuesAreEntities) {
  db.run(u"create table c(code varchar(40) primary key, name varchar(20))");
  db.run(u"insert into c values('a'' onmouseover=''alert(1)', 'x')");
  const std::string out = list("", u"select code,name from c");
  EXPECT_NE(out.find("<a href='/list.asp?action=update&code=a&#39; onmouseover=&#39;alert(1)' "
                     "id=updateID"),
            std::string::npos)
      << out;

  db.run(u"insert into kind values('<i>临时</i>','C'' selected onclick=''x')");
  DnaPage form("action=insert");
  form.open(db);
  Variant codes(u"id;name;dept;select kindName,kindCode from kind");
  form->SetCodeSQL(codes);
  Variant action(u"insert");
  form->DispForm(action);
  EXPECT_NE(utf8(form.output())
                .find("<option value='B'>临时</option>"
                      "<option value='C&#39; selected onclick=&#39;x'>&lt;i>临时&lt;/i></option>"),
            std::string::npos)
      << utf8(form.output());
}

// The page selector's script holds the page's URL inside two nested string literals.
TEST_F(OutputEncoding, TheUrlInTheSelectorScriptStaysInsideItsLiterals) {
  DnaPage p("", nullptr, u"/x'</script><script>alert(1)//.asp");
  p.open(db);
  p->DispList();
  const std::string out = utf8(p.output());
  EXPECT_EQ(out.find("<script>function gotoPage(page){ \r\n eval(\"document.location='"
                     "/x\\\\'<\\\\/script><script>alert(1)//.asp?action=list&page=\""
                     "+page.options[page.selectedIndex].value+\" '\");}</script>\r\n"),
            0u)
      << out;
  EXPECT_NE(
      out.find("<a href='/x&#39;</script><script>alert(1)//.asp?action=list&page=1&order=id'"),
      std::string::npos);
}

}  // namespace
}  // namespace dna_test
