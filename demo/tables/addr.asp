<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/table_page.inc"-->
<%
showTablePage({
  title: "地点",
  sql: "select planAddrID,planAddrName,planAddrTypeID from planAddr order by planAddrTypeID",
  captions: "编号,地点名称,地点类别",
  codes: "planAddrID;planAddrName;select planAddrTypeName,planAddrTypeID from planAddrType"
});
%>
