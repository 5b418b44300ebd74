// The three encodings of html_encoding.h. Each scans for the few characters that matter and
// copies the runs between them whole, so an ordinary value costs one append.
#include "html_encoding.h"

namespace frame {
namespace {

bool opensMarkup(char16_t next) {
  return (next >= u'a' && next <= u'z') || (next >= u'A' && next <= u'Z') || next == u'/' ||
         next == u'!' || next == u'?';
}

// Appends `value`, replacing each character for which `replacement` gives a non-empty text.
template <class Replace>
void appendReplacing(Text& out, TextView value, Replace replacement) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    TextView with = replacement(value, i);
    if (with.empty()) continue;
    out.append(value.substr(run, i - run));
    out.append(with);
    run = i + 1;
  }
  out.append(value.substr(run));
}

}  // namespace

void appendHtmlText(Text& out, TextView value) {
  appendReplacing(out, value, [](TextView v, std::size_t i) -> TextView {
    if (v[i] == u'<' && i + 1 < v.size() && opensMarkup(v[i + 1])) return u"&lt;";
    return {};
  });
}

void appendHtmlAttribute(Text& out, TextView value, char16_t quote) {
  TextView entity = quote == u'"' ? TextView(u"&quot;") : TextView(u"&#39;");
  appendReplacing(out, value, [&](TextView v, std::size_t i) -> TextView {
    return v[i] == quote ? entity : TextView();
  });
}

void appendScriptString(Text& out, TextView value, char16_t quote) {
  appendReplacing(out, value, [&](TextView v, std::size_t i) -> TextView {
    switch (v[i]) {
      case u'\\': return u"\\\\";
      case u'\'': return quote == u'\'' ? TextView(u"\\'") : TextView();
      case u'"': return quote == u'"' ? TextView(u"\\\"") : TextView();
      case u'/': return i > 0 && v[i - 1] == u'<' ? TextView(u"\\/") : TextView();
      case u'\n': return u"\\n";
      case u'\r': return u"\\r";
      case u'\u2028': return u"\\u2028";
      case u'\u2029': return u"\\u2029";
      default: return {};
    }
  });
}

Text htmlText(TextView value) {
  Text out;
  appendHtmlText(out, value);
  return out;
}

Text htmlAttribute(TextView value, char16_t quote) {
  Text out;
  appendHtmlAttribute(out, value, quote);
  return out;
}

Text scriptString(TextView value, char16_t quote) {
  Text out;
  appendScriptString(out, value, quote);
  return out;
}

}  // namespace frame
