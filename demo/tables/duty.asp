<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/table_page.inc"-->
<%
// The leader views list persons in the order of their duty's number: smaller is higher.
showTablePage({
  title: "职务设置",
  sql: "select dutyID,dutyName from personDuty order by dutyID",
  captions: "编号(级别),职务名称"
});
%>
