// Permission: the application's menu tree, its permission groups, the menu items granted to
// each group, the members of each group, and the signed-in person's access list. Every
// operation returns its HTML as text for the page to write. The class is spread over one file
// per concern:
//   permission.cpp  page events, the Session property, PrintDebug, openDB, the member table
//   menu_tree.cpp   DispMenuItem, GetPersonAccess, GetMenu1, GetMenu23
//   groups.cpp      DispGroup, AddGroup, delGroup, DispAccessMenuItem, SavePermission
//   members.cpp     DispPerson, SavePerson
//
// Ids and the system number stand unquoted in the statements, so every one of them must read
// as a whole number (frame/sql_literal.h); the saves check all of theirs before the first
// statement and run as one transaction, so a failing save changes nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ado/ado.h"
#include "frame/page_context.h"

namespace permission {

using automation::Text;
using automation::TextView;
using automation::Variant;

class Permission : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  // Public operations, in interface order.
  Variant OnStartPage(Variant& sc);
  Variant OnEndPage();
  // The session every operation reads and writes; a page may put another in its place.
  std::shared_ptr<asp::Session> Session() const { return page_.sessionRef(); }
  void setSession(const Variant& session);
  void PrintDebug(Variant& strTmp);
  void openDB(Variant& strConn);
  Text DispMenuItem();
  void GetPersonAccess();
  Variant GetMenu1(Variant& RsM1);
  std::shared_ptr<ado::Recordset> GetMenu23(Variant menuFatherID);
  Text DispGroup();
  Variant AddGroup(Variant& name);
  Variant delGroup(Variant& groupID);
  Text DispAccessMenuItem(std::int16_t groupID);
  Text SavePermission(Variant& permissionGroupID, Variant& permitSetStr);
  Text DispPerson(Variant& groupID);
  Text SavePerson(Variant& permissionGroupID, Variant& permitSetStr);

 private:
  // The statement of a child level, given the parent's menuID.
  using ChildStatement = std::function<Text(const Text& parentID)>;

  ado::Connection& connection() const;  // object-not-set before openDB
  Variant activeConnection() const;
  std::shared_ptr<ado::Recordset> open(TextView sql) const;
  // Runs the statements as one transaction: all of them, or none when one fails.
  void runTogether(const std::vector<Text>& statements) const;

  // An absent, empty or null group id: the saves answer their failure message.
  static bool isBlank(const Variant& v);
  Variant session(TextView key) const;
  Text systemID() const;  // Session("systemID"), checked
  bool isAdministrator() const;
  Text accessList() const;  // Session("personAccess"), every item checked
  // The three-level option list, depth first, one recordset per level.
  Text optionTree(TextView topStatement, const ChildStatement& childStatement) const;

  frame::PageContext page_;
  std::shared_ptr<ado::Connection> conn_;
};

}  // namespace permission
