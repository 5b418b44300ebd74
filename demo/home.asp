<%@ Language="JScript" CodePage=65001 %>
<!--#include file="include/guard.inc"-->
<%
// The welcome page: today's plans of the signed-in person and where to find the rest.
var schedule = Server.CreateObject("balance.scheduler");
schedule.Init(connStr);
var today = todayText();
var weekdays = "日一二三四五六";
var plans = text(schedule.GetPersonDay(today, me.personID)).split("||").join("<br>");
%>
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>首页</title>
<link rel="stylesheet" href="include/style.css">
</head>
<body class="home">
<h2 class="title"><%= html(schedule.GetName(me.personID)) %>，您好</h2>
<p>今天是 <%= today %> 星期<%= weekdays.charAt(new Date().getDay()) %>。</p>
<div class="today">
  <h3>今日日程</h3>
  <div id="todayPlans"><%= plans || "今天没有安排。" %></div>
</div>
<p class="hint">左侧菜单列出您的权限组授予的功能。在月计划或周计划中点击某一天，可以添加和修改当天的计划。</p>
</body>
</html>
