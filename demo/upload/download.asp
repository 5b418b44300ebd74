<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/uploads.inc"-->
<%
// Serves one uploaded file to its owner ("admin": anybody's), read back from the person's
// folder by the name the folder holds. Always as an attachment of no particular type, so a
// name like "<img>.png" or a file holding HTML is never shown by the browser as a page.
var found = fileNamed(ownerOf(Request.QueryString("p")), text(Request.QueryString("name")));
Response.Clear();
if (!found) {
  Response.Status = "404 Not Found";
  Response.Write("没有这个文件。");
  Response.End();
}

// RFC 6266: a plain ASCII name for old clients, the exact name in UTF-8 for the rest.
function dispositionOf(name) {
  var ascii = name.replace(/[^\x20-\x7e]|["\\]/g, "_");
  var exact = encodeURIComponent(name).replace(/['()*!]/g, function (c) {
    return "%" + c.charCodeAt(0).toString(16).toUpperCase();
  });
  return "attachment; filename=\"" + ascii + "\"; filename*=UTF-8''" + exact;
}

var stream = Server.CreateObject("ADODB.Stream");
stream.Type = 1;  // binary
stream.Open();
stream.LoadFromFile(found.path);
Response.ContentType = "application/octet-stream";
Response.AddHeader("Content-Disposition", dispositionOf(found.name));
Response.AddHeader("X-Content-Type-Options", "nosniff");
if (stream.Size > 0) Response.BinaryWrite(stream.Read());
stream.Close();
Response.End();
%>
