// The pieces of a schedule page around its views: the month and week selectors (arrow links
// that reload the current page for another date), the bar that switches between the month and
// the week form of a view, the script behind a click on a day, and the style block.
//
// Every link carries "t", the seconds since midnight when it was written, so that the browser
// never serves a schedule page from its cache, and "rnd", the session's own value.
#include <array>
#include <chrono>
#include <ctime>

#include "frame/html_encoding.h"
#include "scheduler/calendar.h"
#include "scheduler/scheduler.h"

namespace schedule {

using automation::joinText;

namespace {

// Seconds since local midnight, in the form of the runtime's single-precision timer.
Text secondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t whole = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&whole, &local);
  const double fraction = duration<double>(now - system_clock::from_time_t(whole)).count();
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
  return automation::toText(Variant(static_cast<float>(seconds)));
}

Text number(int n) { return automation::toText(Variant(n)); }

constexpr TextView kSeparatorImage = u"<img src='../Images/niuban.gif' width='22' height='22'>";

// One row of the switch bar: the view the page shows and the page of the other form.
struct SwitchRow {
  TextView which;
  bool monthView;
  TextView here;       // the current view's caption
  TextView otherPage;  // the page of the other form of the view
};

constexpr std::array<SwitchRow, 6> kSwitchRows = {{
    {u"m", true, u"&nbsp;月计划", u"personWeek.asp"},
    {u"lm", true, u"&nbsp;月汇总", u"leaderWeek.asp"},
    {u"lm2", true, u"&nbsp;月汇总", u"leader2Week.asp"},
    {u"w", false, u" &nbsp;周计划", u"personMonth.asp"},
    {u"lw", false, u" &nbsp;周汇总", u"leaderMonth.asp"},
    {u"lw2", false, u" &nbsp;周汇总", u"leader2Month.asp"},
}};

constexpr std::array<TextView, 16> kStyleLines = {
    u"<style>",
    u".tbl { background-color: #FFFFFF; FONT-FAMILY: '宋体'; width:100%;BORDER: black double;}",
    u".tbl th{BORDER-RIGHT: black 1pt solid;BORDER-TOP: black 1pt;BORDER-LEFT: black "
    u"1pt;BORDER-BOTTOM: black 1pt solid }",
    u".tbl td{BORDER-RIGHT: black 1pt solid;BORDER-TOP: black 1pt;BORDER-LEFT: black "
    u"1pt;BORDER-BOTTOM: black 1pt solid }",
    u".lable{background-color:#718EB7;FONT-FAMILY: '宋体';color:#FFFFFF;}",
    u".input{background-color: #E3ECF2;FONT-FAMILY: '宋体';}",
    u".tbl a{ color:black;text-decoration: none}",
    u".title { color:black;text-align: center; FONT-SIZE: 14pt bold; background-color: #FFFFFF; "
    u"FONT-FAMILY: '宋体'; }",
    u".menu { background-color: #FFFFFF; FONT-FAMILY: '宋体'; width:100%;}",
    u".menu td{width:80px; color:#DDDDDD;background-color: #cdcdcd;text-align: center; "
    u"BORDER-RIGHT: black 1pt solid;BORDER-TOP: black 1pt;BORDER-LEFT: black 1pt;BORDER-BOTTOM: "
    u"black 1pt solid }",
    u".menu.a2{width:100%;background-color: #EFEFEF;color:#FFFFFF;text-decoration: none}",
    u".menu a{ width:100%;color:black;text-decoration: none}",
    u".page { background-color: #FFFFFF; FONT-FAMILY: '宋体'; }",
    u".page td{width:60px;color:#DDDDDD;background-color:#F0F0F0;FONT-SIZE: small;text-align: "
    u"center; BORDER-RIGHT: black 1pt solid;BORDER-TOP: black 1pt;BORDER-LEFT: black "
    u"1pt;BORDER-BOTTOM: black 1pt solid }",
    u".page a{ width:100%;color:black;FONT-SIZE: small;text-decoration: none}",
    u"</style>",
};

}  // namespace

Text scheduler::selectorLink(const Text& pid, const Text& rnd, Date target,
                             TextView closing) const {
  return u"<a href='" + frame::htmlAttribute(strURL) + u"?personID=" + pid + u"&dt=" +
         target.text() + u"&t=" + secondsSinceMidnight() + u"&rnd=" + rnd + Text(closing);
}

Variant scheduler::DispMonthSelect(const Variant& dtDate, const Variant& pID) {
  const Date d = automation::toDate(dtDate);
  const Text pid = frame::htmlAttribute(joinText(pID));
  const Text rnd = frame::htmlAttribute(joinText(session(u"rnd")));
  return Variant(
      selectorLink(pid, rnd, d.addMonths(-12),
                   u"'>&nbsp;<img src='../Images/jian3.gif'  border='0' align='absmiddle'></a>") +
      selectorLink(
          pid, rnd, d.addMonths(-1),
          u"'>&nbsp;<img src='../Images/jian1.gif'  border='0' align='absmiddle'>&nbsp;</a>") +
      number(d.year()) + u"年" + number(d.month()) + u"月" +
      selectorLink(pid, rnd, d.addMonths(1),
                   u"'>&nbsp;<img src='../Images/jian2.gif'  border='0' align='absmiddle'></a>") +
      selectorLink(
          pid, rnd, d.addMonths(12),
          u"'>&nbsp;<img src='../Images/jian4.gif'  border='0' align='absmiddle'>&nbsp;</a>"));
}

