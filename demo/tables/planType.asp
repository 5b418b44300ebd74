<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/table_page.inc"-->
<%
showTablePage({
  title: "计划类型",
  sql: "select planTypeID,planTypeName from planType order by planTypeID",
  captions: "编号,类型名称"
});
%>
