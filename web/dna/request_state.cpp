// Request and session state. Every link and form of the class points back to the page itself;
// what the user chose (sort, search, rows per page, columns) lives in the session between
// requests, and is reset when the request comes from another page than the last one. The
// trace lines show request and session values encoded as element text.
#include <algorithm>

#include "dna/dna.h"
#include "dna/statement_text.h"
#include "frame/html_encoding.h"

namespace dna {

using automation::contains;
using automation::differs;
using automation::equals;
using automation::joinText;
using automation::trim;
using frame::htmlText;

namespace {

bool isBlank(const Variant& v) { return equals(v, Variant(u"")); }

}  // namespace

// The posted form wins over the query string. Apostrophes become grave accents: the one
// quoting request values get before later statements carry them.
Text DNA::GetRequestItem(TextView key) {
  Variant v = page_.request().Form(key);
  if (isBlank(v)) v = page_.request().QueryString(key);
  const Text value = automation::replaceAll(joinText(v), u"'", u"`");
  debugTrace(u"#Res:" + Text(key) + u"=" + htmlText(value) + u"<br>" + kCrLf);
  return value;
}

void DNA::GetRequestValue() {
  strURL = joinText(page_.request().ServerVariables(u"URL"));
  const bool fromElsewhere = differs(session(u"strURL"), Variant(strURL));
  if (fromElsewhere) {
    setSession(u"strOrder", u"");
    setSession(u"strOrder2", u"");
  }
  strAction = GetRequestItem(u"action");
  if (strAction.empty()) strAction = u"list";
  readPage();
  readPageSize();
  readOrder();
  const Text chosen = chosenColumns(GetRequestItem(u"choseItem"));
  if (!chosen.empty()) setSession(u"strItemChose", chosen);
  // Checked after the request's own choice: arriving from elsewhere shows every column.
  if (fromElsewhere || isBlank(session(u"strItemChose"))) {
    setSession(u"strItemChose", strItemEnglish);
  }
  forEach16(aFields.size(), [&](std::size_t i) { aValues[i] = GetRequestItem(field(i)); });
  if (!strItemKeyName.empty()) nItemKeyValue = GetRequestItem(strItemKeyName);
  if (bDebug) traceRequest();
}

// A request without a page number is a fresh list: the search condition goes with it.
void DNA::readPage() {
  const Text p = GetRequestItem(u"page");
  if (!p.empty()) {
    nPage = automation::toInt16(Variant(p));
    return;
  }
  nPage = 1;
  setSession(u"strSearch", u"");
}

void DNA::readPageSize() {
  const Text s = GetRequestItem(u"pageSize");
  if (!s.empty()) {
    const Int16 n = automation::toInt16(Variant(s));
    setSession(u"nPageSize", n <= 0 ? Int16(1) : n);
  } else if (isBlank(session(u"nPageSize"))) {
    setSession(u"nPageSize", Int16(20));
  }
}

// A click on the current sort column toggles it between ascending and descending; a click on
// another column makes it the primary sort and the old primary the secondary. The column goes
// into the list statement as it is, so only a column of the description is taken.
void DNA::readOrder() {
  const Text o = GetRequestItem(u"order");
  if (o.empty() || !isColumnName(trim(o))) return;
  const Variant cur = session(u"strOrder");
  const Text curText = joinText(cur);
  if (!contains(curText, trim(o))) {
    setSession(u"strOrder2", cur);
    setSession(u"strOrder", o);
  } else if (!contains(curText, u"DESC")) {
    setSession(u"strOrder", curText + u" DESC ");
  } else {
    setSession(u"strOrder", o);
  }
}

// The columns the column chooser posts, joined by ", ". Only columns of the description are
// taken, each once: anything else would be kept in the session for every later request of the
// user (a 30 MB value, or markup). A choice of columns alone is kept as it was sent.
Text DNA::chosenColumns(const Text& requested) const {
  std::vector<Text> kept;
  bool asSent = true;
  for (const Text& piece : automation::split(requested, u",")) {
    const Text name = trim(piece);
    if (!isColumnName(name) || std::find(kept.begin(), kept.end(), name) != kept.end()) {
      asSent = false;
      continue;
    }
    asSent = asSent && (piece == name || piece == u" " + name);
    kept.push_back(name);
  }
  if (asSent) return requested;
  Text joined;
  for (const Text& name : kept) joined += (joined.empty() ? u"" : u", ") + name;
  return joined;
}

bool DNA::isColumnName(TextView name) const {
  for (const Text& f : aFields) {
    if (trim(f) == name) return true;
  }
  return false;
}

void DNA::traceRequest() {
  trace(Text(u"##调试信息:GetRequestValue OK!<br>") + kCrLf);
  trace(u"#Querystring:" + htmlText(page_.request().QueryStringAll()) + u"<br>" + kCrLf);
  trace(u"#TotalSize:" + decimal(page_.request().TotalBytes()) + u"<br>" + kCrLf);
  trace(u"#Session(strItemChose):" + htmlText(joinText(session(u"strItemChose"))) + u"<br>" +
        kCrLf);
  trace(u"#strURL:" + htmlText(strURL) + u"<br>" + kCrLf);
}

}  // namespace dna
