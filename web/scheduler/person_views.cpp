// One person's own schedule: the week list (seven rows from Monday to Sunday with every plan of
// each day) and the month calendar (a grid of weeks from Monday, each day of the month showing
// its number and plans, coloured by the kind of its last plan). Clicking a day calls the page's
// manage() with the day's date.
#include "frame/html_encoding.h"
#include "frame/sql_literal.h"
#include "scheduler/calendar.h"
#include "scheduler/day_buckets.h"
#include "scheduler/scheduler.h"

namespace schedule {

using automation::joinText;
using automation::replaceAll;

Variant scheduler::DispWeek(const Variant& dtDate, const Variant& pID) {
  Text s = Text(u"<table cellspadding=2 cellspacing=1 width=100% >") + kCrLf;
  // The Monday goes out as it was given; the following days are date values.
  Variant d = GetPrevMonday(dtDate);
  for (int i = 0; i < 7; ++i) {
    const Date day = automation::toDate(d);
    const Text dayText = joinText(d);
    const Text plans = joinText(GetPersonDay(d, pID));
    s += u"<tr><td class='schh' nowrap><br>星期" + Text(weekdayName(day)) + u"<br>&nbsp;";
    frame::appendHtmlText(s, dayText);
    s += u"&nbsp;<br><td></td><td width=100% class=td1 onclick=manage('";
    frame::appendScriptString(s, dayText);
    s += u"');>&nbsp;" + replaceAll(plans, u"||", u"<br>") + u"</td></tr>";
    d = Variant(day.addDays(1));
  }
  s += Text(u"</table>") + kCrLf;
  return Variant(std::move(s));
}

Variant scheduler::DispMonthHeader() {
  Text s = Text(u"<table cellspadding=0 cellspacing=1 width=100% height=85%>") + kCrLf +
           u"<tr class='schh'>";
  for (TextView name : {u"一", u"二", u"三", u"四", u"五", u"六", u"日"}) {
    s += u"<th height='23' nowrap>星期" + Text(name) + u"</th>";
  }
  s += Text(u"</tr>") + kCrLf;
  return Variant(std::move(s));
}

Variant scheduler::DispMonthContent(const Variant& dtDate, const Variant& pID) {
  const Text pid = frame::integerLiteral(pID);
  const Date date = automation::toDate(dtDate);
  const MonthBounds month = monthBounds(date);
  DayBuckets buckets;
  fillDayBuckets(buckets, pid, month.first, month.last);

  const int m = date.month();
  const int mp = date.addMonths(-1).month();
  Date d = firstMonday(date);
  Text s;
  while (d.month() == mp || d.month() == m) {
    s += Text(u" <tr height=40>") + kCrLf;
    for (int i = 0; i < 7; ++i, d = d.addDays(1)) {
      if (d.month() != m) {
        s += u"<td class='sch0'>&nbsp;</td>";
        continue;
      }
      const int k = d.day();
      s += u"<td class='sch";
      frame::appendHtmlAttribute(s, joinText(buckets.type[k]));
      s += u"' valign='top' onclick=manage('" + d.text() + u"');>" +
           automation::toText(Variant(k)) + u"<br><span style='font-size:12px;'>" +
           replaceAll(frame::htmlText(buckets.text[k]), u"||", u"<br>") + u"</span></td>" + kCrLf;
    }
    s += Text(u" </tr>") + kCrLf;
  }
  s += Text(u" </table>") + kCrLf;
  return Variant(std::move(s));
}

Variant scheduler::DispMonth(const Variant& dtDate, const Variant& pID) {
  return Variant(joinText(DispMonthHeader()) + joinText(DispMonthContent(dtDate, pID)));
}

}  // namespace schedule
