// Test fixture of the class: a file database with a small person table and its lookup
// tables, and pages of one user's session driving a DNA instance through its page events.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dna/dna.h"
#include "frame/database.h"
#include "page_fixture.h"

namespace dna_test {

using automation::Text;
using automation::TextView;
using automation::Variant;

// The trace line as the page carries it, hidden.
inline Text hidden(TextView text) {
  return u"<span id=debugID style='display:none'>" + Text(text) + u"</span>";
}

inline constexpr char16_t kPersonSQL[] = u"select id,name,dept,kind from person";
inline constexpr char16_t kPersonCaptions[] = u"编号,姓名,部门,类别";

// person: five rows, one with a null department; dept and kind: the lookups of its codes.
class FixtureDb {
 public:
  FixtureDb() : connStr_(test_support::sqliteConnectionString(dir_.file("fixture.db"))) {
    run(u"create table person(id integer primary key, name varchar(20), dept integer, "
        u"kind varchar(2))");
    run(u"insert into person values(1,'张三',1,'A'),(2,'李四',2,'B'),(3,'王五',1,'A'),"
        u"(4,'赵六',3,'B'),(5,'孙七',null,'A')");
    run(u"create table dept(deptName varchar(20), deptID integer, used integer)");
    run(u"insert into dept values('技术部',2,1),('销售部',1,1),('财务部',3,0)");
    run(u"create table kind(kindName varchar(20), kindCode varchar(2))");
    run(u"insert into kind values('正式','A'),('临时','B')");
  }

  const Text& connStr() const { return connStr_; }

  void run(TextView sql) const { frame::execute(*frame::openConnection(connStr_), sql); }

  // The value of the first column of the first row of `sql`.
  Variant scalar(TextView sql) const {
    auto rs = frame::openRecordset(sql, Variant(connStr_), ado::adOpenStatic);
    Variant v = rs->value(Variant(0));
    rs->Close();
    return v;
  }

 private:
  test_support::TempDir dir_;
  Text connStr_;
};

// One request of a page: the instance is bound at construction; end() runs the page end.
class DnaPage {
 public:
  explicit DnaPage(std::string query = "", std::shared_ptr<asp::Session> session = nullptr,
                   Text url = u"/list.asp", std::string form = "")
      : page_(test_support::makePage({url, std::move(query), std::move(form)}, std::move(session))),
        dna_(std::make_shared<dna::DNA>()) {
    Variant sc = page_.contextVariant();
    dna_->OnStartPage(sc);
  }

  dna::DNA& dna() { return *dna_; }
  dna::DNA* operator->() { return dna_.get(); }
  const std::shared_ptr<dna::DNA>& object() const { return dna_; }

  void open(const FixtureDb& db, TextView sql = kPersonSQL, TextView captions = kPersonCaptions) {
    Variant conn(db.connStr());
    Variant statement(sql);
    Variant chinese(captions);
    dna_->OpenDNA(conn, statement, chinese);
  }

  const Text& output() const { return page_.output(); }
  // What was written since the last call.
  Text take() {
    Text fresh = page_.output().substr(taken_);
    taken_ = page_.output().size();
    return fresh;
  }
  Variant session(TextView key) const { return page_.session->get(key); }
  const std::shared_ptr<asp::Session>& sessionRef() const { return page_.session; }
  void end() { dna_->OnEndPage(); }

 private:
  test_support::Page page_;
  std::shared_ptr<dna::DNA> dna_;
  std::size_t taken_ = 0;
};

// Runs one whole request of the list page of the user's session (open, act, close, page end)
// and returns what the page wrote.
template <class Act>
Text request(const FixtureDb& db, std::shared_ptr<asp::Session>& session, std::string query,
             Act act, TextView sql = kPersonSQL) {
  DnaPage page(std::move(query), session);
  page.open(db, sql);
  act(page.dna());
  page->CloseDNA();
  page.end();
  session = page.sessionRef();
  return page.output();
}

}  // namespace dna_test
