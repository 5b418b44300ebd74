<%@ Language="JScript" CodePage=65001 %>
<% var pageTitle = "Books"; %>
<!--#include file="include/header.inc"-->
<!--#include file="include/conn.inc"-->
<%
var rs = Server.CreateObject("ADODB.Recordset");
rs.Open("select id, title, author, year from book order by id", conn, 3, 1);
%>
<table>
<tr><% for (var e = new Enumerator(rs.Fields); !e.atEnd(); e.moveNext()) { %><th><%= e.item().Name %></th><% } %></tr>
<% while (!rs.EOF) { %>
<tr><% for (var i = 0; i < rs.Fields.Count; i++) { %><td><%= h(rs.Fields(i).Value) %></td><% } %></tr>
<%   rs.MoveNext();
   } %>
</table>
<p><%= rs.RecordCount %> books</p>
<%
rs.Close();
conn.Close();
%>
<!--#include file="include/footer.inc"-->
