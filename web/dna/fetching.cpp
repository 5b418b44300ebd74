// Record fetching for pages that lay rows out themselves, and the column types the forms, the
// writes and the search use to tell integer columns from all others.
#include "dna/dna.h"
#include "dna/statement_text.h"
#include "frame/database.h"
#include "frame/html_encoding.h"

namespace dna {

using automation::differs;
using automation::joinText;

namespace {

bool isSet(const Variant& v) { return differs(v, Variant(u"")); }

}  // namespace

// The list statement: the description's columns, its where clause extended by the stored
// search, and the stored sort. A secondary sort counts only behind a primary one. As shown in
// the page, the parts kept in the session (the search holds request values) are encoded as
// element text.
Text DNA::listStatement(Shown shown) {
  const auto stored = [&](TextView key) {
    const Text value = joinText(session(key));
    return shown == Shown::InPage ? frame::htmlText(value) : value;
  };
  Text sort;
  if (isSet(session(u"strOrder"))) {
    sort = Text(u" order by ").append(stored(u"strOrder"));
    if (isSet(session(u"strOrder2"))) sort.append(u",").append(stored(u"strOrder2"));
  }
  Text cond = strWhere;
  if (isSet(session(u"strSearch"))) {
    cond = (strWhere.empty() ? u" where " : strWhere + u" and ") + stored(u"strSearch") + u" ";
  }
  return u"select " + strItemEnglish + u" from " + strTable + u" " + cond + sort;
}

void DNA::GetList(ado::Recordset& objRs) {
  const Text sql = listStatement();
  setSession(u"strSQL", sql);
  const Text shown = bDebug ? listStatement(Shown::InPage) : Text();
  // Written as it is, not as a hidden trace: the page that lays the rows out shows it.
  if (bDebug) page_.response().write(u"SQL:" + shown);
  objRs.Open(Variant(sql), activeConnection(conn), ado::adOpenKeyset, -1, -1);
  if (!bDebug) return;
  trace(Text(u"##调试信息:DispList OK!<br>") + kCrLf);
  trace(u"#Session(strSQL):" + shown + u"<br>" + kCrLf);
}

void DNA::GetRs(Variant& strSQL, ado::Recordset& objRs) {
  objRs.Open(strSQL, activeConnection(conn), ado::adOpenKeyset, -1, -1);
}

// Reads only the field descriptions, through a connection of its own, so an empty table is no
// failure. The hidden lines are written on every call.
void DNA::GetFieldTypes() {
  auto types = frame::openRecordset(u"select top 1 " + strItemEnglish + u" from " + strTable,
                                    Variant(strConn), ado::adOpenKeyset);
  forEach16(aFields.size(), [&](std::size_t i) {
    const std::int32_t type = types->type(Variant(field(i)));
    if (i >= aTypes.size()) automation::throwSubscriptOutOfRange();
    aTypes[i] = Variant(type);
    trace(field(i) + u":" + decimal(type) + u"<br>");
  });
  types->Close();
}

}  // namespace dna
