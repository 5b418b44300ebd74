// Strings between the host and Duktape: CESU-8, one sequence per UTF-16 code unit.
#include "engine_text.h"

namespace host::jscript {

std::size_t engineLength(automation::TextView s) {
  std::size_t n = 0;
  for (char16_t c : s) n += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
  return n;
}

void writeEngineString(automation::TextView s, char* out) {
  for (char16_t c : s) {
    if (c < 0x80) {
      *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *out++ = static_cast<char>(0xC0 | (c >> 6));
      *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *out++ = static_cast<char>(0xE0 | (c >> 12));
      *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

std::string toEngineString(automation::TextView s) {
  std::string out(engineLength(s), '\0');
  writeEngineString(s, out.data());
  return out;
}

automation::Text fromEngineString(std::string_view s) {
  automation::Text out;
  out.reserve(s.size());
  std::size_t i = 0;
  auto continuation = [&](std::size_t k) -> char32_t {
    return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) & 0x3F : 0;
  };
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      i += 1;
    } else if (b < 0xE0) {
      out += static_cast<char16_t>(((b & 0x1F) << 6) | continuation(1));
      i += 2;
    } else if (b < 0xF0) {
      out += static_cast<char16_t>(((b & 0x0F) << 12) | (continuation(1) << 6) | continuation(2));
      i += 3;
    } else {
      char32_t cp =
          ((b & 0x07) << 18) | (continuation(1) << 12) | (continuation(2) << 6) | continuation(3);
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
      i += 4;
    }
  }
  return out;
}

}  // namespace host::jscript
