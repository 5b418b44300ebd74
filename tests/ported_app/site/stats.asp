<%@ Language="JScript" CodePage=65001 %>
<% var pageTitle = "Authors"; %>
<!--#include file="include/header.inc"-->
<!--#include file="include/conn.inc"-->
<%
var books = Server.CreateObject("Scripting.Dictionary");
var rs = conn.Execute("select author, count(*) as n from book group by author order by author");
while (!rs.EOF) {
  books.Add(String(rs("author")), rs("n").Value);
  rs.MoveNext();
}
rs.Close();
conn.Close();
var authors = new VBArray(books.Keys()).toArray();
%>
<p><%= books.Count %> authors, <%= Application("visitors") %> visitors</p>
<ul>
<% for (var i = 0; i < authors.length; i++) { %>  <li><%= h(authors[i]) %>: <%= books.Item(authors[i]) %></li>
<% } %></ul>
<p>曹雪芹 <%= books.Exists("曹雪芹") ? "is" : "is not" %> here; Lu Xun <%= books.Exists("Lu Xun") ? "is" : "is not" %>.</p>
<!--#include file="include/footer.inc"-->
