<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/schedule.inc"-->
<%
// A person's week, Monday to Sunday; one's own week lists private plans too.
var pID = shownPerson();
writeHead("周计划");
%>
<body class="schedule">
<div class="bar"><span class="name"><%= html(schedule.GetName(pID)) %></span>
<span class="selector"><%= schedule.DispWeekSelect(day, pID) %></span></div>
<%= schedule.DispSwitch(day, pID, "w") %>
<%= schedule.DispWeek(day, pID) %>
<%= legend() %>
<%= schedule.DispScript(pID) %>
</body>
</html>
