<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/schedule.inc"-->
<!--#include file="../include/leaders.inc"-->
<% writeHead("领导月汇总"); %>
<body class="schedule">
<div class="bar"><span class="name">领导日程</span>
<span class="selector"><%= schedule.DispMonthSelect(day, me.personID) %></span></div>
<%= schedule.DispSwitch(day, me.personID, "lm") %>
<%= schedule.DispLeaderMonth(day, leaderCondition) %></table>
<%= legend() %>
<%= schedule.DispScript(me.personID) %>
</body>
</html>
