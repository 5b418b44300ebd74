<%@ Language="VBScript" CodePage=65001 %>
<!--#include file="../include/guard_vb.inc"-->
<!--#include file="../include/schedule_vb.inc"-->
<!--#include file="../include/leaders_vb.inc"-->
<% WriteHead "部门周汇总" %>
<body class="schedule">
<div class="bar"><span class="name">部门日程</span> <%= DepartmentSelector() %>
<span class="selector"><%= schedule.DispWeekSelect(shownDay, myPersonID) %></span></div>
<%= schedule.DispSwitch(shownDay, myPersonID, "lw2") %>
<%= schedule.DispLeaderWeek(shownDay, departmentCondition) %></table>
<%= Legend() %>
<%= schedule.DispScript(myPersonID) %>
</body>
</html>
