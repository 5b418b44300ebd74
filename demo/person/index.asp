<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/table_page.inc"-->
<%
// Person maintenance. New persons sign in once an administrator gives them a password
// (password.asp); nobody deletes his own record here.
showTablePage({
  title: "人员管理",
  sql: "select personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID" +
       " from person where systemID=" + me.systemID + " order by deptID,dutyID",
  captions: "编号,姓名,性别,部门,职务,人员类别,出生日期,电话,电子邮件,系统",
  codes: "personID;personName;sex;select deptName,deptID from dept;" +
         "select dutyName,dutyID from personDuty;" +
         "select personGroupName,personGroupID from personGroup;birthday;phone;email;" +
         "select systemName,systemID from system",
  shown: "personID,personName,sex,deptID,dutyID,birthday,phone,email",
  check: function (action) {
    if (action == "delete" && wholeNumber(Request.QueryString("personID")) == me.personID) {
      return "不能删除自己的记录。";
    }
    return "";
  }
});
%>
