<%@ Language="VBScript" CodePage=65001 %>
<!--#include file="../include/guard_vb.inc"-->
<!--#include file="../include/table_page_vb.inc"-->
<%
' Person maintenance. New persons sign in once an administrator gives them a password
' (password.asp); nobody deletes his own record here.
Function RefusedWrite(action)
  RefusedWrite = ""
  If action = "delete" And WholeNumber(Request.QueryString("personID")) = myPersonID Then
    RefusedWrite = "不能删除自己的记录。"
  End If
End Function

Dim sql
sql = "select personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID" & _
      " from person where systemID=" & mySystemID & " order by deptID,dutyID"
ShowTablePage "人员管理", sql, "编号,姓名,性别,部门,职务,人员类别,出生日期,电话,电子邮件,系统", _
              "personID;personName;sex;select deptName,deptID from dept;" & _
              "select dutyName,dutyID from personDuty;" & _
              "select personGroupName,personGroupID from personGroup;birthday;phone;email;" & _
              "select systemName,systemID from system", _
              "personID,personName,sex,deptID,dutyID,birthday,phone,email", "", _
              GetRef("RefusedWrite")
%>
