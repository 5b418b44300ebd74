// UTF-8 for the wire, straight from UTF-16 without a trip through iconv: one pass to size the
// result, one to write it, since whole pages go through here.
#include "wire_text.h"

namespace host {

namespace {

bool pairedAt(automation::TextView s, std::size_t i) {
  return s[i] >= 0xD800 && s[i] < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
         s[i + 1] <= 0xDFFF;
}

}  // namespace

std::string toWireUtf8(automation::TextView s) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c < 0x80) {
      length += 1;
    } else if (c < 0x800) {
      length += 2;
    } else if (pairedAt(s, i)) {
      length += 4;
      ++i;
    } else {
      length += 3;  // an unpaired surrogate becomes U+FFFD, three bytes too
    }
  }
  std::string out(length, '\0');
  char* p = out.data();
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c < 0x80) {
      *p++ = static_cast<char>(c);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
      c = pairedAt(s, i) ? 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00) : 0xFFFD;
      if (c > 0xFFFF) ++i;
    }
    if (c < 0x800) {
      *p++ = static_cast<char>(0xC0 | (c >> 6));
      *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *p++ = static_cast<char>(0xE0 | (c >> 12));
      *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *p++ = static_cast<char>(0xF0 | (c >> 18));
      *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace host
