#include "dna_fixture.h"

namespace dna_test {
namespace {

const Text kScript =
    u"<script language='javascript'>\r\n"
    u"var updateFlag,deleteFlag,debugFlag;\r\n"
    u"function printPage(){ var arr_ctrlDiv=document.all('ctrlDiv');  "
    u"for(i=0;i<arr_ctrlDiv.length;i++)arr_ctrlDiv(i).style.display='none'; "
    u"npage.style.display='';if(confirm('打印本页?'))window.print(); "
    u"for(i=0;i<arr_ctrlDiv.length;i++)arr_ctrlDiv(i).style.display='';npage.style.display='none'; "
    u"}\r\n"
    u" updateFlag=false;deleteFlag=false;\r\n"
    u"function show_update(){\r\n"
    u"   updateFlag=!updateFlag;\r\n"
    u"   var arr_updateID=document.all('updateID'); \r\n"
    u"   for (i=0;i<arr_updateID.length;i++){\r\n"
    u"       if(updateFlag)arr_updateID(i).style.display='';\r\n"
    u"       else  arr_updateID(i).style.display='none';\r\n"
    u"   }\r\n"
    u"   if(updateFlag&&deleteFlag)show_delete();\r\n"
    u"}\r\n"
    u"function show_debug(){\r\n"
    u"   debugFlag=!debugFlag;\r\n"
    u"   var arr_debugID=document.all('debugID'); \r\n"
    u"   for (i=0;i<arr_debugID.length;i++){\r\n"
    u"       if(debugFlag)arr_debugID(i).style.display='';\r\n"
    u"       else  arr_debugID(i).style.display='none';\r\n"
    u"   }\r\n"
    u"}\r\n"
    u"function show_delete()\r\n"
    u"{\r\n"
    u"   deleteFlag=!deleteFlag;\r\n"
    u"   var arr_deleteID=document.all('deleteID');\r\n"
    u"   for (i=0;i<arr_deleteID.length;i++){\r\n"
    u"       if(deleteFlag)arr_deleteID(i).style.display='';\r\n"
    u"       else arr_deleteID(i).style.display='none';\r\n"
    u"   }\r\n"
    u"   if(updateFlag&&deleteFlag)show_update();\r\n"
    u"}</script>\r\n";

const Text kHover = u" onmouseover=\"this.className='a2';\" onmouseout=\"this.className='';\" ";

const Text kMenuHead =
    u"<table cellspading=0 cellspacing=4 width=100%><tr>\r\n"
    u"<td width=100% class=title>人员维护&nbsp;</td><td nowrap>\r\n"
    u"<div id=ctrlDiv><table  class=menu><tr nowrap>\r\n";

const Text kMenuTail = u"</tr nowrap></table></div>\r\n</td nowrap></tr></table>\r\n" + kScript;

const Text kListButtons =
    u" <td nowrap><a href='/list.asp?action=insert'" + kHover + u" >添加</a></td>\r\n" +
    u" <td nowrap onclick=show_update();title='请选择要修改的项'><a style='cursor:hand;' " +
    kHover + u" >修改</a></td>\r\n" +
    u" <td nowrap onclick=show_delete();title='请选择要删除的项'><a style='cursor:hand;'" + kHover +
    u" >删除</a></td>\r\n" + u" <td nowrap><a href='/list.asp?action=search'title='进入组合查询'" +
    kHover + u" >查询</a></td>\r\n" +
    u" <td nowrap><a href='/list.asp?action=setcol'title='设置页面选择格式'" + kHover +
    u" >设置</a></td>\r\n" + u" <td nowrap><a href='/list.asp?action=list'title='列表显示'" +
    kHover + u" >列表</a></td>\r\n" +
    u" <td nowrap onclick=printPage();title='打印预览与打印' ><a style='cursor:hand;'" + kHover +
    u" >打印</a></td>\r\n";

const Text kDebugButton =
    u" <td nowrap onclick=show_debug();title='显示隐藏调试信息'><a style='cursor:hand;'" + kHover +
    u" >调试信息</a></td>\r\n";

const Text kReturnButton = u" <td nowrap><a href='/list.asp?action=list'title='列表显示' " +
                           kHover + u">返回</a></td>\r\n";

Text menu(const FixtureDb& db, std::string query, bool debug) {
  DnaPage page(std::move(query));
  page.open(db);
  if (debug) page->DebugMode();
  Variant title(u"人员维护");
  page->SetTitle(title);
  page.take();
  page->DispMenu();
  return page.take();
}

TEST(Toolbar, HoverTextIsAsLongAsItMustBe) { EXPECT_EQ(kHover.size(), 68u); }

TEST(Toolbar, ListActionsGetTheWholeToolbar) {
  FixtureDb db;
  const Text expected = kMenuHead + kListButtons + kMenuTail;
  for (const char* action : {"list", "listall", "search2", "setcol2", "update2"}) {
    SCOPED_TRACE(action);
    EXPECT_EQ(menu(db, std::string("action=") + action, false), expected);
  }
  EXPECT_EQ(menu(db, "", false), expected);  // no action is a list
}

TEST(Toolbar, DebugAddsItsButtonAndTrace) {
  FixtureDb db;
  EXPECT_EQ(menu(db, "action=list", true), kMenuHead + kListButtons + kDebugButton + kMenuTail +
                                               hidden(u"##调试信息:DispMenu OK!<br>\r\n"));
  EXPECT_EQ(menu(db, "action=insert", true), kMenuHead + kReturnButton + kDebugButton + kMenuTail +
                                                 hidden(u"##调试信息:DispMenu OK!<br>\r\n"));
}

TEST(Toolbar, FormActionsGetTheReturnLink) {
  FixtureDb db;
  for (const char* action : {"insert", "update", "search", "setcol", "LIST"}) {
    SCOPED_TRACE(action);
    EXPECT_EQ(menu(db, std::string("action=") + action, false),
              kMenuHead + kReturnButton + kMenuTail);
  }
}

TEST(Toolbar, EmptyTitleAndNoOpenDNA) {
  DnaPage page;
  page->DispMenu();
  const Text head =
      u"<table cellspading=0 cellspacing=4 width=100%><tr>\r\n<td width=100% class=title>&nbsp;"
      u"</td><td nowrap>\r\n<div id=ctrlDiv><table  class=menu><tr nowrap>\r\n";
  // Before OpenDNA the action is empty: a form page, linking back to an empty address.
  EXPECT_EQ(page.output(), head + u" <td nowrap><a href='?action=list'title='列表显示' " + kHover +
                               u">返回</a></td>\r\n" + kMenuTail);
}

TEST(Toolbar, StyleSheetLink) {
  DnaPage page;
  Variant anything(3);
  page->SetDispStyle(anything);
  EXPECT_EQ(page.output(),
            u"<link rel=\"stylesheet\" href=\"../include/style.css\" type=\"text/css\">");
  EXPECT_EQ(page.output().size(), 67u);
}

TEST(Toolbar, DefaultItemOnlyOnArrival) {
  FixtureDb db;
  std::shared_ptr<asp::Session> session;
  auto setDefault = [](const char16_t* value) {
    return [value](dna::DNA& d) {
      Variant v(value);
      d.SetDefaultItem(v);
    };
  };
  request(db, session, "", setDefault(u"name,dept"));
  EXPECT_EQ(session->get(u"strItemChose").text(), u"name,dept");
  request(db, session, "page=1&choseItem=kind", setDefault(u"name,dept"));
  EXPECT_EQ(session->get(u"strItemChose").text(), u"kind");  // the user's own choice stays
  session->set(u"strURL", u"/other.asp");
  request(db, session, "", setDefault(u""));
  EXPECT_EQ(session->get(u"strItemChose").text(), u"id,name,dept,kind");

  DnaPage page("", session);
  page.open(db);
  page->DebugMode();
  page.take();
  Variant v(u"name");
  page->SetDefaultItem(v);
  EXPECT_EQ(page.take(), hidden(u"##调试信息:SetDefaultItem OK!<br>\r\n") +
                             hidden(u"#Session(strItemChose):id,name,dept,kind<br>\r\n"));
}

TEST(Toolbar, PageObjectsAreNeededAfterPageEnd) {
  DnaPage page;
  page.end();
  try {
    page->DispMenu();
    ADD_FAILURE() << "no error";
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(e.code(), automation::hr::kObjectNotSet);
  }
}

}  // namespace
}  // namespace dna_test
