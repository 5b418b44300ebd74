#include "dna_fixture.h"

namespace dna_test {
namespace {

constexpr char16_t kCodes[] =
    u"id;name;select deptName,deptID from dept;select kindName,kindCode from kind";

// Expected texts, composed from the literal pieces of the list.
Text pageBarHead(TextView url) {
  return u"<script>function gotoPage(page){ \r\n"
         u" eval(\"document.location='" +
         Text(url) +
         u"?action=list&page=\"+page.options[page.selectedIndex].value+\" '\");}</script>\r\n"
         u"<div id=page><table cellspading=0 width=100%><tr>\r\n"
         u"<td nowrap><div id=ctrlDiv><table class=Page><tr>";
}

Text pageBarTail(int pages, int current, int records) {
  Text s =
      u"</tr></table></div></td>\r\n<td width=100%>&nbsp;</td>\r\n"
      u"<td nowrap>第<select id=ctrlDiv name=page onChange='gotoPage(this);return false;'> "
      u"\r\n";
  for (int i = 1; i <= pages; ++i) {
    const Text n = automation::toText(Variant(i));
    s +=
        u"<option value=" + n + (i == current ? u" selected " : u"") + u" >" + n + u"</option>\r\n";
  }
  const auto num = [](int v) { return automation::toText(Variant(v)); };
  return s + u"</select><span id=npage style='display:none'>" + num(current) + u"</span>页 共" +
         num(pages) + u"页 共" + num(records) + u"项</td>\r\n" +
         u"</table><span id=updateID></span><span id=deleteID></span> </div>\r\n";
}

Text row(int n, TextView key, std::initializer_list<const char16_t*> cells) {
  const Text num = automation::toText(Variant(n));
  Text s = u"<tr>\r\n<td align=center nowrap><a href='/list.asp?action=update&id=" + Text(key) +
           u"' id=updateID style='display:none'><img src='images/edit.gif'height=16 width=16 "
           u"border=0  alt=' 修 改 ?'></a><a href='/list.asp?action=delete&id=" +
           Text(key) +
           u"' id=deleteID style='display:none' onclick=\"return confirm('真的要删除第 " + num +
           u" 条记录？');\"><img src='images/delete.gif'height=16 width=16 border=0  "
           u"alt='删 除 ?'></a> " +
           num + u"</td>";
  for (const char16_t* c : cells) s += u"<td>" + Text(c) + u"&nbsp;</td>\r\n";
  return s + u"</tr>\r\n";
}

const Text kHeaderAll =
    u"<table class=tbl cellSpacing=0>\r\n<tr><th nowrap>序号</th>"
    u"<th nowrap><a href='/list.asp?action=list&page=1&order=id'>编号</a></th>"
    u"<th nowrap><a href='/list.asp?action=list&page=1&order=name'>姓名</a></th>"
    u"<th nowrap><a href='/list.asp?action=list&page=1&order=dept'>部门</a></th>"
    u"<th nowrap><a href='/list.asp?action=list&page=1&order=kind'>类别</a></th></tr>\r\n";

const Text kFooter = u"</table>\r\n";

auto codedList = [](dna::DNA& d) {
  Variant codes(kCodes);
  d.SetCodeSQL(codes);
  d.DispList();
};

class ListView : public ::testing::Test {
 protected:
  Text list(std::string query) { return request(db, session, std::move(query), codedList); }

