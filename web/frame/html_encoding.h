// Writing database and request values into HTML. Every class encodes a value where it writes
// it, by the context it lands in, so that ordinary values (and the SQL texts of the traces)
// come out exactly as they are while markup and quotes inside a value cannot escape it:
//   element text      a '<' that would open markup (before an ASCII letter, '/', '!' or '?')
//                     becomes "&lt;"; "a<=b" and "a < b" stay as they are;
//   attribute value   the attribute's own quote becomes "&#39;" or "&quot;";
//   script literal    '\', the literal's quote and "</" are escaped for JavaScript, and line
//                     breaks, which would end the literal, are written as escapes.
// Texts that the page itself hands to a class (captions, titles, conditions) are the page's
// own and are written raw.
#pragma once

#include "automation/text.h"

namespace frame {

using automation::Text;
using automation::TextView;

void appendHtmlText(Text& out, TextView value);
void appendHtmlAttribute(Text& out, TextView value, char16_t quote = u'\'');
void appendScriptString(Text& out, TextView value, char16_t quote = u'\'');

Text htmlText(TextView value);
Text htmlAttribute(TextView value, char16_t quote = u'\'');
Text scriptString(TextView value, char16_t quote = u'\'');

}  // namespace frame
