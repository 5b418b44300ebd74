<%@ Language="VBScript" CodePage=65001 %>
<!--#include file="../include/guard_vb.inc"-->
<!--#include file="../include/schedule_vb.inc"-->
<!--#include file="../include/leaders_vb.inc"-->
<% WriteHead "领导周汇总" %>
<body class="schedule">
<div class="bar"><span class="name">领导日程</span>
<span class="selector"><%= schedule.DispWeekSelect(shownDay, myPersonID) %></span></div>
<%= schedule.DispSwitch(shownDay, myPersonID, "lw") %>
<%= schedule.DispLeaderWeek(shownDay, leaderCondition) %></table>
<%= Legend() %>
<%= schedule.DispScript(myPersonID) %>
</body>
</html>