  FixtureDb db;
  std::shared_ptr<asp::Session> session;
};

TEST_F(ListView, FirstPage) {
  const Text expected =
      pageBarHead(u"/list.asp") + u"<td nowrap>第一页</td><td nowrap>上一页</td>" +
      u"<td nowrap><a href='/list.asp?action=list&page=2'>下一页</a></td>" +
      u"<td nowrap><a href='/list.asp?action=list&page=3'>最末页</a></td>" +
      u"<td nowrap><a href='/list.asp?action=listall&page=1'>>>全部</a></td>" +
      pageBarTail(3, 1, 5) + kHeaderAll + row(1, u"1", {u"1", u"张三", u"销售部", u"正式"}) +
      row(2, u"2", {u"2", u"李四", u"技术部", u"临时"}) + kFooter;
  EXPECT_EQ(list("pageSize=2"), expected);
  EXPECT_EQ(automation::joinText(session->get(u"strSQL")),
            u"select id,name,dept,kind from person ");
}

TEST_F(ListView, MiddlePageNumbersRowsAcrossPages) {
  list("pageSize=2");
  const Text expected = pageBarHead(u"/list.asp") +
                        u"<td nowrap><a href='/list.asp?action=list&page=1'>第一页</a></td>" +
                        u"<td nowrap><a href='/list.asp?action=list&page=1'>上一页</a></td>" +
                        u"<td nowrap><a href='/list.asp?action=list&page=3'>下一页</a></td>" +
                        u"<td nowrap><a href='/list.asp?action=list&page=3'>最末页</a></td>" +
                        u"<td nowrap><a href='/list.asp?action=listall&page=1'>>>全部</a></td>" +
                        pageBarTail(3, 2, 5) + kHeaderAll +
                        row(3, u"3", {u"3", u"王五", u"销售部", u"正式"}) +
                        row(4, u"4", {u"4", u"赵六", u"财务部", u"临时"}) + kFooter;
  EXPECT_EQ(list("action=list&page=2"), expected);
}

TEST_F(ListView, LastPageSortedWithNullCode) {
  list("pageSize=2");
  const Text header =
      u"<table class=tbl cellSpacing=0>\r\n<tr><th nowrap>序号</th>"
      u"<th nowrap><a href='/list.asp?action=list&page=1&order=id'>编号</a></th>"
      u"<th nowrap><a href='/list.asp?action=list&page=1&order=name'>姓名 <span "
      u"id=ctrlDiv><font size=-2>▲</font></span></a></th>"
      u"<th nowrap><a href='/list.asp?action=list&page=1&order=dept'>部门</a></th>"
      u"<th nowrap><a href='/list.asp?action=list&page=1&order=kind'>类别</a></th></tr>\r\n";
  const Text expected = pageBarHead(u"/list.asp") +
                        u"<td nowrap><a href='/list.asp?action=list&page=1'>第一页</a></td>" +
                        u"<td nowrap><a href='/list.asp?action=list&page=2'>上一页</a></td>" +
                        u"<td nowrap>下一页</td><td nowrap>最末页</td>" +
                        u"<td nowrap><a href='/list.asp?action=listall&page=1'>>>全部</a></td>" +
                        pageBarTail(3, 3, 5) + header +
                        row(5, u"4", {u"4", u"赵六", u"财务部", u"临时"}) + kFooter;
  EXPECT_EQ(list("action=list&page=3&order=name"), expected);
  // Descending primary, ascending secondary; the null department is shown as nothing.
  const Text page1 = list("action=list&page=1&order=name");
  EXPECT_NE(page1.find(row(1, u"4", {u"4", u"赵六", u"财务部", u"临时"})), Text::npos);
  const Text byDept = list("action=list&page=1&order=dept");
  EXPECT_NE(byDept.find(u"姓名 <span id=ctrlDiv><font size=-2>▽</font></span>"), Text::npos);
  EXPECT_NE(byDept.find(u"部门 <span id=ctrlDiv><font size=-2>▲</font></span>"), Text::npos);
  EXPECT_NE(byDept.find(row(1, u"5", {u"5", u"孙七", u"", u"正式"}) +
                        row(2, u"3", {u"3", u"王五", u"销售部", u"正式"})),
            Text::npos);
  const Text byDeptDesc = list("action=list&page=1&order=dept");
  EXPECT_NE(byDeptDesc.find(u"部门 <span id=ctrlDiv><font size=-2>▼</font></span>"), Text::npos);
  const Text byKind = list("action=list&page=1&order=kind");
  EXPECT_NE(byKind.find(u"部门 <span id=ctrlDiv><font size=-2>▽</font></span>"), Text::npos);
  const Text byName = list("action=list&page=1&order=name");
  EXPECT_NE(byName.find(u"类别 <span id=ctrlDiv><font size=-2>△</font></span>"), Text::npos);
  EXPECT_EQ(automation::joinText(session->get(u"strSQL")),
            u"select id,name,dept,kind from person  order by name,kind");
}

TEST_F(ListView, ListAllAndBackToPages) {
  list("pageSize=2");
  const Text expected =
      pageBarHead(u"/list.asp") + u"<td nowrap>第一页</td><td nowrap>上一页</td>" +
      u"<td nowrap>下一页</td><td nowrap>最末页</td>" +
      u"<td nowrap><a href='/list.asp?action=list&page=1'>>>分页</a></td>" + pageBarTail(1, 1, 5);
  const Text out = list("action=listall&page=1");
  EXPECT_EQ(out.substr(0, expected.size()), expected);
  EXPECT_NE(out.find(u"<a href='/list.asp?action=listall&page=1&order=name'>姓名</a>"), Text::npos);
  EXPECT_NE(out.find(row(5, u"5", {u"5", u"孙七", u"", u"正式"}) + kFooter), Text::npos);
}

TEST_F(ListView, ShowAllLinkOnlyWhenRowsExceedThePageSize) {
  EXPECT_EQ(list("pageSize=5").find(u">>全部"), Text::npos);
  EXPECT_NE(list("pageSize=4").find(u">>全部"), Text::npos);
}

TEST_F(ListView, EmptyResult) {
  list("pageSize=2");
  session->set(u"strSearch", u"name='nobody' ");
  const Text expected =
      pageBarHead(u"/list.asp") + u"<td nowrap>第一页</td><td nowrap>上一页</td>" +
      u"<td nowrap>下一页</td><td nowrap>最末页</td>" + pageBarTail(0, 1, 0) +
      u"<table class=tbl cellSpacing=0>\r\n<tr><th nowrap>序号</th>"
      u"<th nowrap><a href='/list.asp?action=list&page=1&order=name'>姓名</a></th>"
      u"<th nowrap><a href='/list.asp?action=list&page=1&order=kind'>类别</a></th></tr>\r\n"
      u"<tr><td colspan=3 align=center>无记录</td></tr>" +
      kFooter;
  EXPECT_EQ(list("action=list&page=1&choseItem=name,kind"), expected);
  EXPECT_EQ(automation::joinText(session->get(u"strSQL")),
            u"select id,name,dept,kind from person  where name='nobody'  ");
}

TEST_F(ListView, PagePastTheLastShowsNoRecords) {
  list("pageSize=2");
  const Text expected = pageBarHead(u"/list.asp") +
                        u"<td nowrap><a href='/list.asp?action=list&page=1'>第一页</a></td>" +
                        u"<td nowrap><a href='/list.asp?action=list&page=8'>上一页</a></td>" +
                        u"<td nowrap>下一页</td><td nowrap>最末页</td>" +
                        u"<td nowrap><a href='/list.asp?action=listall&page=1'>>>全部</a></td>" +
                        pageBarTail(3, 9, 5) + kHeaderAll +
                        u"<tr><td colspan=5 align=center>无记录</td></tr>" + kFooter;
  EXPECT_EQ(list("action=list&page=9"), expected);

  // Page 0 is handed to the recordset as it is, which refuses it before anything is written.
  DnaPage zero("action=list&page=0", session);
  zero.open(db);
  EXPECT_THROW(zero->DispList(), automation::AutomationError);
  EXPECT_EQ(zero.output(), u"");
}

TEST_F(ListView, ChosenColumnsFilterHeaderAndRows) {
  list("pageSize=1");
  // Checked boxes arrive joined by ", ".
  const Text out = list("page=1&choseItem=name&choseItem=kind");
  EXPECT_NE(out.find(u"<th nowrap>序号</th><th nowrap><a href='/list.asp?action=list&page=1&"
                     u"order=name'>姓名</a></th><th nowrap><a href='/list.asp?action=list&page=1&"
                     u"order=kind'>类别</a></th></tr>"),
            Text::npos);
  EXPECT_NE(out.find(row(1, u"1", {u"张三", u"正式"})), Text::npos);
}

// A code met again shows the name its own column's lookup gave it: the same code in another
// column with another lookup, or after the lookup table changed between two lists, does not.
TEST_F(ListView, RepeatedCodesKeepToTheirColumnAndTheirList) {
  list("pageSize=10");
  const auto lookups = [](dna::DNA& d) {
    Variant codes(
        u"select deptName,deptID from dept where used=1;name;"
        u"select deptName,deptID from dept;kind");
    d.SetCodeSQL(codes);
    d.DispList();
  };
  const Text out = request(db, session, "page=1", lookups);
  EXPECT_NE(out.find(row(1, u"1", {u"销售部", u"张三", u"销售部", u"A"}) +
                     row(2, u"2", {u"技术部", u"李四", u"技术部", u"B"}) +
                     row(3, u"3", {u"", u"王五", u"销售部", u"A"}) +
                     row(4, u"4", {u"", u"赵六", u"财务部", u"B"}) +
                     row(5, u"5", {u"", u"孙七", u"", u"A"})),
            Text::npos);

  DnaPage page("page=1", session);
  page.open(db);
  lookups(page.dna());
  db.run(u"update dept set deptName='市场部' where deptID=1");
  page.take();
  page->DispList();
  EXPECT_NE(page.take().find(row(3, u"3", {u"", u"王五", u"市场部", u"A"})), Text::npos);
}

TEST_F(ListView, DebugTraceAndOverflow) {
  list("pageSize=2");
  DnaPage page("action=list&page=1", session);
  page.open(db);
  page->DebugMode();
  page.take();
  page->DispList();
  const Text out = page.take();
  const Text sqlTrace = hidden(u"SQL:select id,name,dept,kind from person ");
  EXPECT_EQ(out.substr(0, sqlTrace.size()), sqlTrace);
  const Text done = hidden(u"##调试信息:DispList OK!<br>\r\n");
  EXPECT_EQ(out.substr(out.size() - done.size()), done);

  // Listing all rows on page 18: the first row number leaves the 16-bit range.
  DnaPage overflow("action=listall&page=18", session);
  overflow.open(db);
  try {
    overflow->DispList();
    ADD_FAILURE() << "no overflow";
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(e.code(), automation::hr::kOverflow);
  }
}

}  // namespace
}  // namespace dna_test
