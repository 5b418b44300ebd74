<%@ Language="JScript" CodePage=65001 %>
<% Response.Redirect("person/index.asp"); %>
