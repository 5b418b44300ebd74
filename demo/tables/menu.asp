<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/table_page.inc"-->
<%
// The parent is a plain number: a top-level item has none, which a drop-down list of items
// could not leave empty. No where clause: the statement's reader looks for the word "order"
// from the start, and would find it in menuOrder before the where clause.
showTablePage({
  title: "菜单设置",
  sql: "select menuID,menuName,menuFatherID,menuOrder,menuURL,systemID from menu" +
       " order by menuFatherID,menuOrder",
  captions: "编号,菜单名称,上级编号,顺序,页面地址,系统",
  codes: "menuID;menuName;menuFatherID;menuOrder;menuURL;select systemName,systemID from system"
});
%>
