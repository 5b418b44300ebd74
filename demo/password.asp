<%@ Language="JScript" CodePage=65001 %>
<!--#include file="include/guard.inc"-->
<%
// Changing one's own password (the old one first); an administrator may also set the password
// of any person, for example of one just added in the person maintenance.
var message = "";
var problem = "";
var hasher = Server.CreateObject("balance.Password");

function setPassword(personID, newPassword) {
  db().Execute("update person set passwordHash=" + sqlText(hasher.Hash(newPassword)) +
               " where personID=" + personID + " and systemID=" + me.systemID);
}

function newPasswordProblem(first, second) {
  if (first.length < 6) return "新密码至少需要 6 个字符。";
  if (first !== second) return "两次输入的新密码不一致。";
  return "";
}

if (text(Request.ServerVariables("REQUEST_METHOD")) == "POST") {
  var first = text(Request.Form("newPassword"));
  var target = isAdministrator() ? wholeNumber(Request.Form("personID")) : me.personID;
  problem = newPasswordProblem(first, text(Request.Form("repeat")));
  if (!problem && target === me.personID) {
    var mine = firstRow("select passwordHash from person where personID=" + me.personID,
                        ["passwordHash"]);
    if (!hasher.Verify(text(Request.Form("oldPassword")), text(mine && mine.passwordHash))) {
      problem = "原密码不正确。";
    }
  }
  if (!problem && target === "") problem = "请选择人员。";
  if (!problem) {
    setPassword(target, first);
    message = "密码已修改。";
  }
}

function personOptions() {
  var persons = rows("select personID,personName,deptName from person left join dept" +
                     " on dept.deptID=person.deptID where systemID=" + me.systemID +
                     " order by person.deptID,dutyID", ["personID", "personName", "deptName"]);
  var out = "";
  for (var i = 0; i < persons.length; i++) {
    var p = persons[i];
    out += "<option value='" + p.personID + "'" + (String(p.personID) === me.personID ? " selected" : "") +
           ">" + html(p.personName) + (p.deptName ? "（" + html(p.deptName) + "）" : "") + "</option>";
  }
  return out;
}
%>
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>修改密码</title>
<link rel="stylesheet" href="include/style.css">
</head>
<body>
<h2 class="title">修改密码</h2>
<% if (message) { %><div class="notice-ok" id="passwordMessage"><%= html(message) %></div><% } %>
<% if (problem) { %><div class="problem" id="passwordMessage"><%= html(problem) %></div><% } %>
<form method="post" action="password.asp" class="plain">
<table class="form">
<% if (isAdministrator()) { %>
<tr><td class="lable">人员</td><td><select name="personID"><%= personOptions() %></select>
  <span class="hint">为自己修改时需要原密码</span></td></tr>
<% } %>
<tr><td class="lable">原密码</td><td><input type="password" name="oldPassword"></td></tr>
<tr><td class="lable">新密码</td><td><input type="password" name="newPassword"></td></tr>
<tr><td class="lable">再输入一次</td><td><input type="password" name="repeat"></td></tr>
<tr><td></td><td><input type="submit" value="保存"></td></tr>
</table>
</form>
</body>
</html>
