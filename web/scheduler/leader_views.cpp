// The overviews of a group of persons: one row per person of the page's person list, one
// column per day of the week or of the month, each day cell coloured by the kind of the
// person's last plan that day. The person strips are public too and serve alone as well. The
// tables the headers open are closed by the page.
//
// Every strip runs its own period query: an overview of n persons runs n + 1 statements,
// reading one person's plans at a time.
#include "frame/html_encoding.h"
#include "frame/sql_literal.h"
#include "scheduler/calendar.h"
#include "scheduler/day_buckets.h"
#include "scheduler/scheduler.h"

namespace schedule {

using automation::joinText;
using automation::replaceAll;

namespace {

void appendDayClass(Text& s, const DayBuckets& buckets, int k) {
  s += u"sch";
  frame::appendHtmlAttribute(s, joinText(buckets.type[k]));
}

}  // namespace

Variant scheduler::DispPersonWeek(const Variant& dtDate, const Variant& pID) {
  const Text pid = frame::integerLiteral(pID);
  const Date monday = automation::toDate(GetPrevMonday(dtDate));
  const Date sunday = monday.addDays(6);
  DayBuckets buckets;
  fillDayBuckets(buckets, pid, monday, sunday);

  Text s;
  Date d = monday;
  for (int i = 0; i < 7; ++i, d = d.addDays(1)) {
    const int k = d.day();
    s += u"<td class='";
    appendDayClass(s, buckets, k);
    s += u"' >" + replaceAll(frame::htmlText(buckets.text[k]), u"||", kCrLf) + u"</td>";
  }
  return Variant(std::move(s));
}

Variant scheduler::DispPersonMonth(const Variant& dtDate, const Variant& pID) {
  const Text pid = frame::integerLiteral(pID);
  const MonthBounds month = monthBounds(automation::toDate(dtDate));
  DayBuckets buckets;
  fillDayBuckets(buckets, pid, month.first, month.last);

  Text s;
  for (Date d = month.first; d <= month.last; d = d.addDays(1)) {
    const int k = d.day();
    s += u"<td title='" + replaceAll(frame::htmlAttribute(buckets.text[k]), u"||", kCrLf) +
         u"' class='";
    appendDayClass(s, buckets, k);
    s += u"' >&nbsp;</td>";
  }
  return Variant(std::move(s));
}

Variant scheduler::DispLeaderWeekHeader(const Variant& dtDate) {
  Text s = Text(u"<table cellspadding=0 cellspacing=1 width=100% height=85%>") + kCrLf +
           u"<tr class='schh'><th height='23' nowrap>姓名</th>";
  // The Monday goes out as it was given; the following days are date values.
  Variant d = GetPrevMonday(dtDate);
  for (int i = 0; i < 7; ++i) {
    const Date day = automation::toDate(d);
    s += u"<th height='23' nowrap>星期" + Text(weekdayName(day)) + u"<br>";
    frame::appendHtmlText(s, joinText(d));
    s += u"</th>";
    d = Variant(day.addDays(1));
  }
  s += Text(u"</tr>") + kCrLf;
  return Variant(std::move(s));
}

Variant scheduler::DispLeaderMonthHeader(const Variant& dtDate) {
  Text s = Text(u"<table cellspadding=0 cellspacing=1 width=100% >") + kCrLf +
           u"<tr class='schh'><th nowrap>姓&nbsp;&nbsp;名</th>";
  const MonthBounds month = monthBounds(automation::toDate(dtDate));
  for (Date d = month.first; d <= month.last; d = d.addDays(1)) {
    s += u"<th height='23' nowrap>" + automation::toText(Variant(d.day())) + u"<br>" +
         Text(weekdayName(d)) + u"</th>";
  }
  s += Text(u"</tr>") + kCrLf;
  return Variant(std::move(s));
}

void scheduler::leaderRows(Text& out, const Variant& dtDate, const Variant& strCond,
                           Variant (scheduler::*strip)(const Variant&, const Variant&)) {
  automation::toDate(dtDate);  // before any statement runs
  auto rs = query(personListStatement(strCond));
  for (; !rs->eof(); rs->MoveNext()) {
    out += u"<tr><td class=td2 nowrap>";
    frame::appendHtmlText(out, joinText(rs->value(Variant(u"personName"))));
    out += u"</td>";
    out += joinText((this->*strip)(dtDate, rs->value(Variant(u"personID"))));
    out += u"</tr>";
    out += kCrLf;
  }
  rs->Close();
}

// The overviews are built in one text, the largest a page gets from this class: each row is
// appended to it where it is made, never copied along.
Variant scheduler::DispLeaderWeekContent(const Variant& dtDate, const Variant& strCond) {
  Text s;
  leaderRows(s, dtDate, strCond, &scheduler::DispPersonWeek);
  return Variant(std::move(s));
}

Variant scheduler::DispLeaderMonthContent(const Variant& dtDate, const Variant& strCond) {
  Text s;
  leaderRows(s, dtDate, strCond, &scheduler::DispPersonMonth);
  return Variant(std::move(s));
}

Variant scheduler::DispLeaderWeek(const Variant& dtDate, const Variant& strCond) {
  Text s = joinText(DispLeaderWeekHeader(dtDate));
  leaderRows(s, dtDate, strCond, &scheduler::DispPersonWeek);
  return Variant(std::move(s));
}

Variant scheduler::DispLeaderMonth(const Variant& dtDate, const Variant& strCond) {
  Text s = joinText(DispLeaderMonthHeader(dtDate));
  leaderRows(s, dtDate, strCond, &scheduler::DispPersonMonth);
  return Variant(std::move(s));
}

}  // namespace schedule
