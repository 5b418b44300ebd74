<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/admin_page.inc"-->
<%
// Permission groups: the list (DispGroup) with links to delete, rename, grant menu items and set
// members; a form to add a group. ?ac=del&id= asks first and deletes on the posted answer;
// ?ac=edit&id= shows the rename form. A deleted group's rights and members go with it (the
// schema's cascading foreign keys).
var permission = Server.CreateObject("balance.Permission");
permission.openDB(connStr);
var ac = text(Request("ac"));
var group = groupById(wholeNumber(Request("id")));
var message = "";

function groupName() {
  return text(Request.Form("name")).replace(/^\s+|\s+$/g, "");
}

if (isPost()) {
  var name = groupName();
  if (ac == "add" && name !== "") {
    permission.AddGroup(name);
    message = "已添加权限组“" + name + "”。";
  } else if (ac == "edit" && group && name !== "") {
    db().Execute("update AccessGroup set accessGroupName=" + sqlText(name) + " where accessGroupID=" +
                 group.accessGroupID + " and systemID=" + me.systemID);
    message = "已改名为“" + name + "”。";
  } else if (ac == "del" && group) {
    permission.delGroup(group.accessGroupID);
    message = "已删除权限组“" + group.accessGroupName + "”及其权限和人员。";
  } else if (name === "" && ac != "del") {
    message = "请输入权限组名称。";
  }
  ac = "";
}
writeAdminHead("权限组管理");
%>
<% if (message) { %><div class="notice-ok" id="groupMessage"><%= html(message) %></div><% } %>
<% if (ac == "del" && group) { %>
<form method="post" action="permission.asp?ac=del&id=<%= group.accessGroupID %>" class="confirm">
  确定删除权限组“<%= html(group.accessGroupName) %>”吗？它的菜单权限和人员设置将一并删除。
  <input type="submit" value="确定删除"> <a href="permission.asp">取消</a>
</form>
<% } %>
<table class="tbl" cellspacing="0" id="groups">
<tr><th nowrap>序号</th><th>权限组名称</th><th>操作</th></tr>
<%= permission.DispGroup() %>
</table>
<% if (ac == "edit" && group) { %>
<form method="post" action="permission.asp?ac=edit&id=<%= group.accessGroupID %>" class="plain">
  权限组名称：<input type="text" name="name" value="<%= html(group.accessGroupName) %>">
  <input type="submit" value="修改名称"> <a href="permission.asp">取消</a>
</form>
<% } else { %>
<form method="post" action="permission.asp?ac=add" class="plain">
  新权限组：<input type="text" name="name" id="newGroup">
  <input type="submit" value="添加">
</form>
<% } %>
</body>
</html>
