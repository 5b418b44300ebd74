<%@ Language="VBScript" CodePage=65001 %>
<!--#include file="../include/guard_vb.inc"-->
<!--#include file="../include/schedule_vb.inc"-->
<%
' A person's week, Monday to Sunday; one's own week lists private plans too.
Dim pID
pID = ShownPerson()
WriteHead "周计划"
%>
<body class="schedule">
<div class="bar"><span class="name"><%= Html(schedule.GetName(pID)) %></span>
<span class="selector"><%= schedule.DispWeekSelect(shownDay, pID) %></span></div>
<%= schedule.DispSwitch(shownDay, pID, "w") %>
<%= schedule.DispWeek(shownDay, pID) %>
<%= Legend() %>
<%= schedule.DispScript(pID) %>
</body>
</html>
