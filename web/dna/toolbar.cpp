// Page furniture: the toolbar with its show-and-hide script, the style-sheet link, the title
// and the default column choice. The script toggles the elements the list marks with the ids
// updateID, deleteID, debugID, ctrlDiv and npage. The title is the page's own; the URL is
// encoded for the quoted attributes of the links.
#include <array>

#include "dna/dna.h"
#include "frame/html_encoding.h"

namespace dna {

using automation::differs;
using automation::joinText;

namespace {

// Hover attributes of every button; they begin and end with a space.
constexpr char16_t kHover[] =
    u" onmouseover=\"this.className='a2';\" onmouseout=\"this.className='';\" ";

constexpr std::array<const char16_t*, 31> kScript = {
    u"<script language='javascript'>",
    u"var updateFlag,deleteFlag,debugFlag;",
    u"function printPage(){ var arr_ctrlDiv=document.all('ctrlDiv');  "
    u"for(i=0;i<arr_ctrlDiv.length;i++)arr_ctrlDiv(i).style.display='none'; "
    u"npage.style.display='';if(confirm('打印本页?'))window.print(); "
    u"for(i=0;i<arr_ctrlDiv.length;i++)arr_ctrlDiv(i).style.display='';npage.style.display='none'; "
    u"}",
    u" updateFlag=false;deleteFlag=false;",
    u"function show_update(){",
    u"   updateFlag=!updateFlag;",
    u"   var arr_updateID=document.all('updateID'); ",
    u"   for (i=0;i<arr_updateID.length;i++){",
    u"       if(updateFlag)arr_updateID(i).style.display='';",
    u"       else  arr_updateID(i).style.display='none';",
    u"   }",
    u"   if(updateFlag&&deleteFlag)show_delete();",
    u"}",
    u"function show_debug(){",
    u"   debugFlag=!debugFlag;",
    u"   var arr_debugID=document.all('debugID'); ",
    u"   for (i=0;i<arr_debugID.length;i++){",
    u"       if(debugFlag)arr_debugID(i).style.display='';",
    u"       else  arr_debugID(i).style.display='none';",
    u"   }",
    u"}",
    u"function show_delete()",
    u"{",
    u"   deleteFlag=!deleteFlag;",
    u"   var arr_deleteID=document.all('deleteID');",
    u"   for (i=0;i<arr_deleteID.length;i++){",
    u"       if(deleteFlag)arr_deleteID(i).style.display='';",
    u"       else arr_deleteID(i).style.display='none';",
    u"   }",
    u"   if(updateFlag&&deleteFlag)show_update();",
    u"}</script>",
};

bool isListAction(TextView action) {
  return action == u"listall" || action == u"list" || action == u"search2" ||
         action == u"setcol2" || action == u"update2";
}

// The list pages get the whole toolbar, the form pages a return link only.
Text buttons(TextView url, TextView action) {
  const Text u(url);
  const Text m(kHover);
  if (!isListAction(action)) {
    return u" <td nowrap><a href='" + u + u"?action=list'title='列表显示' " + m +
           u">返回</a></td>" + kCrLf;
  }
  Text s;
  s += u" <td nowrap><a href='" + u + u"?action=insert'" + m + u" >添加</a></td>" + kCrLf;
  s += u" <td nowrap onclick=show_update();title='请选择要修改的项'><a style='cursor:hand;' " + m +
       u" >修改</a></td>" + kCrLf;
  s += u" <td nowrap onclick=show_delete();title='请选择要删除的项'><a style='cursor:hand;'" + m +
       u" >删除</a></td>" + kCrLf;
  s += u" <td nowrap><a href='" + u + u"?action=search'title='进入组合查询'" + m +
       u" >查询</a></td>" + kCrLf;
  s += u" <td nowrap><a href='" + u + u"?action=setcol'title='设置页面选择格式'" + m +
       u" >设置</a></td>" + kCrLf;
  s += u" <td nowrap><a href='" + u + u"?action=list'title='列表显示'" + m + u" >列表</a></td>" +
       kCrLf;
  s += u" <td nowrap onclick=printPage();title='打印预览与打印' ><a style='cursor:hand;'" + m +
       u" >打印</a></td>" + kCrLf;
  return s;
}

}  // namespace

void DNA::DispMenu() {
  Text s = Text(u"<table cellspading=0 cellspacing=4 width=100%><tr>") + kCrLf;
  s += u"<td width=100% class=title>" + strTitle + u"&nbsp;</td><td nowrap>" + kCrLf;
  s += Text(u"<div id=ctrlDiv><table  class=menu><tr nowrap>") + kCrLf;
  s += buttons(frame::htmlAttribute(strURL), strAction);
  if (bDebug) {
    s += u" <td nowrap onclick=show_debug();title='显示隐藏调试信息'><a style='cursor:hand;'" +
         Text(kHover) + u" >调试信息</a></td>" + kCrLf;
  }
  s += Text(u"</tr nowrap></table></div>") + kCrLf;
  s += Text(u"</td nowrap></tr></table>") + kCrLf;
  for (const char16_t* line : kScript) s += Text(line) + kCrLf;
  page_.response().write(s);
  debugTrace(Text(u"##调试信息:DispMenu OK!<br>") + kCrLf);
}

void DNA::SetDispStyle(Variant&) {
  page_.response().write(
      u"<link rel=\"stylesheet\" href=\"../include/style.css\" type=\"text/css\">");
}

void DNA::SetTitle(Variant& Title) { strTitle = automation::toText(Title); }

// Only on arrival from another page: a repeated request of this page keeps the user's choice.
void DNA::SetDefaultItem(Variant& strDefault) {
  if (differs(session(u"strURL"), Variant(strURL)) && differs(strDefault, Variant(u""))) {
    setSession(u"strItemChose", strDefault);
  }
  if (!bDebug) return;
  trace(Text(u"##调试信息:SetDefaultItem OK!<br>") + kCrLf);
  trace(u"#Session(strItemChose):" + frame::htmlText(joinText(session(u"strItemChose"))) + u"<br>" +
        kCrLf);
}

}  // namespace dna
