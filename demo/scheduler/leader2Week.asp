<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/schedule.inc"-->
<!--#include file="../include/leaders.inc"-->
<% writeHead("部门周汇总"); %>
<body class="schedule">
<div class="bar"><span class="name">部门日程</span> <%= departmentSelector() %>
<span class="selector"><%= schedule.DispWeekSelect(day, me.personID) %></span></div>
<%= schedule.DispSwitch(day, me.personID, "lw2") %>
<%= schedule.DispLeaderWeek(day, departmentCondition) %></table>
<%= legend() %>
<%= schedule.DispScript(me.personID) %>
</body>
</html>
