<%@ Language="VBScript" CodePage=65001 %>
<!--#include file="../include/guard_vb.inc"-->
<!--#include file="../include/schedule_vb.inc"-->
<!--#include file="../include/leaders_vb.inc"-->
<% WriteHead "领导月汇总" %>
<body class="schedule">
<div class="bar"><span class="name">领导日程</span>
<span class="selector"><%= schedule.DispMonthSelect(shownDay, myPersonID) %></span></div>
<%= schedule.DispSwitch(shownDay, myPersonID, "lm") %>
<%= schedule.DispLeaderMonth(shownDay, leaderCondition) %></table>
<%= Legend() %>
<%= schedule.DispScript(myPersonID) %>
</body>
</html>
