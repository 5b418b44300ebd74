// The schedule instance: page events, opening and closing its database, the debug switch, the
// trace writer, and the member table through which page scripts call the class by name.
#include "scheduler/scheduler.h"

#include "frame/class_ids.h"
#include "frame/database.h"

namespace schedule {

using automation::Args;
using automation::byRef;
using automation::byVal;
using automation::MemberTable;

void scheduler::Init(const Variant& ConnStr) {
  strConn = automation::toText(ConnStr);
  openDB();
}

void scheduler::openDB() {
  // An earlier connection is released, not closed. The new one is kept only once open, so
  // that a failed open leaves nothing for the page end to close.
  conn.reset();
  conn = frame::openConnection(strConn);
  WriteTrace(Text(u"##调试信息:打开数据库 OK!<br>") + kCrLf);
}

void scheduler::closeDB() {
  if (conn) {
    conn->Close();
    conn.reset();
  }
  WriteTrace(Text(u"##调试信息:关闭数据库 OK!<br>") + kCrLf);
}

Variant scheduler::OnStartPage(const Variant& sc) {
  page_.bind(sc);
  strURL = automation::joinText(page_.request().ServerVariables(u"URL"));
  bDebug = false;
  return {};
}

Variant scheduler::OnEndPage() {
  page_.session().set(u"strURL", Variant(strURL));
  // The close trace goes out while the Response is still held.
  closeDB();
  page_.release();
  return {};
}

void scheduler::DebugMode() {
  bDebug = true;
  WriteTrace(Text(u"##调试信息:进入调试模式<br>") + kCrLf);
}

void scheduler::WriteTrace(TextView text) {
  if (bDebug) frame::writeTrace(page_.response(), text);
}

namespace {

using Self = scheduler;

automation::TypeInfo describeScheduler() {
  MemberTable<Self> t(frame::kScheduler.interfaceName, frame::kScheduler.iid);
  t.field(u"strURL", &Self::strURL)
      .sub(u"openDB", {}, [](Self& s, Args) { s.openDB(); })
      .sub(u"Init", {byRef(u"ConnStr")}, [](Self& s, Args a) { s.Init(a[0]); })
      .function(u"OnStartPage", {byRef(u"sc")}, [](Self& s, Args a) { return s.OnStartPage(a[0]); })
      .function(u"OnEndPage", {}, [](Self& s, Args) { return s.OnEndPage(); })
      .sub(u"DebugMode", {}, [](Self& s, Args) { s.DebugMode(); })
      .sub(u"SetDispStyle", {byRef(u"nType")}, [](Self& s, Args a) { s.SetDispStyle(a[0]); })
      .function(u"GetPersonDay", {byRef(u"dt"), byRef(u"personID")},
                [](Self& s, Args a) { return s.GetPersonDay(a[0], a[1]); })
      .function(u"GetPersonDay2", {byRef(u"dt"), byRef(u"personID")},
                [](Self& s, Args a) { return s.GetPersonDay2(a[0], a[1]); })
      .function(u"GetMenu", {byRef(u"strCond")}, [](Self& s, Args a) { return s.GetMenu(a[0]); })
      .function(u"DispLeaderMonthContent", {byRef(u"dtDate"), byRef(u"strCond")},
                [](Self& s, Args a) { return s.DispLeaderMonthContent(a[0], a[1]); })
      .function(u"DispLeaderWeekContent", {byRef(u"dtDate"), byRef(u"strCond")},
                [](Self& s, Args a) { return s.DispLeaderWeekContent(a[0], a[1]); })
      .function(u"DispPersonMonth", {byRef(u"dtDate"), byRef(u"pID")},
                [](Self& s, Args a) { return s.DispPersonMonth(a[0], a[1]); })
      .function(u"DispPersonWeek", {byRef(u"dtDate"), byRef(u"pID")},
                [](Self& s, Args a) { return s.DispPersonWeek(a[0], a[1]); })
      .function(u"GetName", {byRef(u"pID")}, [](Self& s, Args a) { return s.GetName(a[0]); })
      .function(u"DispMonthSelect", {byRef(u"dtDate"), byRef(u"pID")},
                [](Self& s, Args a) { return s.DispMonthSelect(a[0], a[1]); })
      .function(u"DispWeekSelect", {byRef(u"dtDate"), byRef(u"pID")},
                [](Self& s, Args a) { return s.DispWeekSelect(a[0], a[1]); })
      .function(u"DispSwitch", {byRef(u"dtDate"), byRef(u"pID"), byRef(u"strWhich")},
                [](Self& s, Args a) { return s.DispSwitch(a[0], a[1], a[2]); })
      .function(u"DispMonthHeader", {}, [](Self& s, Args) { return s.DispMonthHeader(); })
      .function(u"DispLeaderWeekHeader", {byVal(u"dtDate")},
                [](Self& s, Args a) { return s.DispLeaderWeekHeader(a[0]); })
      .function(u"DispLeaderMonthHeader", {byVal(u"dtDate")},
                [](Self& s, Args a) { return s.DispLeaderMonthHeader(a[0]); })
      .function(u"DispMonth", {byRef(u"dtDate"), byRef(u"pID")},
                [](Self& s, Args a) { return s.DispMonth(a[0], a[1]); })
      .function(u"DispLeaderWeek", {byRef(u"dtDate"), byRef(u"strCond")},
                [](Self& s, Args a) { return s.DispLeaderWeek(a[0], a[1]); })
      .function(u"DispLeaderMonth", {byRef(u"dtDate"), byRef(u"strCond")},
                [](Self& s, Args a) { return s.DispLeaderMonth(a[0], a[1]); })
      .function(u"DispWeek", {byRef(u"dtDate"), byRef(u"pID")},
                [](Self& s, Args a) { return s.DispWeek(a[0], a[1]); })
      .function(u"DispMonthContent", {byRef(u"dtDate"), byRef(u"pID")},
                [](Self& s, Args a) { return s.DispMonthContent(a[0], a[1]); })
      .function(u"GetFirstMonday", {byVal(u"dtDate")},
                [](Self& s, Args a) { return s.GetFirstMonday(a[0]); })
      .function(u"CountWeek", {byVal(u"dtDate")}, [](Self& s, Args a) { return s.CountWeek(a[0]); })
      .function(u"GetPrevMonday", {byVal(u"dtDate")},
                [](Self& s, Args a) { return s.GetPrevMonday(a[0]); })
      .function(u"DispScript", {byRef(u"pID")}, [](Self& s, Args a) { return s.DispScript(a[0]); });
  return t.build();
}

}  // namespace

const automation::TypeInfo& scheduler::typeInfo() const {
  static const automation::TypeInfo info = describeScheduler();
  return info;
}

}  // namespace schedule
