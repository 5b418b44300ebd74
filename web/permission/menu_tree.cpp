// The menu tree of the current system as an option list, the signed-in person's access list
// (the menuIDs granted to all of his groups, kept in the session), and the two menu queries
// that honour it: a person sees an item only when the item itself is granted to him, and
// "admin" sees every item.
#include "frame/html_encoding.h"
#include "frame/sql_literal.h"
#include "permission/permission.h"

namespace permission {

using automation::joinText;

namespace {

// The end of the option tag, then each level's indentation (ideographic spaces) and marker.
constexpr TextView kMarkers[] = {u">●", u">　　○", u">　　　◎"};

void appendOption(Text& out, ado::Recordset& row, int level) {
  out += u"<option value=\"";
  frame::appendHtmlAttribute(out, joinText(row.value(Variant(u"menuID"))), u'"');
  out += u'"';
  out += kMarkers[level - 1];
  frame::appendHtmlText(out, automation::trim(joinText(row.value(Variant(u"menuName")))));
  out += u"</option>";
}

Text menuIdOf(ado::Recordset& row) { return frame::integerLiteral(row.value(Variant(u"menuID"))); }

}  // namespace

Text Permission::optionTree(TextView topStatement, const ChildStatement& childStatement) const {
  Text t;
  auto level1 = open(topStatement);
  for (; !level1->eof(); level1->MoveNext()) {
    appendOption(t, *level1, 1);
    auto level2 = open(childStatement(menuIdOf(*level1)));
    for (; !level2->eof(); level2->MoveNext()) {
      appendOption(t, *level2, 2);
      auto level3 = open(childStatement(menuIdOf(*level2)));
      for (; !level3->eof(); level3->MoveNext()) appendOption(t, *level3, 3);
      level3->Close();
    }
    level2->Close();
  }
  level1->Close();
  return t;
}

Text Permission::DispMenuItem() {
  connection();
  const Text system = systemID();
  return optionTree(u"select * from menu where menuFatherID is null and systemID=" + system +
                        u" order by menuOrder ",
                    [&](const Text& parentID) {
                      return u"select * from menu where menuFatherID=" + parentID +
                             u" and systemID=" + system + u" order by menuOrder";
                    });
}

void Permission::GetPersonAccess() {
  connection();
  const Text person = frame::integerLiteral(session(u"personID"));
  auto groups = open(u" select * from accessPerson where accessPersonID=" + person);
  Text list;
  for (; !groups->eof(); groups->MoveNext()) {
    auto items = open(u" Select * from accessMenu where accessGroupID=" +
                      frame::integerLiteral(groups->value(Variant(u"accessGroupID"))));
    for (; !items->eof(); items->MoveNext()) {
      if (!list.empty()) list += u',';
      list += automation::trim(joinText(items->value(Variant(u"accessMenuID"))));
    }
    items->Close();
  }
  groups->Close();
  page_.session().set(u"personAccess", Variant(std::move(list)));
}

Variant Permission::GetMenu1(Variant& RsM1) {
  Variant conn = activeConnection();
  auto rs = automation::objectAs<ado::Recordset>(RsM1);
  const Text sql = isAdministrator()
                       ? u" Select * from Menu where  menuFatherID is null  and systemID  =" +
                             systemID() + u" order by menuOrder "
                       : u" Select * from Menu where  menuFatherID is null and menuid in (" +
                             accessList() + u") and systemID  =" + systemID() +
                             u" order by menuOrder ";
  rs->Open(Variant(sql), conn, ado::adOpenKeyset, -1, -1);
  return {};
}

std::shared_ptr<ado::Recordset> Permission::GetMenu23(Variant menuFatherID) {
  connection();
  const Text father = frame::integerLiteral(menuFatherID);
  const Text sql = isAdministrator()
                       ? u"select * from Menu where  menufatherID=" + father + u" and  systemID=" +
                             systemID() + u" order by menuOrder"
                       : u"select * from Menu where  menufatherID=" + father +
                             u" and  menuid in (" + accessList() + u") and  systemID=" +
                             systemID() + u" order by menuOrder";
  return open(sql);
}

}  // namespace permission
