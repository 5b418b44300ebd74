<%@ Language="JScript" CodePage=65001 %>
<!--#include file="../include/guard.inc"-->
<!--#include file="../include/table_page.inc"-->
<%
// The plans of one person on one day, listed, added, edited and deleted through DNA. The day
// script of the person views opens it with ?personID=&dt=; DNA's own links carry only their
// action, so the person and the day are kept in the session. The statement's where clause fixes
// the person: the forms show him and post him back unchanged. Only one's own plans are managed
// here ("admin" may manage anybody's).
var person = wholeNumber(Request.QueryString("personID")) ||
             wholeNumber(Session("managePersonID")) || me.personID;
if (person !== me.personID && !isAdministrator()) refuse();
var day = dayParam(Request.QueryString("dt")) || dayParam(Session("manageDay")) || todayText();
Session("managePersonID") = person;
Session("manageDay") = day;
var parts = day.split("-");
var nextDay = dateText(new Date(+parts[0], +parts[1] - 1, +parts[2] + 1));
Session("sc_curdate") = day;  // the default of the empty date fields of a new plan

// A posted plan must stay this person's and run from one day to another: the views find a
// day's plans at its midnight, so plans are whole days (the calendar of the form gives days).
function checkPlan(action) {
  if (action != "insert2" && action != "update2") return "";
  if (wholeNumber(Request.Form("personID")) !== person) return "计划只能属于本人。";
  var start = dayParam(Request.Form("planStartTime"));
  var end = dayParam(Request.Form("planEndTime"));
  if (!start || !end || /:/.test(text(Request.Form("planStartTime")) + text(Request.Form("planEndTime")))) {
    return "请按“年-月-日”的格式填写开始和结束日期，例如 " + day + "。";
  }
  if (end < start) return "结束日期早于开始日期。";
  return "";
}

var back = "?personID=" + person + "&dt=" + day;
var schedule = Server.CreateObject("balance.scheduler");
schedule.Init(connStr);
showTablePage({
  title: schedule.GetName(person) + " " + day + " 的计划",
  sql: "select planID,planStartTime,planEndTime,planAddrTypeID,planAddrID,planAddrDetail," +
       "planTypeID,planContent,planAddition,planFlagID,personID from personPlan where personID=" +
       person + " and planStartTime<'" + nextDay + "' and planEndTime>='" + day +
       "' order by planStartTime",
  captions: "编号,开始日期,结束日期,地点类别,地点,详细地点,计划类型,内容,备注,公开,人员",
  codes: "planID;planStartTime;planEndTime;" +
         "select planAddrTypeName,planAddrTypeID from planAddrType;" +
         "select planAddrName,planAddrID from planAddr;planAddrDetail;" +
         "select planTypeName,planTypeID from planType;planContent;planAddition;" +
         "select planFlagName,planFlagID from planFlag;select personName,personID from person",
  shown: "planStartTime,planEndTime,planAddrTypeID,planAddrID,planTypeID,planContent,planFlagID",
  before: "<div class='back'><a href='personMonth.asp" + back + "'>返回月计划</a>" +
          "<a href='personWeek.asp" + back + "'>返回周计划</a></div>",
  check: checkPlan
});
%>
