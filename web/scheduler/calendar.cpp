// Mondays, month bounds and week numbers, and the three public members built on them. A
// Monday passed in goes back exactly as it came (a text stays that text), because the week
// views write it back into the page and the links.
#include "scheduler/calendar.h"

#include "scheduler/scheduler.h"

namespace schedule {

namespace {

constexpr int kMonday = 2;

int daysBackToMonday(Date d) { return (d.weekday() - kMonday + 7) % 7; }

}  // namespace

MonthBounds monthBounds(Date d) {
  const int year = d.year();
  const int month = d.month();
  return {Date::fromParts(year, month, 1),
          Date::fromParts(year, month, automation::daysInMonth(year, month))};
}

Date prevMonday(Date d) { return d.addDays(-daysBackToMonday(d)); }

Date firstMonday(Date d) { return prevMonday(monthBounds(d).first); }

int weekOfMonth(Date d) {
  // The Mondays among days 1 .. day - 1: a Monday still belongs to the week before it.
  const Date first = monthBounds(d).first;
  const int daysBefore = d.day() - 1;
  const int firstMondayDay = 1 + (7 - daysBackToMonday(first)) % 7;
  return daysBefore < firstMondayDay ? 1 : 2 + (daysBefore - firstMondayDay) / 7;
}

TextView weekdayName(Date d) {
  static constexpr TextView kNames[] = {u"日", u"一", u"二", u"三", u"四", u"五", u"六"};
  return kNames[d.weekday() - 1];
}

Variant scheduler::GetPrevMonday(const Variant& dtDate) {
  const Date d = automation::toDate(dtDate);
  if (daysBackToMonday(d) == 0) return dtDate;
  return Variant(prevMonday(d));
}

Variant scheduler::GetFirstMonday(const Variant& dtDate) {
  return Variant(firstMonday(automation::toDate(dtDate)));
}

Variant scheduler::CountWeek(const Variant& dtDate) {
  return Variant(static_cast<std::int16_t>(weekOfMonth(automation::toDate(dtDate))));
}

}  // namespace schedule
