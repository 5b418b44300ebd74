// The members of a permission group: every eligible person of the current system as a label
// and a checkbox, checked for the group's present members, and replacing the members with
// the persons chosen on the page.
#include "frame/html_encoding.h"
#include "frame/sql_literal.h"
#include "permission/permission.h"

namespace permission {

using automation::joinText;
using automation::trim;

namespace {

// The group's member ids between commas (",3,8,"; "," for none), so that a search for ",1,"
// does not find the 1 inside 12.
Text memberText(ado::Recordset& rs) {
  Text members;
  for (; !rs.eof(); rs.MoveNext()) {
    members += u',';
    members += trim(joinText(rs.value(Variant(u"accessPersonID"))));
  }
  return members + u",";
}

void appendPerson(Text& out, ado::Recordset& person, TextView members) {
  const Text id = joinText(person.value(Variant(u"personID")));
  const bool member = automation::contains(members, u"," + trim(id) + u",");
  const Text name = joinText(person.value(Variant(u"personName")));
  out += member ? u"<span class=checked>" : u"<span>";
  frame::appendHtmlText(out, name);
  if (name.size() == 2) out += u'　';  // two-character names line up with three-character ones
  out += u"</span><input id=ci type='checkbox' name='checkbox' value='";
  frame::appendHtmlAttribute(out, id, u'\'');
  out += u"' ";
  if (member) out += u" checked ";
  out += u">";
}

}  // namespace

Text Permission::DispPerson(Variant& groupID) {
  const Variant conn = activeConnection();
  const Text group = frame::integerLiteral(groupID);
  const Text system = systemID();
  auto rs = open(u"select * from accessperson where accessGroupID=" + group);
  const Text members = memberText(*rs);
  rs->Close();
  rs->Open(Variant(u"select * from person where systemID=" + system +
                   u" and personGroupID<>7 order by DutyID "),
           conn, ado::adOpenKeyset, -1, -1);
  Text t;
  for (; !rs->eof(); rs->MoveNext()) appendPerson(t, *rs, members);
  rs->Close();
  return t;
}

Text Permission::SavePerson(Variant& permissionGroupID, Variant& permitSetStr) {
  if (isBlank(permissionGroupID)) return u"人员修改失败";
  connection();
  const Text group = frame::integerLiteral(permissionGroupID);
  std::vector<Text> statements{u" delete from accessPerson where accessgroupid=" + group};
  for (const Text& item : automation::split(joinText(permitSetStr), u",")) {
    statements.push_back(u" INSERT INTO accessperson(accessGroupID, accessPersonID) VALUES ( " +
                         group + u"," + frame::integerLiteral(Variant(trim(item))) + u")");
  }
  runTogether(statements);
  return u"人员修改成功";
}

}  // namespace permission
