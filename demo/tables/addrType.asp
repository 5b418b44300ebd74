<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/table_page.inc"-->
<%
// Place kinds colour the schedule views (sch1 … sch5 in the style sheet).
showTablePage({
  title: "地点类别",
  sql: "select planAddrTypeID,planAddrTypeName from planAddrType order by planAddrTypeID",
  captions: "编号,类别名称"
});
%>
