// Test fixture of the class: a file database holding the plan tables, and pages of one user's
// session driving a scheduler instance through its page events.
//
// Persons of system 1, by duty: 12 张三 (处长), 13 李四 (科员), 14 王五 (司机, no plans);
// person 20 belongs to system 2. System 3 holds person 30, whose name and plan hold markup.
// Plans of 张三 (May 2001: the 1st is a Tuesday, the 7th a Monday):
//   1  2001-04-28 09:00 .. 2001-05-02 08:00  国外:东京   kind 4, flag 1
//   2  2001-05-07 00:00 .. 2001-05-09 00:00  北京:海淀   kind 2, flag 1
//   3  2001-05-08 09:00 .. 2001-05-08 17:00  外地:上海   kind 3, flag 1
//   4  2001-05-08 10:00 .. 2001-05-08 11:00  办公室:会议室 kind 1, flag 0 (the place has blanks)
//   5  2001-05-30 09:00 .. 2001-06-03 18:00  外地:上海   kind 3, flag 1
// Plans of 李四: 6, 2001-03-15 08:00 .. 2001-06-10 18:00 北京:海淀 kind 2, flag 1.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "automation/error.h"
#include "frame/database.h"
#include "page_fixture.h"
#include "scheduler/scheduler.h"

namespace scheduler_test {

using automation::Text;
using automation::TextView;
using automation::Variant;

inline constexpr char16_t kCrLf[] = u"\r\n";

// The trace line as the page carries it, hidden.
inline Text hidden(TextView text) {
  return u"<span id=debugID style='display:none'>" + Text(text) + u"</span>";
}

// The error an action raises, 0 when none.
template <class Action>
automation::HRESULT errorOf(Action&& action) {
  try {
    action();
  } catch (const automation::AutomationError& e) {
    return e.code();
  }
  return 0;
}

class PlanDb {
 public:
  PlanDb() : connStr_(test_support::sqliteConnectionString(dir_.file("plans.db"))) {
    // One transaction: a commit per statement would wait for the disk each time.
    setup_ = frame::openConnection(connStr_);
    run(u"begin");
    run(u"create table personDuty(dutyID integer, dutyName varchar(20))");
    run(u"insert into personDuty values(1,'处长'),(2,'科员'),(3,'司机'),(4,'<i>顾问</i>')");
    run(u"create table person(personID integer primary key, personName varchar(20), "
        u"dutyID integer, systemID integer)");
    run(u"insert into person values(12,'张三',1,1),(13,'李四',2,1),(14,'王五',3,1),"
        u"(20,'赵六',1,2),(30,'<b>钱七</b>',4,3)");
    run(u"create table planAddrType(planAddrTypeID integer, planAddrTypeName varchar(20))");
    run(u"insert into planAddrType values(1,'办公室'),(2,'北京'),(3,'外地'),(4,'国外'),"
        u"(5,'x''<script>')");
    run(u"create table planAddr(planAddrID integer, planAddrName varchar(20))");
    run(u"insert into planAddr values(1,'本部'),(2,'海淀'),(3,'上海'),(4,'东京'),"
        u"(5,' 会议室 '),(6,'</td><img src=x>')");
    run(u"create table personPlan(planID integer primary key, planStartTime datetime, "
        u"planEndTime datetime, planAddrTypeID integer, planAddrID integer, planAddrDetail "
        u"varchar(50), planTypeID integer, planContent varchar(200), planAddition varchar(200), "
        u"planFlagID integer, personID integer)");
    addPlan(1, u"2001-04-28 09:00:00", u"2001-05-02 08:00:00", 4, 4, 1, 12);
    addPlan(2, u"2001-05-07 00:00:00", u"2001-05-09 00:00:00", 2, 2, 1, 12);
    addPlan(3, u"2001-05-08 09:00:00", u"2001-05-08 17:00:00", 3, 3, 1, 12);
    addPlan(4, u"2001-05-08 10:00:00", u"2001-05-08 11:00:00", 1, 5, 0, 12);
    addPlan(5, u"2001-05-30 09:00:00", u"2001-06-03 18:00:00", 3, 3, 1, 12);
    addPlan(6, u"2001-03-15 08:00:00", u"2001-06-10 18:00:00", 2, 2, 1, 13);
    addPlan(7, u"2001-05-09 08:00:00", u"2001-05-09 18:00:00", 5, 6, 1, 30);
    run(u"commit");
    setup_->Close();
    setup_.reset();
  }

  const Text& connStr() const { return connStr_; }

  void run(TextView sql) const {
    frame::execute(setup_ ? *setup_ : *frame::openConnection(connStr_), sql);
  }

  void addPlan(int id, TextView start, TextView end, int kind, int place, int flag,
               int person) const {
    const auto n = [](int v) { return automation::toText(Variant(v)); };
    run(u"insert into personPlan values(" + n(id) + u",'" + Text(start) + u"','" + Text(end) +
        u"'," + n(kind) + u"," + n(place) + u",'',1,'',''," + n(flag) + u"," + n(person) + u")");
  }

  // The number of rows of `table`, to show that nothing was changed.
  int count(TextView table) const {
    auto rs = frame::openRecordset(u"select count(*) from " + Text(table), Variant(connStr_),
                                   ado::adOpenStatic);
    const int n = automation::toInt32(rs->value(Variant(0)));
    rs->Close();
    return n;
  }

 private:
  test_support::TempDir dir_;
  Text connStr_;
  std::shared_ptr<ado::Connection> setup_;
};

// One request of a schedule page of 张三's session (personID 12, system 1, rnd "r7"); the
// instance is bound at construction.
class SchedulerPage {
 public:
  explicit SchedulerPage(Text url = u"/scheduler/personMonth.asp")
      : page_(test_support::makePage({std::move(url), "", ""})),
        object_(std::make_shared<schedule::scheduler>()) {
    page_.session->set(u"personID", Variant(12));
    page_.session->set(u"systemID", Variant(1));
    page_.session->set(u"rnd", Variant(u"r7"));
    object_->OnStartPage(page_.contextVariant());
  }

  schedule::scheduler* operator->() { return object_.get(); }
  schedule::scheduler& object() { return *object_; }
  void init(const PlanDb& db) { object_->Init(Variant(db.connStr())); }
  void setSession(TextView key, Variant value) { page_.session->set(key, std::move(value)); }
  Variant session(TextView key) const { return page_.session->get(key); }
  const Text& output() const { return page_.output(); }
  const test_support::Page& page() const { return page_; }

 private:
  test_support::Page page_;
  std::shared_ptr<schedule::scheduler> object_;
};

// The text of a view's result.
inline Text text(const Variant& v) { return automation::joinText(v); }

// Links carry the seconds since midnight when they were written: each "&t=" value must be
// such a number, and is replaced by "T" so that whole outputs can be compared.
inline Text withTimerMarked(TextView s) {
  Text out;
  std::size_t from = 0;
  for (std::size_t at; (at = s.find(u"&t=", from)) != TextView::npos;) {
    const std::size_t start = at + 3;
    const std::size_t end = std::min(s.find(u'&', start), s.size());
    const auto value = automation::parseNumber(s.substr(start, end - start));
    EXPECT_TRUE(value && *value >= 0 && *value < 86400) << automation::toUtf8(s.substr(start));
    out.append(s.substr(from, start - from)).append(u"T");
    from = end;
  }
  return out.append(s.substr(from));
}

}  // namespace scheduler_test
