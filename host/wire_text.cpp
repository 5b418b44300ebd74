// UTF-8 for the wire, straight from UTF-16 without a trip through iconv: one pass to size the
// result, one to write it, since whole pages go through here; runs of ASCII markup are copied
// four units at a time.
#include "wire_text.h"

#include <cstdint>
#include <cstring>

namespace host {

namespace {

bool pairedAt(automation::TextView s, std::size_t i) {
  return s[i] >= 0xD800 && s[i] < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
         s[i + 1] <= 0xDFFF;
}

// Three bytes for every unit from U+0800 on, surrogates too; a pair, four bytes in all, is
// then corrected for. Without branches, since pages mix ASCII markup and Chinese text.
std::size_t wireLength(automation::TextView s) {
  std::size_t length = 0;
  std::size_t surrogates = 0;
  for (char16_t c : s) {
    length += 1 + (c >= 0x80) + (c >= 0x800);
    surrogates += (c & 0xF800) == 0xD800;
  }
  if (surrogates == 0) return length;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (pairedAt(s, i)) {
      length -= 2;
      ++i;
    }
  }
  return length;
}

// Whether the four units at `p` are all ASCII, read as one word.
bool asciiQuad(const char16_t* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0xFF80FF80FF80FF80u) == 0;
}

}  // namespace

std::string toWireUtf8(automation::TextView s) {
  std::string out(wireLength(s), '\0');
  char* p = out.data();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (i + 4 <= s.size() && asciiQuad(s.data() + i)) {
      for (int k = 0; k < 4; ++k) *p++ = static_cast<char>(s[i + k]);
      i += 3;
      continue;
    }
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
