// Decoding what browsers send (malformed escapes stay literal) and encoding what pages send
// back, both in the page's code page.
#include "url_encoding.h"

#include <string>
#include <string_view>

namespace asp {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool keptAsIs(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
         c == '_' || c == '.' || c == '*';
}

void appendEscaped(Text& r, unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  r += u'%';
  r += static_cast<char16_t>(kHex[c >> 4]);
  r += static_cast<char16_t>(kHex[c & 15]);
}

}  // namespace

Text urlDecode(std::string_view raw, int codePage) {
  std::string bytes;
  bytes.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '+') {
      bytes += ' ';
    } else if (c == '%' && i + 2 < raw.size() && hexValue(raw[i + 1]) >= 0 &&
               hexValue(raw[i + 2]) >= 0) {
      bytes += static_cast<char>(hexValue(raw[i + 1]) * 16 + hexValue(raw[i + 2]));
      i += 2;
    } else {
      bytes += c;
    }
  }
  return automation::decodeCodePage(bytes, codePage);
}

Text urlEncode(TextView s, int codePage) {
  Text r;
  for (unsigned char c : automation::encodeCodePage(s, codePage)) {
    if (keptAsIs(c)) {
      r += static_cast<char16_t>(c);
    } else if (c == ' ') {
      r += u'+';
    } else {
      appendEscaped(r, c);
    }
  }
  return r;
}

Text urlPathEncode(TextView s, int codePage) {
  static constexpr std::string_view kUnsafe = "%\"<>\\^`{|}#";
  std::size_t query = s.find(u'?');
  Text r;
  for (unsigned char c : automation::encodeCodePage(s.substr(0, query), codePage)) {
    if (c > 0x20 && c < 0x7F && kUnsafe.find(static_cast<char>(c)) == std::string_view::npos) {
      r += static_cast<char16_t>(c);
    } else {
      appendEscaped(r, c);
    }
  }
  if (query != TextView::npos) r += s.substr(query);
  return r;
}

}  // namespace asp
