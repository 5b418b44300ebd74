<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/table_page.inc"-->
<%
showTablePage({
  title: "部门设置",
  sql: "select deptID,deptName from dept order by deptID",
  captions: "编号,部门名称"
});
%>
