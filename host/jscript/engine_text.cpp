#include "script_text.h"

namespace host {

std::string toEngineString(automation::TextView s) {
  std::string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
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

std::string toWireUtf8(automation::TextView s) {
  std::string out;
  out.reserve(s.size() + s.size() / 2);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDFFF) {
      bool paired = c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF;
      c = paired ? 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00) : 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace host
