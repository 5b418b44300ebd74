<%@ Language="JScript" CodePage=65001 %>
<!--#include file="include/guard.inc"-->
<%
// The frame: banner, the signed-in person's menu as an outlook bar, and the content frame.
// The access list is read again here, so rights an administrator changed show at the next visit.
var permission = Server.CreateObject("balance.Permission");
permission.openDB(connStr);
permission.GetPersonAccess();
var who = firstRow("select personName,deptName,dutyName,person.deptID as deptID from person" +
                   " left join dept on dept.deptID=person.deptID" +
                   " left join personDuty on personDuty.dutyID=person.dutyID" +
                   " where personID=" + me.personID,
                   ["personName", "deptName", "dutyName", "deptID"]);

function jsText(v) {
  return "'" + text(v).replace(/\\/g, "\\\\").replace(/'/g, "\\'").replace(/</g, "\\x3c") + "'";
}

// Menu script lines: a bar per first-level item; a second-level item with children becomes a
// heading over its third-level items, one without children an item of its own.
function menuScript() {
  var lines = [];
  if (!isAdministrator() && text(Session("personAccess")) === "") return lines;
  var first = Server.CreateObject("ADODB.Recordset");
  permission.GetMenu1(first);
  for (; !first.EOF; first.MoveNext()) {
    lines.push("t=outlookbar.addtitle(" + jsText(first("menuName").Value) + ");");
    var second = permission.GetMenu23(first("menuID").Value);
    for (; !second.EOF; second.MoveNext()) {
      var third = permission.GetMenu23(second("menuID").Value);
      if (third.EOF) {
        lines.push("outlookbar.additem(" + jsText(second("menuName").Value) + ",t," +
                   jsText(second("menuURL").Value) + ");");
      } else {
        lines.push("outlookbar.addheading(" + jsText(second("menuName").Value) + ",t);");
        for (; !third.EOF; third.MoveNext()) {
          lines.push("outlookbar.additem(" + jsText(third("menuName").Value) + ",t," +
                     jsText(third("menuURL").Value) + ");");
        }
      }
      third.Close();
    }
    second.Close();
  }
  first.Close();
  return lines;
}

// Colleagues of the same department, each opening his month view, for those who may see it.
function colleaguesScript() {
  if (!who || who.deptID == null || !grantsAny(["scheduler/personMonth.asp"])) return "";
  var schedule = Server.CreateObject("balance.scheduler");
  schedule.Init(connStr);
  return "t=outlookbar.addtitle('同事日程');\r\n" +
         schedule.GetMenu("person.deptID=" + wholeNumber(who.deptID) +
                          " and person.personGroupID<>7 and person.personID<>" + me.personID);
}

// The first page: one's own month; for "admin", who keeps no plans, the leaders' month.
var start = isAdministrator() ? "scheduler/leaderMonth.asp" :
            grantsAny(["scheduler/personMonth.asp"]) ? "scheduler/personMonth.asp" : "home.asp";
%>
<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>日程管理系统</title>
<link rel="stylesheet" href="include/style.css">
<script src="include/compat.js"></script>
<script src="include/outlookbar.js"></script>
</head>
<body class="frame">
<div id="banner">
  <span class="brand">日程管理系统</span>
  <span class="who">
    <span id="signedIn"><%= html(me.personName) %></span><%= who && who.deptName ? "（" + html(who.deptName) + " · " + html(who.dutyName) + "）" : "" %>
    <a href="home.asp" target="main">首页</a>
    <a href="password.asp" target="main">修改密码</a>
    <a href="logout.asp" id="logout">退出</a>
  </span>
</div>
<div id="side"><div id="outlook"></div></div>
<div id="content"><iframe name="main" id="main" src="<%= start %>"></iframe></div>
<script>
var outlookbar = new outlook("main");
var t;
<%= menuScript().join("\r\n") %>
<%= colleaguesScript() %>
outlookbar.show("outlook");
</script>
</body>
</html>
