// Text: the UTF-16 strings of the automation world, and the few text operations the
// components are specified in terms of. Positions are 1-based and 0 means "absent", as the
// page scripts' runtime counts them; trimming removes U+0020 only.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace automation {

using Text = std::u16string;
using TextView = std::u16string_view;

Text trim(TextView s);
Text lower(TextView s);  // ASCII and Latin letters; CJK text is unchanged
// 1-based position of the first occurrence of `what` at or after `start`, 0 when absent.
int find(TextView s, TextView what, int start = 1);
bool contains(TextView s, TextView what);
Text replaceAll(TextView s, TextView what, TextView with);
// Every piece, empty ones included; an empty text gives no pieces at all.
std::vector<Text> split(TextView s, TextView separator);
// Mid(s, start, length) with 1-based start; length < 0 means "to the end".
Text mid(TextView s, int start, int length = -1);
Text left(TextView s, int length);
Text right(TextView s, int length);
bool equalsIgnoreCase(TextView a, TextView b);

// Conversions at the edges of the system (HTTP, files, logs).
Text fromUtf8(std::string_view s);
std::string toUtf8(TextView s);
// Single-byte/double-byte code pages through iconv: 936 (GBK), 65001 (UTF-8), 1252 and the like.
Text decodeCodePage(std::string_view bytes, int codePage);
std::string encodeCodePage(TextView s, int codePage);

// Four units from `p` read as one word, and whether all four are ASCII: the fast path of the
// UTF-8 counts and writers that whole pages, mostly ASCII markup, go through.
inline std::uint64_t quadAt(const char16_t* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}
inline bool isAsciiQuad(std::uint64_t quad) { return (quad & 0xFF80FF80FF80FF80u) == 0; }

}  // namespace automation
