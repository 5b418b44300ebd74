// Test fixture of the class: a file database with the permission tables (a menu tree of two
// systems, groups, their rights and members, persons) and a page whose session holds the
// signed-in person and the current system, driving a Permission instance.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "frame/database.h"
#include "page_fixture.h"
#include "permission/permission.h"

namespace permission_test {

using automation::Text;
using automation::TextView;
using automation::Variant;

// Option texts as the menu lists write them: the level's indentation of ideographic spaces
// (none, two, three) and its marker (black circle, white circle, bullseye).
inline Text option(TextView id, int level, TextView name) {
  static const Text kLead[] = {u"\u25CF", u"\u3000\u3000\u25CB", u"\u3000\u3000\u3000\u25CE"};
  return u"<option value=\"" + Text(id) + u"\">" + kLead[level - 1] + Text(name) + u"</option>";
}

class PermissionDb {
 public:
  // System 1's tree, by menuOrder: 2 文件 (8, nameless), 1 系统管理 (4 组 (5 权限 (6, a fourth
  // level)), 3 用户); 7 is an orphan; 10 and 11 belong to system 2.
  PermissionDb() : connStr_(test_support::sqliteConnectionString(dir_.file("permission.db"))) {
    run(u"create table menu(menuID int, menuName varchar(50), menuFatherID int, menuOrder int, "
        u"systemID int)");
    run(u"insert into menu values(1,'系统管理',null,2,1),(2,'文件',null,1,1),(3,' 用户 ',1,2,1),"
        u"(4,'组',1,1,1),(5,'权限',4,1,1),(6,'深层',5,1,1),(7,'孤儿',99,1,1),(8,null,2,1,1),"
        u"(10,'其他',null,1,2),(11,'别系统',1,3,2)");
    run(u"create table AccessGroup(accessGroupID integer primary key autoincrement, "
        u"accessGroupName varchar(50), systemID int)");
    run(u"insert into AccessGroup values(1,'管理员',1),(2,' 访 客 ',1),(3,'外系统',2)");
    run(u"create table AccessMenu(AccessGroupID int, AccessMenuID int, accessmenutype int)");
    run(u"create table accessPerson(accessGroupID int, accessPersonID int)");
    run(u"create table person(personID int, personName varchar(20), systemID int, "
        u"personGroupID int, DutyID int)");
  }

  const Text& connStr() const { return connStr_; }

  void run(TextView sql) const { frame::execute(*frame::openConnection(connStr_), sql); }

  // Every row of `sql`, its fields' texts joined by "|" (a null shows as "NULL").
  std::vector<std::string> rows(TextView sql) const {
    auto rs = frame::openRecordset(sql, Variant(connStr_), ado::adOpenStatic);
    std::vector<std::string> result;
    const auto count = rs->Fields()->Count();
    for (; !rs->eof(); rs->MoveNext()) {
      std::string row;
      for (int i = 0; i < count; ++i) {
        const Variant v = rs->value(Variant(i));
        if (i > 0) row += "|";
        row += v.isNull() ? std::string("NULL") : automation::toUtf8(automation::joinText(v));
      }
      result.push_back(row);
    }
    rs->Close();
    return result;
  }

  // Every row of every table, in storage order: what must not change.
  std::vector<std::string> everything() const {
    std::vector<std::string> all;
    for (TextView table : {u"menu", u"AccessGroup", u"AccessMenu", u"accessPerson", u"person"}) {
      all.push_back("== " + automation::toUtf8(table));
      for (auto& row : rows(u"select * from " + Text(table) + u" order by rowid")) {
        all.push_back(std::move(row));
      }
    }
    return all;
  }

 private:
  test_support::TempDir dir_;
  Text connStr_;
};

// One request of a page of a signed-in person of system 1; the instance is bound and its
// database opened at construction.
class PermissionPage {
 public:
  explicit PermissionPage(const PermissionDb& db, std::shared_ptr<asp::Session> session = nullptr)
      : page_(test_support::makePage({u"/permission.asp", "", ""}, std::move(session))),
        permission_(std::make_shared<permission::Permission>()) {
    if (page_.session->get(u"systemID").isEmpty()) page_.session->set(u"systemID", Variant(1));
    Variant sc = page_.contextVariant();
    permission_->OnStartPage(sc);
    Variant conn(db.connStr());
    permission_->openDB(conn);
  }

  permission::Permission* operator->() { return permission_.get(); }
  permission::Permission& object() { return *permission_; }
  const std::shared_ptr<permission::Permission>& ref() const { return permission_; }

  void setSession(TextView key, Variant value) { page_.session->set(key, std::move(value)); }
  Variant session(TextView key) const { return page_.session->get(key); }
  const std::shared_ptr<asp::Session>& sessionRef() const { return page_.session; }
  const Text& output() const { return page_.output(); }
  Variant contextVariant() const { return page_.contextVariant(); }

 private:
  test_support::Page page_;
  std::shared_ptr<permission::Permission> permission_;
};

// The HRESULT of the automation error `action` raises, 0 when it raises none.
template <class Action>
automation::HRESULT errorOf(Action&& action) {
  try {
    action();
  } catch (const automation::AutomationError& e) {
    return e.code();
  }
  return 0;
}

// The menuIDs of a recordset's rows, from the current one to the end, as "2,1,".
inline Text menuIds(ado::Recordset& rs) {
  Text ids;
  for (; !rs.eof(); rs.MoveNext()) ids += automation::toText(rs.value(Variant(u"menuID"))) + u",";
  return ids;
}

}  // namespace permission_test