Variant scheduler::DispWeekSelect(const Variant& dtDate, const Variant& pID) {
  // Steps go from dtDate itself, not from its Monday.
  const Date d = automation::toDate(dtDate);
  const Text pid = frame::htmlAttribute(joinText(pID));
  const Text rnd = frame::htmlAttribute(joinText(session(u"rnd")));
  return Variant(
      selectorLink(pid, rnd, d.addMonths(-1),
                   u"'>&nbsp;<img src='../Images/jian3.gif'  border='0' align='absmiddle'></a> ") +
      selectorLink(
          pid, rnd, d.addDays(-7),
          u"'>&nbsp;<img src='../Images/jian1.gif'  border='0' align='absmiddle'>&nbsp;</a> ") +
      number(d.year()) + u"年" + number(d.month()) + u"月第" + number(weekOfMonth(d)) + u"周" +
      selectorLink(pid, rnd, d.addDays(7),
                   u"'>&nbsp;<img src='../Images/jian2.gif'  border='0' align='absmiddle'></a> ") +
      selectorLink(
          pid, rnd, d.addMonths(1),
          u"'>&nbsp;<img src='../Images/jian4.gif'  border='0' align='absmiddle'>&nbsp;</a> "));
}

Variant scheduler::DispSwitch(const Variant& dtDate, const Variant& pID, const Variant& strWhich) {
  const SwitchRow* row = nullptr;
  for (const SwitchRow& r : kSwitchRows) {
    if (automation::equals(strWhich, Variant(r.which))) row = &r;
  }
  if (!row) return {};
  automation::toDate(dtDate);  // written as given, but it must be a date
  // The link to the other form of the view, with the date as it was given.
  const auto link = [&](TextView prefix, TextView closing) {
    return Text(prefix) + frame::htmlAttribute(joinText(pID)) + u"&dt=" +
           frame::htmlAttribute(joinText(dtDate)) + u"&t=" + secondsSinceMidnight() + u"& rnd=" +
           frame::htmlAttribute(joinText(session(u"rnd"))) + Text(closing) + kCrLf;
  };
  const Text other(row->otherPage);
  Text s = Text(u"<table width='100%' border='0' cellpadding='0' cellspacing='0'>") + kCrLf;
  if (row->monthView) {
    s += u"<tr><th nowrap class='schh'>" + Text(row->here) + u"</th>" + kCrLf;
    s += u"<th  class='schh'>" + Text(kSeparatorImage) + u"</th>" + kCrLf;
    s += link(u"<th class='td2' nowrap><a href='" + other + u"?personID=",
              u"'> &nbsp;周计划</a></th>");
    s += u"<th class='td2'>" + Text(kSeparatorImage) + u"</th>" + kCrLf;
  } else {
    s += link(u"<tr><th nowrap class='td2'><a href='" + other + u"?personID=",
              u"'>&nbsp;月计划</a></th>");
    s += u"<th  class='td2'>" + Text(kSeparatorImage) + u"</th>" + kCrLf;
    s += u"<th class='schh' nowrap>" + Text(row->here) + u"</th>" + kCrLf;
    s += u"<th class='schh'>" + Text(kSeparatorImage) + u"</th>" + kCrLf;
  }
  s += Text(u"<th width='100%'>&nbsp;</th>") + kCrLf + u"</tr>" + kCrLf + u"</table>" + kCrLf;
  return Variant(std::move(s));
}

Variant scheduler::DispScript(const Variant& pID) {
  // Only the session's own days open the entry page; on anyone else's, manage() does nothing.
  const bool own = isOwnPerson(pID);
  Text s = Text(u"<script language='javascript'>") + kCrLf + u" function manage(dt){" + kCrLf;
  if (own) {
    s += u"     location.href='manage.asp?personID=";
    frame::appendScriptString(s, joinText(pID));
    s += u"&dt='+dt+'&rnd=";
    frame::appendScriptString(s, joinText(session(u"rnd")));
    s += u"';";
  }
  s += Text(u"}") + kCrLf + u"</script>" + kCrLf;
  return Variant(std::move(s));
}

void scheduler::SetDispStyle(const Variant& nType) {
  auto& response = page_.response();
  if (!automation::equals(nType, Variant(1)) && !automation::equals(nType, Variant(u""))) {
    response.write(u"");
    return;
  }
  Text s;
  for (TextView line : kStyleLines) s += Text(line) + kCrLf;
  response.write(s);
}

}  // namespace schedule
