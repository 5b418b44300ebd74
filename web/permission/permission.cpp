// Page events, the Session property, the trace writer and the database connection of the
// class, the helpers every concern shares, and the member table through which page scripts
// call the class by name.
#include "permission/permission.h"

#include "frame/class_ids.h"
#include "frame/database.h"
#include "frame/sql_literal.h"

namespace permission {

using automation::Args;
using automation::byRef;
using automation::byVal;
using automation::MemberTable;

Variant Permission::OnStartPage(Variant& sc) {
  page_.bind(sc);
  return {};
}

// The connection stays open until the instance is released.
Variant Permission::OnEndPage() {
  page_.release();
  return {};
}

void Permission::setSession(const Variant& session) {
  if (session.isObject() && !session.object()) {
    page_.setSession(nullptr);  // Nothing
    return;
  }
  page_.setSession(automation::objectAs<asp::Session>(session));
}

void Permission::PrintDebug(Variant& strTmp) {
  frame::writeTrace(page_.response(), automation::joinText(strTmp));
}

void Permission::openDB(Variant& strConn) {
  // The connection held before is let go even when the new one cannot be opened.
  conn_.reset();
  conn_ = frame::openConnection(automation::joinText(strConn));
}

ado::Connection& Permission::connection() const {
  if (!conn_) automation::throwObjectNotSet();
  return *conn_;
}

Variant Permission::activeConnection() const {
  connection();
  return Variant(automation::ObjectRef(conn_));
}

std::shared_ptr<ado::Recordset> Permission::open(TextView sql) const {
  return frame::openRecordset(sql, activeConnection(), ado::adOpenKeyset);
}

void Permission::runTogether(const std::vector<Text>& statements) const {
  ado::Connection& c = connection();
  c.BeginTrans();
  try {
    for (const Text& sql : statements) frame::execute(c, sql);
    c.CommitTrans();
  } catch (...) {
    try {
      c.RollbackTrans();
    } catch (const automation::AutomationError&) {
      // The statement's error is the one the page needs to see.
    }
    throw;
  }
}

bool Permission::isBlank(const Variant& v) {
  return v.isEmpty() || v.isNull() || v.isMissing() || (v.isText() && v.text().empty());
}

Variant Permission::session(TextView key) const { return page_.session().get(key); }

Text Permission::systemID() const { return frame::integerLiteral(session(u"systemID")); }

bool Permission::isAdministrator() const {
  return automation::equals(session(u"personName"), Variant(u"admin"));
}

Text Permission::accessList() const {
  Text list = automation::joinText(session(u"personAccess"));
  // An empty list would leave "in ()", which some databases accept as matching nothing.
  if (list.empty()) automation::throwTypeMismatch();
  for (const Text& item : automation::split(list, u",")) frame::integerLiteral(Variant(item));
  return list;
}

namespace {

automation::TypeInfo describePermission() {
  MemberTable<Permission> t(frame::kPermission.interfaceName, frame::kPermission.iid);
  t.function(u"OnStartPage", {byRef(u"sc")},
             [](Permission& p, Args a) { return p.OnStartPage(a[0]); })
      .function(u"OnEndPage", {}, [](Permission& p, Args) { return p.OnEndPage(); })
      .property(
          u"Session", {},
          [](Permission& p, Args) { return Variant(automation::ObjectRef(p.Session())); },
          [](Permission& p, Args, const Variant& v) { p.setSession(v); }, u"Session")
      .sub(u"PrintDebug", {byRef(u"strTmp")}, [](Permission& p, Args a) { p.PrintDebug(a[0]); })
      .sub(u"openDB", {byRef(u"strConn")}, [](Permission& p, Args a) { p.openDB(a[0]); })
      .function(u"DispMenuItem", {}, [](Permission& p, Args) { return Variant(p.DispMenuItem()); })
      .sub(u"GetPersonAccess", {}, [](Permission& p, Args) { p.GetPersonAccess(); })
      .function(u"GetMenu1", {byRef(u"RsM1")},
                [](Permission& p, Args a) { return p.GetMenu1(a[0]); })
      .function(
          u"GetMenu23", {byVal(u"menuFatherID")},
          [](Permission& p, Args a) { return Variant(automation::ObjectRef(p.GetMenu23(a[0]))); })
      .function(u"DispGroup", {}, [](Permission& p, Args) { return Variant(p.DispGroup()); })
      .function(u"AddGroup", {byRef(u"name")},
                [](Permission& p, Args a) { return p.AddGroup(a[0]); })
      .function(u"delGroup", {byRef(u"groupID")},
                [](Permission& p, Args a) { return p.delGroup(a[0]); })
      .function(u"DispAccessMenuItem", {byRef(u"groupID")},
                [](Permission& p, Args a) {
                  return Variant(p.DispAccessMenuItem(automation::toInt16(a[0])));
                })
      .function(u"SavePermission", {byRef(u"permissionGroupID"), byRef(u"permitSetStr")},
                [](Permission& p, Args a) { return Variant(p.SavePermission(a[0], a[1])); })
      .function(u"DispPerson", {byRef(u"groupID")},
                [](Permission& p, Args a) { return Variant(p.DispPerson(a[0])); })
      .function(u"SavePerson", {byRef(u"permissionGroupID"), byRef(u"permitSetStr")},
                [](Permission& p, Args a) { return Variant(p.SavePerson(a[0], a[1])); });
  return t.build();
}

}  // namespace

const automation::TypeInfo& Permission::typeInfo() const {
  static const automation::TypeInfo info = describePermission();
  return info;
}

}  // namespace permission
