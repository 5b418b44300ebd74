// DispForm: the insert, update and search forms of the described table. Every column but the
// key becomes a labelled field, two to a table row; the form posts its action followed by "2"
// back to the page. An update form loads its row through a connection of its own and leaves
// strWhere extended by the key condition for the rest of the page. Field values (from the
// request, the edited row or the session) are encoded for the quoted attributes they stand in;
// captions, column names and the fixed values of the page's where clause are the page's own.
#include <algorithm>

#include "dna/dna.h"
#include "dna/statement_text.h"
#include "frame/database.h"
#include "frame/html_encoding.h"
#include "frame/sql_literal.h"

namespace dna {

namespace {

using automation::joinText;
using frame::htmlAttribute;

constexpr std::int32_t kAdDate = 135;

Text buttonCaption(TextView action) {
  if (action == u"update") return u"修改";
  if (action == u"insert" || action == u"insert2") return u"添加";
  if (action == u"search") return u"查询";
  return u"";
}

Text formTop(TextView action, TextView url) {
  return u"<Form id=Frm1 name='" + htmlAttribute(action) + u"' method='post' Action='" +
         htmlAttribute(url) +
         u"'>\r\n"
         u"<table border='0'  cellpadding='0' cellspacing='0' align='center' width='100%'class=td2 "
         u">\r\n"
         u"<tr valign=top ><td width=37 align=left><img src='../images/home1.gif'></td><td "
         u"class=t1></td><td class=t1></td><td class=t1></td><td class=t1></td><td "
         u"align=right><img src='../images/home2.gif'></td></tr>\r\n"
         u"<input type='hidden' name='action' value='" +
         htmlAttribute(action) + u"2'>\r\n";
}

Text formBottom(TextView button) {
  return u"<tr valign=top class=td2><td width=37 align=left><img "
         u"src='../images/home3.gif'></td><td "
         u"class=t4></td><td class=t4></td><td class=t4></td><td class=t4></td><td "
         u"align=right><img src='../images/home4.gif'></td></tr>\r\n"
         u"</table><center><input type='submit' value='提交" +
         Text(button) + u"'>\r\n<input type='reset' value='重新" + Text(button) +
         u"'></center></Form>\r\n";
}

// The script and the container of the application's calendar pop-up.
constexpr char16_t kCalendar[] =
    u"<Script language=\"javascript\" src=\"../Include/Calendar.js\"></Script>\r\n"
    u"<DIV id=calendar onmouseover=keepCal(); style=\"POSITION: absolute; VISIBILITY: hidden; "
    u"Z-INDEX: 200\"></DIV>\r\n";

Text dateInput(TextView name, TextView value, Int16 nCal) {
  const Text n = decimal(nCal.value());
  return u"<input type='text' name='" + Text(name) + u"' value='" + htmlAttribute(value) +
         u"' size=14><IMG align=top height=25 id=Cal" + n + u"  onclick= \"ShowCal(Cal" + n +
         u".offsetLeft + 20, Cal" + n + u".offsetTop , '" + Text(name) +
         u"');\"  onmouseover=keepCal(); src=\"../Images/dropdown.gif\" width=27 "
         u"style=\"POSITION: absolute;\"> </td>\r\n";
}

Text textInput(TextView name, TextView value) {
  return u"<input type='text' name='" + Text(name) + u"' value='" + htmlAttribute(value) +
         u"' onMouseOver='this.focus()'  onFocus='this.select()'></td>\r\n";
}

}  // namespace

void DNA::DispForm(Variant& strAction) {
  const Text action = joinText(strAction);
  const Text button = buttonCaption(action);
  GetFieldTypes();
  Text sql;
  if (action == u"update") {
    sql = loadEditedRow();
  } else if (action == u"insert2") {
    std::fill(aValues.begin(), aValues.end(), Variant(u""));
  }

  auto& out = page_.response();
  out.write(formTop(action, strURL));

  bool open = false;
  Int16 nCal = 0;
  forEach16(aFields.size(), [&](std::size_t i) {
    if (field(i) == strItemKeyName) {
      out.write(u"<input type='hidden' name='" + field(i) + u"' value='" +
                htmlAttribute(joinText(aValues[i])) + u"'><br>\r\n");
      return;
    }
    if (!open) out.write(u"<tr><td class=t2></td>");
    out.write(u"<td align=right class=lable>" + caption(i) + u"</td><td class=input>");
    writeFormInput(i, action, nCal);
    if (open) out.write(u"<td class=t3></td></tr>");
    open = !open;
  });
  if (open) out.write(u"<td class=lable>&nbsp;</td><td class=t3></td></tr>");

  out.write(formBottom(button));
  // The calendar script and its container are needed once, and only by date fields.
  if (nCal > 0) out.write(kCalendar);
  debugTrace(u"##调试信息:DisplayForm OK!<br>\r\n");
  debugTrace(u"#StrSQL=" + sql + u"<br>\r\n");
}

Text DNA::loadEditedRow() {
  // Checked before strWhere changes: the key stands unquoted in this and every later
  // statement of the page.
  const Text key = frame::integerLiteral(nItemKeyValue);
  strWhere = strWhere.empty() ? u" where " + strItemKeyName + u"=" + key
                              : strWhere + u" and " + strItemKeyName + u"=" + key;
  Text sql = u"select " + strItemEnglish + u" from " + strTable + u" " + strWhere;
  rs = frame::openRecordset(sql, Variant(strConn), ado::adOpenKeyset);
  if (!rs->eof()) {
    forEach16(aFields.size(),
              [&](std::size_t i) { aValues[i] = rs->value(Variant(static_cast<int>(i))); });
  }
  rs.reset();
  return sql;
}

void DNA::writeFormInput(std::size_t i, TextView action, Int16& nCal) {
  if (hasCodeLookup(i)) {
    writeCodeInput(i, action);
    return;
  }
  auto& out = page_.response();
  if (!automation::equals(aTypes[i], Variant(kAdDate))) {
    out.write(textInput(field(i), joinText(aValues[i])));
    return;
  }
  ++nCal;
  // A null read from the database is not blank: it equals nothing, "" included.
  if (!aValues[i].isNull() && automation::trim(joinText(aValues[i])).empty()) {
    aValues[i] = session(u"sc_curdate");
  }
  out.write(dateInput(field(i), joinText(aValues[i]), nCal));
}

void DNA::writeCodeInput(std::size_t i, TextView action) {
  // A column fixed by a condition of the where clause is shown, not chosen; the last matching
  // condition wins.
  const Variant* fixedValue = nullptr;
  const Text name = automation::trim(field(i));
  forEach16(aLimitFields.size(), [&](std::size_t k) {
    if (name == automation::trim(joinText(aLimitFields[k]))) fixedValue = &aLimitValues[k];
  });
  auto& out = page_.response();
  Variant lookup(codeSQL(i));
  if (fixedValue) {
    Variant value = *fixedValue;
    out.write(frame::htmlText(joinText(GetCodeName(lookup, value))));
    out.write(u"<input type='hidden' name='" + field(i) + u"' value='" + joinText(value) + u"'>");
    return;
  }
  out.write(u"<select name='" + field(i) + u"' >");
  if (action == u"search") out.write(u"<option></option>");
  out.Write(SelectForm(lookup, aValues[i]));
  out.write(u"</select></td>\r\n");
}

}  // namespace dna
