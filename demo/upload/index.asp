<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/admin_page.inc"-->
<!--#include file="../include/uploads.inc"-->
<%
// Files: SystemInit writes the posted file into the signed-in person's own folder; the list is
// that folder's files ("admin": every person's folder), each served back by download.asp.
// The form posts in the code page SystemInit decodes (GBK), so Chinese file names arrive
// intact.
var maxBytes = 2 * 1024 * 1024;
var message = "";
var problem = "";

function receive() {
  // No file in a smaller body can be too large, so the receiver never leaves the empty file
  // it writes for one.
  if (Request.TotalBytes > maxBytes) {
    problem = "文件太大：单个文件不能超过 2 MB。";
    return;
  }
  var upload = Server.CreateObject("balance.SystemInit");
  upload.MaxSize = maxBytes;
  upload.Path = ensurePersonFolder(me.personID);
  var answer = text(upload.Upload());
  var name = "";
  try {
    name = text(upload.FileName("file"));
  } catch (e) {
    // The lookups fail after an upload that stopped early; its answer says why.
  }
  if (answer == "OK" || (name && answer.indexOf("警告") == 0)) {
    message = "已上传“" + name + "”（" + upload.Size("file") + " 字节）。";
  } else {
    problem = answer;
  }
}

// One's own file ("admin": anybody's), by its exact name in the folder.
function removeFile(personID, name) {
  var found = fileNamed(personID, name);
  if (!found) {
    problem = "没有这个文件。";
    return;
  }
  files.DeleteFile(found.path);
  message = "已删除“" + found.name + "”。";
}

if (isPost()) {
  if (text(Request.QueryString("delete")) !== "") {
    removeFile(ownerOf(Request.QueryString("p")), text(Request.QueryString("delete")));
  } else {
    receive();
  }
}

function shownTime(d) {
  return dateText(d) + " " + pad2(d.getHours()) + ":" + pad2(d.getMinutes());
}

function fileRow(personID, personName, f) {
  var query = "p=" + personID + "&name=" + Server.URLEncode(f.name);
  return "<tr><td><a class='download' href='" + html("download.asp?" + query) + "'>" +
         html(f.name) + "</a></td><td align=right>" + f.size + "</td><td>" + html(personName) +
         "</td><td>" + shownTime(f.modified) + "</td><td><form method='post' action='" +
         html("index.asp?p=" + personID + "&delete=" + Server.URLEncode(f.name)) +
         "' onsubmit=\"return confirm('删除这个文件？')\"><input type='submit' value='删除'>" +
         "</form></td></tr>";
}

function fileRows() {
  var owners = isAdministrator() ? uploaders() : [me.personID];
  var names = {};
  if (isAdministrator() && owners.length) {
    var found = rows("select personID,personName from person where personID in (" +
                     owners.join(",") + ")", ["personID", "personName"]);
    for (var k = 0; k < found.length; k++) names[found[k].personID] = found[k].personName;
  } else {
    names[me.personID] = me.personName;
  }
  var out = "";
  for (var i = 0; i < owners.length; i++) {
    var own = filesOf(owners[i]);
    for (var j = 0; j < own.length; j++) out += fileRow(owners[i], names[owners[i]], own[j]);
  }
  return out || "<tr><td colspan=5 align=center>还没有上传文件</td></tr>";
}
writeAdminHead("文件上传");
%>
<% if (message) { %><div class="notice-ok" id="uploadMessage"><%= html(message) %></div><% } %>
<% if (problem) { %><div class="problem" id="uploadMessage"><%= html(problem) %></div><% } %>
<form method="post" action="index.asp" enctype="multipart/form-data" accept-charset="GBK" class="plain upload">
  文件：<input type="file" name="file" required>
  <input type="submit" value="上传">
  <span class="hint">单个文件不超过 2 MB，存入您自己的文件夹；同名文件须先删除</span>
</form>
<table class="tbl" cellspacing="0" id="files">
<tr><th>文件名</th><th>大小（字节）</th><th>上传人</th><th>上传时间</th><th></th></tr>
<%= fileRows() %>
</table>
</body>
</html>
