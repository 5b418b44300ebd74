<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/schedule.inc"-->
<!--#include file="../include/leaders.inc"-->
<% writeHead("部门月汇总"); %>
<body class="schedule">
<div class="bar"><span class="name">部门日程</span> <%= departmentSelector() %>
<span class="selector"><%= schedule.DispMonthSelect(day, me.personID) %></span></div>
<%= schedule.DispSwitch(day, me.personID, "lm2") %>
<%= schedule.DispLeaderMonth(day, departmentCondition) %></table>
<%= legend() %>
<%= schedule.DispScript(me.personID) %>
</body>
</html>
