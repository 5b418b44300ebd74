<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/admin_page.inc"-->
<%
// The members of one group: every eligible person as a checkbox (DispPerson), checked for the
// present members; saving replaces the members with the checked persons (SavePerson).
var permission = Server.CreateObject("balance.Permission");
permission.openDB(connStr);
var group = groupById(wholeNumber(Request("id")));
var message = "";
if (group && isPost()) {
  var chosen = text(Request.Form("checkbox"));
  message = savedOrRefused(function () {
    if (!/^(\s*\d+\s*(,\s*\d+\s*)*)?$/.test(chosen)) throw new Error("not a list of persons");
    return permission.SavePerson(group.accessGroupID, chosen);
  }, "人员修改失败");
}
writeAdminHead(group ? "设置人员：" + group.accessGroupName : "设置人员");
if (!group) {
  Response.Write("<div class='problem'>没有这个权限组。</div><a href='permission.asp'>返回</a></body></html>");
  Response.End();
}
%>
<% if (message) { %><div class="<%= message == "人员修改失败" ? "problem" : "notice-ok" %>" id="saveMessage"><%= html(message) %></div><% } %>
<form method="post" action="permissionMan.asp?id=<%= group.accessGroupID %>" class="members">
<div class="people"><%= permission.DispPerson(group.accessGroupID) %></div>
<div class="buttons"><input type="submit" value="保存人员"> <a href="permission.asp">返回权限组</a></div>
</form>
</body>
</html>
