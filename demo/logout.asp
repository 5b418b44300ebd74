<%@ Language="JScript" CodePage=65001 %>
<%
Session.Abandon();
Response.Redirect("/login.asp");
%>
