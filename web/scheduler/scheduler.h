// scheduler: the schedule pages. One person's week list and month calendar, the week and month
// overviews of a group of persons, the selectors that move a view by week, month or year, the
// bar that switches between the month and the week form of a view, the script that opens the
// entry page of a day, and the style block. Views return their HTML as text for the page to
// write; only SetDispStyle and the trace lines write into the response. The class is spread
// over one file per concern:
//   scheduler.cpp      page events, Init, openDB, closeDB, DebugMode, the trace, member table
//   calendar.cpp       GetPrevMonday, GetFirstMonday, CountWeek, month bounds, weekday names
//   plan_queries.cpp   the statements, GetPersonDay, GetPersonDay2, GetName, GetMenu and the
//                      day buckets every view is built from
//   person_views.cpp   DispWeek, DispMonthHeader, DispMonthContent, DispMonth
//   leader_views.cpp   DispPersonWeek, DispPersonMonth and the leader overviews
//   navigation.cpp     DispMonthSelect, DispWeekSelect, DispSwitch, DispScript, SetDispStyle
//
// Values pasted into the statements: person ids and Session("systemID") must be plain integers
// and dates must read as dates; anything else raises the type-mismatch error before a statement
// runs or anything is written. strCond is another matter: it is SQL that the page writes itself
// and it is pasted as it stands. A page must never build strCond from request values.
//
// One instance serves one page: OnStartPage binds it, Init opens the database, OnEndPage saves
// the page's URL in the session and closes the database.
#pragma once

#include <memory>

#include "ado/ado.h"
#include "frame/page_context.h"

namespace schedule {

using automation::Date;
using automation::Text;
using automation::TextView;
using automation::Variant;
using frame::kCrLf;

struct DayBuckets;

class scheduler : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  // Public members, in interface order. No operation writes back into its arguments.
  Text strURL;
  void openDB();
  void Init(const Variant& ConnStr);
  Variant OnStartPage(const Variant& sc);
  Variant OnEndPage();
  void DebugMode();
  void SetDispStyle(const Variant& nType);
  Variant GetPersonDay(const Variant& dt, const Variant& personID);
  Variant GetPersonDay2(const Variant& dt, const Variant& personID);
  Variant GetMenu(const Variant& strCond);
  Variant DispLeaderMonthContent(const Variant& dtDate, const Variant& strCond);
  Variant DispLeaderWeekContent(const Variant& dtDate, const Variant& strCond);
  Variant DispPersonMonth(const Variant& dtDate, const Variant& pID);
  Variant DispPersonWeek(const Variant& dtDate, const Variant& pID);
  Variant GetName(const Variant& pID);
  Variant DispMonthSelect(const Variant& dtDate, const Variant& pID);
  Variant DispWeekSelect(const Variant& dtDate, const Variant& pID);
  Variant DispSwitch(const Variant& dtDate, const Variant& pID, const Variant& strWhich);
  Variant DispMonthHeader();
  Variant DispLeaderWeekHeader(const Variant& dtDate);
  Variant DispLeaderMonthHeader(const Variant& dtDate);
  Variant DispMonth(const Variant& dtDate, const Variant& pID);
  Variant DispLeaderWeek(const Variant& dtDate, const Variant& strCond);
  Variant DispLeaderMonth(const Variant& dtDate, const Variant& strCond);
  Variant DispWeek(const Variant& dtDate, const Variant& pID);
  Variant DispMonthContent(const Variant& dtDate, const Variant& pID);
  Variant GetFirstMonday(const Variant& dtDate);
  Variant CountWeek(const Variant& dtDate);
  Variant GetPrevMonday(const Variant& dtDate);
  Variant DispScript(const Variant& pID);

 private:
  void closeDB();
  void WriteTrace(TextView text);

  Variant session(TextView key) const;
  // A keyset recordset of `sql` on the instance's connection; before Init, ADO's error for a
  // recordset without a usable connection.
  std::shared_ptr<ado::Recordset> query(TextView sql);
  // Whether `id` names the person the session belongs to (equal whole-number parts).
  bool isOwnPerson(const Variant& id) const;
  // The person list of the session's system, restricted by the page's condition.
  Text personListStatement(const Variant& strCond) const;
  // Files the plans of person `pid` (a checked id) that cover the days first..last.
  void fillDayBuckets(DayBuckets& buckets, TextView pid, Date first, Date last);
  // Appends the rows of a leader overview: each person's name and the strip `strip` gives.
  void leaderRows(Text& out, const Variant& dtDate, const Variant& strCond,
                  Variant (scheduler::*strip)(const Variant&, const Variant&));
  // A selector link from the current page to `target`, closed by `closing`.
  Text selectorLink(const Text& pid, const Text& rnd, Date target, TextView closing) const;

  bool bDebug = false;
  frame::PageContext page_;
  std::shared_ptr<ado::Connection> conn;
  Text strConn;
};

}  // namespace schedule
