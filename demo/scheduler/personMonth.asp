<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/schedule.inc"-->
<%
// A person's month: the signed-in person's own unless ?personID= names another. A click on a
// day of one's own month opens that day's plans (manage.asp).
var pID = shownPerson();
writeHead("月计划");
%>
<body class="schedule month">
<div class="bar"><span class="name"><%= html(schedule.GetName(pID)) %></span>
<span class="selector"><%= schedule.DispMonthSelect(day, pID) %></span></div>
<%= schedule.DispSwitch(day, pID, "m") %>
<%= schedule.DispMonth(day, pID) %>
<%= legend() %>
<%= schedule.DispScript(pID) %>
</body>
</html>
