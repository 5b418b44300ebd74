// The list page: page bar, sortable header of the chosen columns and the rows of the current
// page with their hidden edit and delete links. Every column of the description is selected;
// the chosen columns only filter what is shown. Each part is built as text and written in
// turn, so a failure leaves the parts already written in the page. Values from the database
// and the request are encoded for where they land (frame/html_encoding.h); the captions are the
// page's own.
#include <optional>
#include <unordered_map>

#include "dna/dna.h"
#include "dna/statement_text.h"
#include "frame/database.h"
#include "frame/html_encoding.h"

namespace dna {

using automation::contains;
using automation::joinText;

namespace {

Text cell(TextView content) { return u"<td nowrap>" + Text(content) + u"</td>"; }

// `url` comes encoded for the quoted attribute.
Text pageLink(TextView url, TextView action, TextView page, TextView label) {
  return cell(u"<a href='" + Text(url) + u"?action=" + Text(action) + u"&page=" + Text(page) +
              u"'>" + Text(label) + u"</a>");
}

// The page selector's script evaluates a text that holds the URL in a single-quoted literal,
// itself inside a double-quoted one: encoded for the inner literal, then for the outer.
Text locationLiteral(TextView url) {
  return frame::scriptString(frame::scriptString(url, u'\''), u'"');
}

// The arrow of a sort column: descending once " DESC " made its sort text longer than the name.
Text sortArrow(const Text& sortText, const Text& column, TextView down, TextView up) {
  const bool descending = sortText.size() > column.size() + 1;
  return u" <span id=ctrlDiv><font size=-2>" + Text(descending ? down : up) + u"</font></span>";
}

}  // namespace

void DNA::DispList() {
  const Text sql = listStatement();
  setSession(u"strSQL", sql);
  if (bDebug) trace(u"SQL:" + listStatement(Shown::InPage));
  rs = frame::openRecordset(sql, activeConnection(conn), ado::adOpenKeyset);
  auto& response = page_.response();
  response.write(DispPageBar(*rs));
  response.write(DispListHeader());
  response.write(DispListRows(*rs));
  response.write(DispListFooter(*rs));
  rs->Close();
  rs.reset();
  debugTrace(Text(u"##调试信息:DispList OK!<br>") + kCrLf);
}

Text DNA::DispPageBar(ado::Recordset& objRs) {
  const bool listAll = strAction == u"listall";
  nPageSize = listAll ? Int16(2000) : Int16(automation::toInt16(session(u"nPageSize")));
  if (!objRs.eof()) {
    objRs.setPageSize(nPageSize.value());
    objRs.setAbsolutePage(nPage.value());
  }
  const std::int32_t pageCount = objRs.PageCount();
  const std::int32_t recordCount = objRs.RecordCount();

  const Text url = frame::htmlAttribute(strURL);
  Text s = Text(u"<script>function gotoPage(page){ ") + kCrLf;
  s += u" eval(\"document.location='" + locationLiteral(strURL) +
       u"?action=list&page=\"+page.options[page.selectedIndex].value+\" '\");}</script>" + kCrLf;
  s += u"<div id=page>";
  s += Text(u"<table cellspading=0 width=100%><tr>") + kCrLf;
  s += u"<td nowrap><div id=ctrlDiv><table class=Page><tr>";
  if (nPage > 1) {
    s += pageLink(url, u"list", u"1", u"第一页");
    s += pageLink(url, u"list", decimal((nPage - Int16(1)).value()), u"上一页");
  } else {
    s += cell(u"第一页") + cell(u"上一页");
  }
  if (nPage < pageCount) {
    s += pageLink(url, u"list", decimal((nPage + Int16(1)).value()), u"下一页");
    s += pageLink(url, u"list", decimal(pageCount), u"最末页");
  } else {
    s += cell(u"下一页") + cell(u"最末页");
  }
  if (recordCount > automation::toDouble(session(u"nPageSize"))) {
    s += listAll ? pageLink(url, u"list", u"1", u">>分页")
                 : pageLink(url, u"listall", u"1", u">>全部");
  }
  s += Text(u"</tr></table></div></td>") + kCrLf;
  s += Text(u"<td width=100%>&nbsp;</td>") + kCrLf;
  s +=
      Text(u"<td nowrap>第<select id=ctrlDiv name=page onChange='gotoPage(this);return false;'> ") +
      kCrLf;
  // One option per page: a long table makes this the bulk of the bar, so append in place.
  const auto last = Int16::checked(pageCount);
  for (Int16 i = 1; i <= last; ++i) {
    const Text n = decimal(i.value());
    s.append(u"<option value=").append(n);
    if (i == nPage) s.append(u" selected ");
    s.append(u" >").append(n).append(u"</option>").append(kCrLf);
  }
  s += u"</select><span id=npage style='display:none'>" + decimal(nPage.value()) + u"</span>页 共" +
       decimal(pageCount) + u"页 共" + decimal(recordCount) + u"项</td>" + kCrLf;
  s += Text(u"</table><span id=updateID></span><span id=deleteID></span> </div>") + kCrLf;
  return s;
}

Text DNA::DispListHeader() {
  const Text act = strAction == u"listall" ? u"listall" : u"list";
  const Text order = joinText(session(u"strOrder"));
  const Text order2 = joinText(session(u"strOrder2"));
  const Text url = frame::htmlAttribute(strURL);
  Text s = Text(u"<table class=tbl cellSpacing=0>") + kCrLf + u"<tr>" + u"<th nowrap>序号</th>";
  forEach16(aFields.size(), [&](std::size_t i) {
    const Text& column = field(i);
    if (!isChosen(column)) return;
    Text arrow;
    if (contains(order, column)) {
      arrow = sortArrow(order, column, u"▼", u"▲");
    } else if (contains(order2, column)) {
      arrow = sortArrow(order2, column, u"▽", u"△");
    }
    s += u"<th nowrap><a href='" + url + u"?action=" + act + u"&page=1&order=" + column + u"'>" +
         caption(i) + arrow + u"</a></th>";
  });
  s += Text(u"</tr>") + kCrLf;
  return s;
}

// How the rows read a chosen column. Its field is found by name once, and a coded column keeps
// the cell text of each code it met: a list shows the same few codes again and again, and
// nothing writes the lookup tables while it is written. Both are learned at the first row, in
// the order a reader going column by column reads them, so that a failure is the same one.
struct DNA::ListColumn {
  std::optional<int> field;
  std::optional<bool> coded;
  std::unordered_map<Text, Text> codeCells;
};

Text DNA::DispListRows(ado::Recordset& objRs) {
  Int16 n = (nPage - Int16(1)) * nPageSize + Int16(1);
  if (objRs.eof()) {
    const auto k = automation::split(joinText(session(u"strItemChose")), u",").size();
    return u"<tr><td colspan=" + decimal(static_cast<std::int64_t>(k) + 1) +
           u" align=center>无记录</td></tr>";
  }
  const Text url = frame::htmlAttribute(strURL);
  // The choice cannot change while the rows are written: test it once per column.
  std::vector<std::optional<ListColumn>> columns(aFields.size());
  forEach16(aFields.size(), [&](std::size_t i) {
    if (isChosen(field(i))) columns[i].emplace();
  });
  std::optional<int> keyField;
  Text s;
  while (n <= nPageSize * nPage && !objRs.eof()) {
    if (!keyField) keyField = objRs.fieldIndex(Variant(strItemKeyName));
    appendRowLinks(s, url, joinText(objRs.value(Variant(*keyField))), n);
    forEach16(aFields.size(), [&](std::size_t i) {
      if (columns[i]) appendCell(s, objRs, i, *columns[i]);
    });
    s.append(u"</tr>").append(kCrLf);
    objRs.MoveNext();
    n += Int16(1);
  }
  return s;
}

// The row's opening: number cell with the edit and delete links, hidden until the toolbar
// shows them. The key stands in the links as it is, encoded like `url` for the quoted
// attribute.
void DNA::appendRowLinks(Text& s, const Text& url, const Text& rawKey, Int16 n) const {
  const Text key = frame::htmlAttribute(rawKey);
  const Text number = decimal(n.value());
  s.append(u"<tr>").append(kCrLf).append(u"<td align=center nowrap>");
  s.append(u"<a href='").append(url).append(u"?action=").append(u"update&");
  s.append(strItemKeyName).append(u"=").append(key);
  s.append(
      u"' id=updateID style='display:none'><img src='images/edit.gif'height=16 "
      u"width=16 border=0  alt=' 修 改 ?'></a>");
  s.append(u"<a href='").append(url).append(u"?action=").append(u"delete&");
  s.append(strItemKeyName).append(u"=").append(key);
  s.append(u"' id=deleteID style='display:none' onclick=\"return confirm('真的要删除第 ");
  s.append(number);
  s.append(
      u" 条记录？');\"><img src='images/delete.gif'height=16 width=16 border=0  "
      u"alt='删 除 ?'></a>");
  s.append(u" ").append(number).append(u"</td>");
}

// A coded column shows the name its lookup gives the stored code.
void DNA::appendCell(Text& s, ado::Recordset& objRs, std::size_t i, ListColumn& column) {
  if (!column.field) column.field = objRs.fieldIndex(Variant(field(i)));
  Variant value = objRs.value(Variant(*column.field));
  if (!column.coded) column.coded = hasCodeLookup(i);
  s.append(u"<td>");
  if (!*column.coded) {
    // Most values are texts: encoded from where they stand, not from a copy.
    frame::appendHtmlText(s, value.isText() ? TextView(value.text()) : TextView(joinText(value)));
  } else {
    Text code = joinText(value);
    auto found = column.codeCells.find(code);
    if (found == column.codeCells.end()) {
      Variant lookup(codeSQL(i));
      found = column.codeCells
                  .emplace(std::move(code), frame::htmlText(joinText(GetCodeName(lookup, value))))
                  .first;
    }
    s.append(found->second);
  }
  s.append(u"&nbsp;</td>").append(kCrLf);
}

Text DNA::DispListFooter(ado::Recordset&) { return Text(u"</table>") + kCrLf; }

}  // namespace dna
