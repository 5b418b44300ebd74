// The permission groups of the current system and their menu rights: the group rows with the
// links to the application's group pages, adding and deleting a group, the option list of the
// items granted to a group, and replacing a group's rights with the list chosen on the page.
#include "automation/int16.h"
#include "frame/database.h"
#include "frame/html_encoding.h"
#include "frame/sql_literal.h"
#include "permission/permission.h"

namespace permission {

using automation::joinText;

namespace {

struct GroupLink {
  TextView address;  // the group's accessGroupID follows it
  TextView caption;
};

constexpr GroupLink kGroupLinks[] = {
    {u"permission.asp?ac=del&id=", u"删除"},
    {u"permission.asp?ac=edit&id=", u"修改"},
    {u"permissionset.asp?id=", u"设置权限"},
    {u"permissionMan.asp?id=", u"设置人员"},
};

void appendGroupLinks(Text& out, TextView groupID) {
  bool first = true;
  for (const GroupLink& link : kGroupLinks) {
    if (!first) out += u'　';
    first = false;
    out += u"<a href=\"";
    out += link.address;
    frame::appendHtmlAttribute(out, groupID, u'"');
    out += u"\">";
    out += link.caption;
    out += u"</a>";
  }
}

}  // namespace

Text Permission::DispGroup() {
  connection();
  auto rs = open(u"select * from AccessGroup where systemID=" + systemID());
  Text t;
  // Counted in 16 bits: the 32767th row is the last that can be listed.
  automation::Int16 n = 1;
  for (; !rs->eof(); rs->MoveNext()) {
    t += u"<tr><td align=center>";
    t += automation::toText(Variant(n));
    t += u"</td> <td>";
    frame::appendHtmlText(t, joinText(rs->value(Variant(u"accessGroupName"))));
    t += u"</td><td align=center>";
    appendGroupLinks(t, joinText(rs->value(Variant(u"accessGroupID"))));
    t += u"</td></tr>";
    ++n;
  }
  rs->Close();
  return t;
}

Variant Permission::AddGroup(Variant& name) {
  ado::Connection& c = connection();
  frame::execute(c, u"insert  AccessGroup(accessGroupName,systemID) values('" +
                        frame::doubleApostrophes(joinText(name)) + u"'," + systemID() + u")");
  return {};
}

// Only the group row goes: its rights and members stay in their tables.
Variant Permission::delGroup(Variant& groupID) {
  ado::Connection& c = connection();
  frame::execute(c, u"delete from   AccessGroup where accessGroupID=" +
                        frame::integerLiteral(groupID) + u" and systemid=" + systemID());
  return {};
}

// A granted item whose parent is not granted is never reached, as each level is read through
// its granted parent.
Text Permission::DispAccessMenuItem(std::int16_t groupID) {
  connection();
  const Text system = systemID();
  const Text granted =
      u"select * from menu ,AccessMenu where Menu.MenuID=AccessMenu.AccessMenuID and "
      u"AccessMenu.AccessGroupID=" +
      automation::toText(Variant(groupID));
  return optionTree(granted + u" and Menu.menuFatherID is null and menu.systemID=" + system +
                        u" order by menuOrder ",
                    [&](const Text& parentID) {
                      return granted + u" and Menu.menuFatherID=" + parentID + u" and systemID=" +
                             system + u" order by menuOrder";
                    });
}

Text Permission::SavePermission(Variant& permissionGroupID, Variant& permitSetStr) {
  if (isBlank(permissionGroupID)) return u"权限修改失败";
  connection();
  const Text group = frame::integerLiteral(permissionGroupID);
  std::vector<Text> statements{u" delete from accessMenu where accessgroupid=" + group};
  // Items stand as they are, untrimmed.
  for (const Text& item : automation::split(joinText(permitSetStr), u"*")) {
    statements.push_back(
        u" INSERT INTO accessmenu(accessgroupid, accessmenutype, accessmenuid) VALUES ( " + group +
        u",1," + frame::integerLiteral(Variant(item)) + u")");
  }
  runTogether(statements);
  return u"权限修改成功";
}

}  // namespace permission
