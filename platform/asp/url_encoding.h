// URL encoding as the classic page host does it, in one place for query strings, forms,
// cookies and Server.URLEncode: bytes of the page's code page, "+" for a space, %XX for
// everything but letters, digits and "-_.*".
#pragma once

#include <string_view>

#include "automation/text.h"

namespace asp {

using automation::Text;
using automation::TextView;

Text urlDecode(std::string_view raw, int codePage);
Text urlEncode(TextView s, int codePage);
// Server.URLPathEncode: escapes what may not stand in a URL path (blanks, controls, bytes beyond
// ASCII, `%"<>\^`{|}#`); the query, from the first "?", stays as it is.
Text urlPathEncode(TextView s, int codePage);

}  // namespace asp
