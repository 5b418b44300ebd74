<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/admin_page.inc"-->
<%
// Files: the posted file is received by SystemInit, which writes it into the upload folder
// under a name of its own (the person's id, the time, a random part), and recorded with its
// posted name; the list shows one's own files ("admin": everybody's), served back by
// download.asp. The form posts in the code page SystemInit decodes (GBK), so Chinese file names
// arrive intact.
var maxBytes = 2 * 1024 * 1024;
var message = "";
var problem = "";

var hexPairs = [];
for (var b = 0; b < 256; b++) hexPairs.push((b < 16 ? "0" : "") + b.toString(16));

function hexOf(bytes) {
  var out = new Array(bytes.length);
  for (var i = 0; i < bytes.length; i++) out[i] = hexPairs[bytes[i]];
  return out.join("");
}

function receive() {
  var upload = Server.CreateObject("balance.SystemInit");
  var storedName = "p" + me.personID + "-" + new Date().getTime() + "-" +
                   Math.floor(Math.random() * 1000000);
  upload.MaxSize = maxBytes;
  upload.Path = "d:\\upload\\";
  upload.NewFileName = storedName;
  var answer = text(upload.Upload());
  var name = text(upload.FileName("file"));
  if (answer != "OK" && !(name && answer.indexOf("警告") == 0)) {
    problem = answer;
    return;
  }
  var bytes = upload.Form("file");
  db().Execute("insert into upload(personID,fileName,fileSize,remark,uploadTime,storedName,content)" +
               " values(" + me.personID + "," + sqlText(name) + "," + bytes.length + "," +
               sqlText(upload.Form("remark")) + ",datetime('now','localtime')," +
               sqlText(storedName) + ",X'" + hexOf(bytes) + "')");
  message = "已上传“" + name + "”（" + bytes.length + " 字节）。";
}

function removeFile(id) {
  db().Execute("delete from upload where uploadID=" + id +
               (isAdministrator() ? "" : " and personID=" + me.personID));
  message = "已删除。";
}

if (isPost()) {
  var removed = wholeNumber(Request.QueryString("delete"));
  if (removed !== "") removeFile(removed);
  else receive();
}

function fileRows() {
  var files = rows("select uploadID,fileName,fileSize,remark,strftime('%Y-%m-%d %H:%M',uploadTime)" +
                   " as shownTime,personName from upload join person using(personID)" +
                   (isAdministrator() ? "" : " where upload.personID=" + me.personID) +
                   " order by uploadID desc",
                   ["uploadID", "fileName", "fileSize", "remark", "shownTime", "personName"]);
  if (!files.length) return "<tr><td colspan=6 align=center>还没有上传文件</td></tr>";
  var out = "";
  for (var i = 0; i < files.length; i++) {
    var f = files[i];
    out += "<tr><td><a class='download' href='download.asp?id=" + f.uploadID + "'>" +
           html(f.fileName) + "</a></td><td align=right>" + f.fileSize + "</td><td>" +
           html(f.remark) + "</td><td>" + html(f.personName) + "</td><td>" + html(f.shownTime) +
           "</td><td><form method='post' action='index.asp?delete=" + f.uploadID +
           "' onsubmit=\"return confirm('删除这个文件？')\"><input type='submit' value='删除'>" +
           "</form></td></tr>";
  }
  return out;
}
writeAdminHead("文件上传");
%>
<% if (message) { %><div class="notice-ok" id="uploadMessage"><%= html(message) %></div><% } %>
<% if (problem) { %><div class="problem" id="uploadMessage"><%= html(problem) %></div><% } %>
<form method="post" action="index.asp" enctype="multipart/form-data" accept-charset="GBK" class="plain upload">
  文件：<input type="file" name="file" required>
  说明：<input type="text" name="remark" size="30">
  <input type="submit" value="上传">
  <span class="hint">单个文件不超过 2 MB</span>
</form>
<table class="tbl" cellspacing="0" id="files">
<tr><th>文件名</th><th>大小（字节）</th><th>说明</th><th>上传人</th><th>上传时间</th><th></th></tr>
<%= fileRows() %>
</table>
</body>
</html>
