// The statements of the schedule views and the summaries read with them: the plans of one
// day (GetPersonDay, GetPersonDay2), a person's name (GetName), the person list as menu items
// (GetMenu), and the day buckets of a period on which the week and month views rest.
//
// The statement texts are sent exactly as built, blanks included. A person id or system id
// stands in them unquoted and a date between quotes, so each is checked to be what it claims
// to be before a statement is built. Traces carry the statements as they are: apart from the
// page's own condition, nothing in them can hold markup once those checks have passed.
#include <algorithm>
#include <cmath>

#include "frame/database.h"
#include "frame/html_encoding.h"
#include "frame/sql_literal.h"
#include "scheduler/day_buckets.h"
#include "scheduler/scheduler.h"

namespace schedule {

using automation::joinText;
using automation::trim;

namespace {

constexpr TextView kPlanHead =
    u"select planID,planStartTime,planEndTime,Type1ID=personPlan.planAddrTypeID,"
    u"Type1=planAddrType.planAddrTypeName,Type2=planAddr.planAddrName,planAddrDetail,planTypeID,"
    u"planContent,planAddition,planFlagID from personPlan,planAddrType,planAddr where "
    u"personPlan.planAddrTypeID=planAddrType.planAddrTypeID and "
    u"personPlan.planAddrID=planAddr.planAddrID and personID=";

// The plans of one person that cover the instant `dt`, a date checked by the caller.
Text dayStatement(TextView pid, TextView dt, bool flaggedOnly) {
  Text sql = Text(kPlanHead) + Text(pid) + u" and planstartTime<='" + Text(dt) +
             u"' and planEndTime>='" + Text(dt) + u"' ";
  if (flaggedOnly) sql += u" and planFlagID=1";
  return sql + u" Order by planstartTime ";
}

Text periodStatement(TextView pid, Date first, Date last) {
  return Text(kPlanHead) + Text(pid) + u" and planEndTime>='" + first.text() +
         u"' and planStartTime<='" + last.text() + u"' " +
         u" and planFlagID=1 order by planStartTime";
}

// A date pasted as it was given: it must read as one.
Text dateLiteral(const Variant& dt) {
  automation::toDate(dt);
  return joinText(dt);
}

TextView placeClass(const Variant& type1ID) {
  if (automation::equals(type1ID, Variant(2))) return u"Beijing";
  if (automation::equals(type1ID, Variant(3))) return u"Outside";
  if (automation::equals(type1ID, Variant(4))) return u"Aboad";
  return u"Office";
}

// Place kind and place of the current plan row, trimmed; a null name is empty.
Text kindName(const ado::Recordset& rs) { return trim(joinText(rs.value(Variant(u"Type1")))); }
Text placeName(const ado::Recordset& rs) { return trim(joinText(rs.value(Variant(u"Type2")))); }

Text number(long n) { return automation::toText(Variant(n)); }

}  // namespace

Variant scheduler::session(TextView key) const { return page_.session().get(key); }

std::shared_ptr<ado::Recordset> scheduler::query(TextView sql) {
  return frame::openRecordset(sql, conn ? Variant(automation::ObjectRef(conn)) : Variant(),
                              ado::adOpenKeyset);
}

bool scheduler::isOwnPerson(const Variant& id) const {
  const Variant own = session(u"personID");
  // A null id is nobody's: it must not pass for the session's own person.
  if (id.isNull() || own.isNull()) return false;
  return std::trunc(automation::toDouble(id)) == std::trunc(automation::toDouble(own));
}

Text scheduler::personListStatement(const Variant& strCond) const {
  const Text systemID = frame::integerLiteral(session(u"systemID"));
  return u" select person.personID,person.personName,person.dutyID,personDuty.dutyName from "
         u"person,personDuty where  person.DutyID=personDuty.DutyID and systemID=" +
         systemID + u" and " + joinText(strCond) + u" order by person.dutyID ";
}

Variant scheduler::GetPersonDay(const Variant& dt, const Variant& personID) {
  const Text pid = frame::integerLiteral(personID);
  const Text sql = dayStatement(pid, dateLiteral(dt), !isOwnPerson(personID));
  auto rs = query(sql);
  // Each entry's span opens in front of all before it and closes after its own text, so
  // every entry stands in a span of its own class and the entries keep their order.
  Text s;
  long i = 1;
  for (; !rs->eof(); rs->MoveNext(), ++i) {
    Text entry = u"<span class=" + Text(placeClass(rs->value(Variant(u"Type1ID")))) +
                 u" style='width:100%;'> ";
    entry += s;
    entry += number(i) + u".";
    frame::appendHtmlText(entry, kindName(*rs));
    entry += u":";
    frame::appendHtmlText(entry, placeName(*rs));
    entry += u"&nbsp;</span>||";
    s = std::move(entry);
  }
  return s.empty() ? Variant() : Variant(std::move(s));
}

Variant scheduler::GetPersonDay2(const Variant& dt, const Variant& personID) {
  const Text pid = frame::integerLiteral(personID);
  auto rs = query(dayStatement(pid, dateLiteral(dt), true));
  Text title;
  TextView cls;
  for (long i = 1; !rs->eof(); rs->MoveNext(), ++i) {
    cls = placeClass(rs->value(Variant(u"Type1ID")));
    title += number(i) + u".";
    frame::appendHtmlAttribute(title, kindName(*rs));
    title += u":";
    frame::appendHtmlAttribute(title, placeName(*rs));
  }
  return Variant(u"<span class=" + Text(cls) + u" title='" + title + u"'>&nbsp;&nbsp;</span>");
}

Variant scheduler::GetName(const Variant& pID) {
  const Text pid = frame::integerLiteral(pID);
  auto rs = query(
      u"select personName,personDuty.dutyName from person,personDuty where person.dutyID = "
      u"personDuty.dutyID AND personID=" +
      pid);
  Text name = u"未名";
  if (!rs->eof()) {
    name = frame::htmlText(joinText(rs->value(Variant(u"personName")))) + u"-" +
           frame::htmlText(joinText(rs->value(Variant(u"dutyName"))));
  }
  rs->Close();
  return Variant(std::move(name));
}

Variant scheduler::GetMenu(const Variant& strCond) {
  const Text sql = personListStatement(strCond);
  WriteTrace(u"//" + sql);
  auto rs = query(sql);
  const Text rnd = frame::scriptString(joinText(session(u"rnd")));
  Text s;
  for (; !rs->eof(); rs->MoveNext()) {
    s += u"outlookbar.additem('";
    frame::appendScriptString(s, joinText(rs->value(Variant(u"personName"))));
    s += u"',t,'../scheduler/personMonth.asp?personID=";
    frame::appendScriptString(s, joinText(rs->value(Variant(u"personID"))));
    s += u"&rnd=" + rnd + u"');" + kCrLf;
  }
  rs->Close();
  return Variant(std::move(s));
}

void scheduler::fillDayBuckets(DayBuckets& buckets, TextView pid, Date first, Date last) {
  const Text sql = periodStatement(pid, first, last);
  WriteTrace(sql);
  auto rs = query(sql);
  // The columns are looked up once; an overview files the plans of every person it shows.
  const auto fields = rs->Fields();
  const auto startField = fields->Item(Variant(u"planStartTime"));
  const auto endField = fields->Item(Variant(u"planEndTime"));
  const auto typeField = fields->Item(Variant(u"Type1ID"));
  const auto kindField = fields->Item(Variant(u"Type1"));
  const auto placeField = fields->Item(Variant(u"Type2"));
  const Date firstDay = first.dateOnly();
  const Date lastDay = last.dateOnly();
  for (; !rs->eof(); rs->MoveNext()) {
    const Variant start = startField->Value();
    const Variant end = endField->Value();
    if (start.isNull() || end.isNull()) continue;
    const Date startDate = automation::toDate(start);
    const Date endDate = automation::toDate(end);
    // Only the period's own days are filed: a day outside it would land in the bucket of a
    // day of the period with the same number. Steps before the period are skipped at once.
    const auto daysBefore = std::lround(firstDay.serial() - startDate.dateOnly().serial());
    Date d = startDate.addDays(static_cast<int>(std::max(0L, daysBefore)));
    if (d > endDate || d.dateOnly() > lastDay) continue;
    Text piece = trim(joinText(kindField->Value()));
    piece += u":";
    piece += trim(joinText(placeField->Value()));
    piece += u"||";
    const Variant type = typeField->Value();
    for (; d <= endDate && d.dateOnly() <= lastDay; d = d.addDays(1)) {
      const int k = d.day();
      buckets.text[k] += piece;
      buckets.type[k] = type;
    }
  }
}

}  // namespace schedule
