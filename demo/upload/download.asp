<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<%
// Serves one uploaded file to its owner ("admin": any file), from the copy the upload recorded;
// nothing under the data folder is ever reachable by its path.
var id = wholeNumber(Request.QueryString("id"));
var rs = Server.CreateObject("ADODB.Recordset");
rs.Open("select fileName,content from upload where uploadID=" + (id || "0") +
        (isAdministrator() ? "" : " and personID=" + me.personID), db(), 1, -1, -1);
Response.Clear();
if (rs.EOF) {
  Response.Status = "404 Not Found";
  Response.Write("没有这个文件。");
  Response.End();
}
var name = text(rs("fileName").Value);
Response.ContentType = "application/octet-stream";
Response.AddHeader("Content-Disposition",
                   "attachment; filename=\"" + name.replace(/[^\x20-\x7e]|["\\]/g, "_") +
                   "\"; filename*=UTF-8''" + encodeURIComponent(name));
Response.BinaryWrite(rs("content").Value);
rs.Close();
Response.End();
%>
