<%@ Language="VBScript" CodePage=65001 %>
<!--#include file="../include/guard_vb.inc"-->
<!--#include file="../include/schedule_vb.inc"-->
<%
' A person's month: the signed-in person's own unless ?personID= names another. A click on a
' day of one's own month opens that day's plans (manage.asp).
Dim pID
pID = ShownPerson()
WriteHead "月计划"
%>
<body class="schedule month">
<div class="bar"><span class="name"><%= Html(schedule.GetName(pID)) %></span>
<span class="selector"><%= schedule.DispMonthSelect(shownDay, pID) %></span></div>
<%= schedule.DispSwitch(shownDay, pID, "m") %>
<%= schedule.DispMonth(shownDay, pID) %>
<%= Legend() %>
<%= schedule.DispScript(pID) %>
</body>
</html>
