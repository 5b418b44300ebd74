// Code lookups. A lookup statement names the display column first and the code column second
// ("select deptName,deptID from dept"); GetCodeName turns one code into its name, SelectForm
// the whole lookup table into the options of a drop-down list, its codes and names encoded
// for the attribute and the text they stand in. GetCodeName answers the name as it is stored:
// whoever writes it into a page encodes it there.
#include <algorithm>

#include "dna/dna.h"
#include "dna/statement_text.h"
#include "frame/database.h"
#include "frame/html_encoding.h"

namespace dna {

using automation::joinText;
using automation::lower;

namespace {

// Columns 0 (name) and 1 (code) of a lookup statement, pieces untrimmed.
std::vector<Text> lookupColumns(TextView sql) {
  return automation::split(columnText(sql, keywordPosition(lower(sql), u"from")), u",");
}

const Text& codeColumn(const std::vector<Text>& columns) {
  if (columns.size() < 2) automation::throwSubscriptOutOfRange();
  return columns[1];
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool isPlainNumber(TextView s) {
  if (!s.empty() && s.front() == u'-') s.remove_prefix(1);
  const auto point = s.find(u'.');
  const TextView whole = s.substr(0, point);
  const TextView fraction = point == TextView::npos ? TextView() : s.substr(point + 1);
  const bool digitsOnly = std::all_of(whole.begin(), whole.end(), isDigit) &&
                          std::all_of(fraction.begin(), fraction.end(), isDigit);
  return digitsOnly && !whole.empty() && (point == TextView::npos || !fraction.empty());
}

bool isQuotedLiteral(TextView s) {
  return s.size() >= 2 && s.front() == u'\'' && s.back() == u'\'' &&
         s.substr(1, s.size() - 2).find(u'\'') == TextView::npos;
}

// A code stands in the lookup statement as a value and nothing more: a number or a quoted
// literal as it is, anything else quoted, so that a text code finds its row and cannot change
// the statement.
Text codeLiteral(const Text& code) {
  if (isPlainNumber(code) || isQuotedLiteral(code)) return code;
  return Text(u"'").append(automation::replaceAll(code, u"'", u"''")).append(u"'");
}

}  // namespace

Variant DNA::GetCodeName(Variant& StrCodeSQL, Variant& nValue) {
  const Text sql = automation::toText(StrCodeSQL);
  const Text condition = (automation::contains(lower(sql), u"where") ? u" and  " : u" where ") +
                         codeColumn(lookupColumns(sql)) + u"=";
  const Text code = joinText(nValue);
  // No code (empty, blank or null): no query.
  const Text asGiven = automation::trim(sql + condition + code);
  if (!asGiven.empty() && asGiven.back() == u'=') return Variant(u"");
  auto lookup = frame::openRecordset(sql + condition + codeLiteral(code), activeConnection(conn),
                                     ado::adOpenStatic);
  Variant name = lookup->eof() ? Variant(u"") : lookup->value(Variant(0));
  lookup->Close();
  return name;
}

Variant DNA::SelectForm(Variant& StrCodeSQL, Variant& selectedID) {
  const Text sql = automation::toText(StrCodeSQL);
  auto lookup = frame::openRecordset(sql + u" order by " + codeColumn(lookupColumns(sql)),
                                     activeConnection(conn), ado::adOpenStatic);
  Text html;
  for (; !lookup->eof(); lookup->MoveNext()) {
    const Variant code = lookup->value(Variant(1));
    html.append(u"<option value='");
    frame::appendHtmlAttribute(html, joinText(code));
    html.append(u"'");
    if (automation::equals(selectedID, code)) html += u" selected ";
    html.append(u">");
    frame::appendHtmlText(html, joinText(lookup->value(Variant(0))));
    html.append(u"</option>");
  }
  lookup->Close();
  return Variant(html);
}

}  // namespace dna
