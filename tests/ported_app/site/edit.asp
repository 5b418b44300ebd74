<%@ Language="JScript" CodePage=65001 %>
<% var pageTitle = "New book"; %>
<!--#include file="include/header.inc"-->
<%
// What the form posted, or "" for a field it did not post.
function posted(name) {
  return Request.Form(name).Count > 0 ? String(Request.Form(name)) : "";
}

var errors = [];
if (Request.Form("title").Count > 0) {
  if (posted("title") == "") errors.push("A title is required.");
  if (isNaN(parseInt(posted("year"), 10))) errors.push("The year must be a number.");
  if (errors.length == 0) {
%>
<!--#include file="include/conn.inc"-->
<%
    var cmd = Server.CreateObject("ADODB.Command");
    cmd.ActiveConnection = conn;
    cmd.CommandText = "insert into book (title, author, year) values (?, ?, ?)";
    cmd.Parameters.Append(cmd.CreateParameter("title", 202, 1, 50, posted("title")));
    cmd.Parameters.Append(cmd.CreateParameter("author", 202, 1, 30, posted("author")));
    cmd.Parameters.Append(cmd.CreateParameter("year", 3, 1, 4, parseInt(posted("year"), 10)));
    cmd.Execute();
    conn.Close();
    Response.Redirect("list.asp");
  }
}
%>
<% if (errors.length > 0) { %>
<ul class="errors">
<% for (var i = 0; i < errors.length; i++) { %>  <li><%= errors[i] %></li>
<% } %></ul>
<% } %>
<form method="post" action="edit.asp">
<p>Title <input name="title" value="<%= h(posted("title")) %>"></p>
<p>Author <input name="author" value="<%= h(posted("author")) %>"></p>
<p>Year <input name="year" value="<%= h(posted("year")) %>"></p>
<p><input type="submit" value="Save"></p>
</form>
<!--#include file="include/footer.inc"-->
