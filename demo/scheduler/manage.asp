<%@ Language="VBScript" CodePage=65001 %>
<!--#include file="../include/guard_vb.inc"-->
<!--#include file="../include/table_page_vb.inc"-->
<%
' The plans of one person on one day, listed, added, edited and deleted through DNA. The day
' script of the person views opens it with ?personID=&dt=; DNA's own links carry only their
' action, so the person and the day are kept in the session. The statement's where clause fixes
' the person: the forms show him and post him back unchanged. Only one's own plans are managed
' here ("admin" may manage anybody's).
Dim person, shownDay, nextDay, back, schedule, sql
person = WholeNumber(Request.QueryString("personID"))
If person = "" Then person = WholeNumber(Session("managePersonID"))
If person = "" Then person = myPersonID
If person <> myPersonID And Not IsAdministrator() Then Refuse
shownDay = DayParam(Request.QueryString("dt"))
If shownDay = "" Then shownDay = DayParam(Session("manageDay"))
If shownDay = "" Then shownDay = TodayText()
Session("managePersonID") = person
Session("manageDay") = shownDay
nextDay = DateText(DateAdd("d", 1, CDate(shownDay)))
Session("sc_curdate") = shownDay  ' the default of the empty date fields of a new plan

' A posted plan must stay this person's and run from one day to another: the views find a
' day's plans at its midnight, so plans are whole days (the calendar of the form gives days).
Function CheckPlan(action)
  Dim startDay, endDay, typed
  CheckPlan = ""
  If action <> "insert2" And action <> "update2" Then Exit Function
  If WholeNumber(Request.Form("personID")) <> person Then
    CheckPlan = "计划只能属于本人。"
    Exit Function
  End If
  startDay = DayParam(Request.Form("planStartTime"))
  endDay = DayParam(Request.Form("planEndTime"))
  typed = AsText(Request.Form("planStartTime")) & AsText(Request.Form("planEndTime"))
  If startDay = "" Or endDay = "" Or InStr(typed, ":") > 0 Then
    CheckPlan = "请按“年-月-日”的格式填写开始和结束日期，例如 " & shownDay & "。"
  ElseIf endDay < startDay Then
    CheckPlan = "结束日期早于开始日期。"
  End If
End Function

back = "?personID=" & person & "&dt=" & shownDay
Set schedule = Server.CreateObject("balance.scheduler")
schedule.Init connStr
sql = "select planID,planStartTime,planEndTime,planAddrTypeID,planAddrID,planAddrDetail," & _
      "planTypeID,planContent,planAddition,planFlagID,personID from personPlan where personID=" & _
      person & " and planStartTime<'" & nextDay & "' and planEndTime>='" & shownDay & _
      "' order by planStartTime"
ShowTablePage schedule.GetName(person) & " " & shownDay & " 的计划", sql, _
              "编号,开始日期,结束日期,地点类别,地点,详细地点,计划类型,内容,备注,公开,人员", _
              "planID;planStartTime;planEndTime;" & _
              "select planAddrTypeName,planAddrTypeID from planAddrType;" & _
              "select planAddrName,planAddrID from planAddr;planAddrDetail;" & _
              "select planTypeName,planTypeID from planType;planContent;planAddition;" & _
              "select planFlagName,planFlagID from planFlag;select personName,personID from person", _
              "planStartTime,planEndTime,planAddrTypeID,planAddrID,planTypeID,planContent,planFlagID", _
              "<div class='back'><a href='personMonth.asp" & back & "'>返回月计划</a>" & _
              "<a href='personWeek.asp" & back & "'>返回周计划</a></div>", _
              GetRef("CheckPlan")
%>
