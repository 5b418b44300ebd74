// The table description: OpenDNA takes the page's SELECT statement apart by fixed text rules
// (keywords found as text, not as words) into table, columns, key, fixed conditions and
// default sort, then opens the database and reads the request. Fields that a statement does
// not speak of (no where clause, no sort, a single column) keep what they held before.
#include "dna/dna.h"
#include "dna/statement_text.h"
#include "frame/database.h"
#include "frame/html_encoding.h"

namespace dna {

using automation::contains;
using automation::differs;
using automation::equals;
using automation::joinText;
using automation::lower;
using automation::mid;
using automation::replaceAll;
using automation::split;
using automation::trim;

namespace {

// The first word after "from", when the text from "from" on has one.
void takeTableName(TextView fromOn, Text& strTable) {
  const auto pieces = split(fromOn, u" ");
  if (pieces.size() >= 2) strTable = pieces[1];
}

}  // namespace

void DNA::OpenDNA(Variant& ConnStr, Variant& strSQL, Variant& StrChinese) {
  strConn = automation::toText(ConnStr);
  const Text sql = trim(automation::toText(strSQL));
  strSQL = Variant(sql);
  const Text lowered = lower(sql);

  const Int16 p = keywordPosition(lowered, u"from");
  strItemEnglish = columnText(sql, p);
  if (p > 7) takeTableName(mid(sql, p.value()), strTable);

  const Int16 w = keywordPosition(lowered, u"where");
  if (w > 7) {
    const Int16 o = keywordPosition(lowered, u"order");
    strWhere =
        o > 7 ? trim(midChecked(sql, w.value(), (o - w).value())) : trim(mid(sql, w.value()));
  }

  const Int16 b = keywordPosition(lowered, u"order by");
  if (b > 7) {
    strDefaultOrder = replaceAll(trim(mid(sql, b.value())), u"order by ", u"");
    seedSortFromDefault();
  }

  strItemChinese =
      differs(StrChinese, Variant(u"")) ? automation::toText(StrChinese) : strItemEnglish;
  strItemCodeSQL = replaceAll(strItemEnglish, u",", u";");
  aFields = split(strItemEnglish, u",");
  aChinese = split(strItemChinese, u",");
  aCodeSQL = split(strItemCodeSQL, u";");
  if (aFields.size() >= 2) strItemKeyName = aFields[0];
  aValues.assign(aFields.size() + 1, Variant());
  aTypes.assign(aFields.size() + 1, Variant());
  takeLimits();

  if (bDebug) traceDescription();
  OpenDatabase();
  GetRequestValue();
}

// A sort list of two items seeds the primary sort only, one of three or more both keys; one
// item seeds nothing. A sort already in the session wins.
void DNA::seedSortFromDefault() {
  const auto items = split(strDefaultOrder, u",");
  if (items.size() < 2 || !equals(session(u"strOrder"), Variant(u""))) return;
  setSession(u"strOrder", trim(items[0]));
  if (items.size() >= 3) setSession(u"strOrder2", trim(items[1]));
}

// The column=value conditions of the where clause. Only the lower-case joiners are removed,
// so a condition written with spaces around "=" falls apart into several.
void DNA::takeLimits() {
  Text c = trim(strWhere);
  if (c.empty()) return;
  c = trim(replaceAll(replaceAll(c, u"where ", u"  "), u" and ", u" "));
  const auto conditions = split(c, u" ");
  aLimitFields.assign(conditions.size() + 1, Variant());
  aLimitValues.assign(conditions.size() + 1, Variant());
  forEach16(conditions.size(), [&](std::size_t k) {
    const auto sides = split(conditions[k], u"=");
    if (sides.size() < 2) return;
    aLimitFields[k] = trim(sides[0]);
    aLimitValues[k] = trim(sides[1]);
  });
}

void DNA::traceDescription() {
  trace(Text(u"##调试信息:OpenDNA<br>") + kCrLf);
  trace(u"#表　　名:" + strTable + u"<br>" + kCrLf);
  trace(u"#条　　件:" + strWhere + u"<br>" + kCrLf);
  trace(u"#英文字段:" + strItemEnglish + u"<br>" + kCrLf);
  trace(u"#中文字段:" + strItemChinese + u"<br>" + kCrLf);
  trace(u"#主键字段:" + strItemKeyName + u"<br>" + kCrLf);
  trace(u"#编码检索:" + strItemCodeSQL + u"<br>" + kCrLf);
  // The description is the page's own; the sort keys are the session's.
  trace(u"#缺省排序:" + strDefaultOrder + u":" + frame::htmlText(joinText(session(u"strOrder"))) +
        u": " + frame::htmlText(joinText(session(u"strOrder2"))) + u"<br>" + kCrLf);
  // One line per condition; the arrays hold one slot more than there are conditions.
  for (std::size_t k = 0; k + 1 < aLimitFields.size(); ++k) {
    trace(u"限定字段:" + joinText(aLimitFields[k]) + u":" + joinText(aLimitValues[k]) + u"<br>");
  }
}

void DNA::SetCodeSQL(Variant& StrCodeSQL) {
  strItemCodeSQL = automation::toText(StrCodeSQL);
  aCodeSQL = split(strItemCodeSQL, u";");
  if (!bDebug) return;
  trace(Text(u"##调试信息:SetCodeSQL OK!<br>") + kCrLf);
  trace(u"#CodeSQL:" + strItemCodeSQL + u"<br>" + kCrLf);
}

void DNA::CloseDNA() { CloseDatabase(); }

void DNA::OpenDatabase() {
  conn = frame::openConnection(strConn);
  debugTrace(Text(u"##调试信息:打开数据库 OK!<br>") + kCrLf);
}

void DNA::CloseDatabase() {
  if (conn) {
    conn->Close();
    conn.reset();
  }
  debugTrace(Text(u"##调试信息:关闭数据库 OK!<br>") + kCrLf);
}

}  // namespace dna
