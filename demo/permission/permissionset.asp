<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/admin_page.inc"-->
<%
// The menu rights of one group: the whole menu tree on the left, the group's items on the
// right, buttons to move items between them, and a save that replaces the group's rights
// (SavePermission). Granting an item grants its parents too, since a menu shows an item only
// under its parent; taking an item away takes its children with it.
var permission = Server.CreateObject("balance.Permission");
permission.openDB(connStr);
var group = groupById(wholeNumber(Request("id")));
var message = "";
if (group && isPost()) {
  var items = text(Request.Form("items"));
  message = savedOrRefused(function () {
    if (!/^(\d+(\*\d+)*)?$/.test(items)) throw new Error("not a list of menu items");
    return permission.SavePermission(group.accessGroupID, items);
  }, "权限修改失败");
}
writeAdminHead(group ? "设置权限：" + group.accessGroupName : "设置权限");
if (!group) {
  Response.Write("<div class='problem'>没有这个权限组。</div><a href='permission.asp'>返回</a></body></html>");
  Response.End();
}
%>
<% if (message) { %><div class="<%= message == "权限修改失败" ? "problem" : "notice-ok" %>" id="saveMessage"><%= html(message) %></div><% } %>
<form method="post" action="permissionset.asp?id=<%= group.accessGroupID %>" id="rights" onsubmit="return collect();">
<input type="hidden" name="items" id="items">
<table class="chooser">
<tr><th>全部菜单项</th><th></th><th>已授予的菜单项</th></tr>
<tr>
<td><select id="allItems" multiple size="28"><%= permission.DispMenuItem() %></select></td>
<td class="moves">
  <input type="button" id="grant" value="授予 &gt;&gt;" onclick="grantSelected()"><br><br>
  <input type="button" id="revoke" value="&lt;&lt; 取消" onclick="revokeSelected()">
</td>
<td><select id="granted" multiple size="28"><%= permission.DispAccessMenuItem(group.accessGroupID) %></select></td>
</tr>
</table>
<div class="buttons"><input type="submit" value="保存权限"> <a href="permission.asp">返回权限组</a></div>
</form>
<script>
// Levels read from the markers of the option texts: ● first, ○ second, ◎ third.
function level(option) {
  var t = option.text;
  return t.indexOf("◎") >= 0 ? 3 : t.indexOf("○") >= 0 ? 2 : 1;
}
var tree = document.getElementById("allItems");
var granted = document.getElementById("granted");

// The ids of an item's parents and of its children, from the tree's order and levels.
function familyOf(index) {
  var options = tree.options, own = level(options[index]), parents = [], children = [];
  for (var i = index - 1, want = own - 1; i >= 0 && want >= 1; i--) {
    if (level(options[i]) == want) { parents.push(options[i].value); want--; }
  }
  for (var k = index + 1; k < options.length && level(options[k]) > own; k++) {
    children.push(options[k].value);
  }
  return { parents: parents, children: children };
}

function grantedIds() {
  var ids = {};
  for (var i = 0; i < granted.options.length; i++) ids[granted.options[i].value] = true;
  return ids;
}

// Redraws the right-hand list in the tree's order from a set of ids.
function showGranted(ids) {
  granted.innerHTML = "";
  for (var i = 0; i < tree.options.length; i++) {
    var o = tree.options[i];
    if (ids[o.value]) granted.appendChild(new Option(o.text, o.value));
  }
}

function grantSelected() {
  var ids = grantedIds();
  for (var i = 0; i < tree.options.length; i++) {
    if (!tree.options[i].selected) continue;
    var family = familyOf(i);
    ids[tree.options[i].value] = true;
    family.parents.concat(family.children).forEach(function (id) { ids[id] = true; });
  }
  showGranted(ids);
}

function revokeSelected() {
  var ids = grantedIds();
  for (var i = 0; i < granted.options.length; i++) {
    if (!granted.options[i].selected) continue;
    var id = granted.options[i].value;
    delete ids[id];
    for (var k = 0; k < tree.options.length; k++) {
      if (tree.options[k].value == id) familyOf(k).children.forEach(function (c) { delete ids[c]; });
    }
  }
  showGranted(ids);
}

function collect() {
  var ids = [];
  for (var i = 0; i < granted.options.length; i++) ids.push(granted.options[i].value);
  document.getElementById("items").value = ids.join("*");
  return true;
}
</script>
</body>
</html>
