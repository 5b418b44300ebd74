<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/conn.inc"-->
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>人员管理</title>
<script src="../include/compat.js"></script>
<%
var dna = Server.CreateObject("balance.DNA");
dna.SetDispStyle(0);
%>
</head>
<body>
<%
dna.OpenDNA(connStr,
            "select id,name,sex,deptID,birthday,phone,email from person order by id",
            "编号,姓名,性别,部门,出生日期,电话,电子邮件");
dna.SetCodeSQL("id;name;sex;select deptName,deptID from dept;birthday;phone;email");
dna.SetTitle("人员管理");
dna.DispMenu();
var action = String(dna.strAction);
switch (action) {
  case "insert":
  case "update":
  case "search":
    dna.DispForm(action);
    break;
  case "insert2":
    dna.Insert();
    dna.DispForm(action);
    break;
  case "update2":
    dna.Update();
    dna.DispList();
    break;
  case "search2":
    dna.search();
    dna.DispList();
    break;
  case "delete":
    dna.Delete();
    dna.DispList();
    break;
  case "setcol":
    dna.DispSetColumns();
    break;
  default:
    dna.DispList();
}
dna.CloseDNA();
%>
</body>
</html>
