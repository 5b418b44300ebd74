<%@ Language="JScript" CodePage=65001 %>
<!--#include file="include/common.inc"-->
<%
// Sign-in. The form posts the person's name and password; a match stores who is signed in and
// his access list in a session emptied of whatever it held, under a new cookie token
// (Session.Renew), so that a token known before the sign-in is worth nothing after it; then
// it goes to the frame. A miss says so and keeps nothing. Reading the form does not touch the
// session, so a visitor gets none before signing in.
var username = "";
var message = "";
if (text(Request.ServerVariables("REQUEST_METHOD")) == "POST") {
  username = text(Request.Form("username")).replace(/^\s+|\s+$/g, "");
  var found = username === "" ? null :
      firstRow("select personID,personName,systemID,passwordHash from person where personName=" +
               sqlText(username), ["personID", "personName", "systemID", "passwordHash"]);
  var password = Server.CreateObject("balance.Password");
  // Verify does the full work for an unknown name as well, so timing does not tell names apart.
  var matches = password.Verify(text(Request.Form("password")), found ? text(found.passwordHash) : "");
  if (found && matches) {
    Session.Contents.RemoveAll();
    Session("personID") = found.personID;
    Session("systemID") = found.systemID;
    Session("personName") = found.personName;
    Session("rnd") = Math.floor(Math.random() * 1000000);
    var permission = Server.CreateObject("balance.Permission");
    permission.openDB(connStr);
    permission.GetPersonAccess();
    Session.Renew();
    Response.Redirect("/index.asp");
  }
  Session.Abandon();
  message = "用户名或密码不正确，请重新输入。";
}
%>
<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>登录 - 日程管理系统</title>
<link rel="stylesheet" href="include/style.css">
<script>if (window.top !== window.self) window.top.location.href = "/login.asp";</script>
</head>
<body class="login">
<form class="card" method="post" action="/login.asp">
  <h1>日程管理系统</h1>
  <p class="hint">请输入用户名和密码</p>
<% if (message) { %>  <p class="problem" id="loginMessage"><%= html(message) %></p>
<% } %>  <label>用户名<input type="text" name="username" value="<%= html(username) %>" autofocus></label>
  <label>密&nbsp;&nbsp;码<input type="password" name="password"></label>
  <input type="submit" value="登　录">
  <p class="demo">演示账号：<b>admin</b>（全部功能）或 <b>李明</b>（日程），密码均为 <b>balance</b></p>
</form>
</body>
</html>
