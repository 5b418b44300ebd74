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
// then corrected for.
std::size_t wireLength(automation::TextView s) {
  std::size_t length = 0;
  std::size_t surrogates = 0;
  const auto count = [&](char16_t c) {
    length += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
    surrogates += (c & 0xF800) == 0xD800;
  };
  std::size_t i = 0;
  for (; i + 4 <= s.size(); i += 4) {
    if (automation::isAsciiQuad(automation::quadAt(s.data() + i))) {
      length += 4;
      continue;
    }
    for (std::size_t k = i; k < i + 4; ++k) count(s[k]);
  }
  for (; i < s.size(); ++i) count(s[i]);
  if (surrogates == 0) return length;
  for (i = 0; i < s.size(); ++i) {
    if (pairedAt(s, i)) {
      length -= 2;
      ++i;
    }
  }
  return length;
}

}  // namespace

std::string toWireUtf8(automation::TextView s) {
  std::string out(wireLength(s), '\0');
  char* p = out.data();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (i + 4 <= s.size()) {
      const std::uint64_t quad = automation::quadAt(s.data() + i);
      if (automation::isAsciiQuad(quad)) {
        // The low byte of each unit, in order, into four bytes.
        const auto bytes =
            static_cast<std::uint32_t>((quad & 0xFF) | ((quad >> 8) & 0xFF00) |
                                       ((quad >> 16) & 0xFF0000) | ((quad >> 24) & 0xFF000000));
        std::memcpy(p, &bytes, sizeof bytes);
        p += 4;
        i += 3;
        continue;
      }
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
