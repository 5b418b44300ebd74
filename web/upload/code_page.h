// The system's ANSI code page, through which the receiver turns posted bytes into text.
//
// The decoding rule is fixed and simple: a byte below 128 is that character; a byte of 128 or
// more is a lead byte and always takes the next byte as its trail, the pair being one character
// of the code page. glibc's iconv says which character each pair is; a pair it cannot map, a
// pair it would not turn into exactly one non-ASCII character, and a lead byte that is the last
// byte all become U+FFFD. The code page comes from BALANCE_ANSI_CODEPAGE (default 936).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "automation/text.h"

namespace upload {

using automation::Text;
using automation::TextView;
using ByteSpan = std::span<const std::uint8_t>;

class AnsiCodePage {
 public:
  // Raises a provider error when iconv does not know the code page.
  explicit AnsiCodePage(int codePage);
  // The code page of this process, built on first use.
  static const AnsiCodePage& system();

  int number() const { return number_; }
  Text decode(ByteSpan bytes) const;
  // One byte per character (its low 8 bits), or the code page's two bytes for a character it
  // encodes as a pair.
  std::vector<std::uint8_t> encode(TextView text) const;

 private:
  static constexpr std::size_t kPairs = 128 * 256;
  int number_;
  std::vector<char16_t> pairToChar_;       // index (lead - 128) * 256 + trail
  std::vector<std::uint16_t> charToPair_;  // lead * 256 + trail; 0 when the page has no pair
};

// How often an ASCII `marker` occurs in the decoded text of `bytes`, counted on the bytes
// without decoding them: an occurrence counts unless its first byte is a trail byte. (Pairs
// never decode to ASCII characters, so no occurrence in the text is missed.)
std::size_t countInDecoded(ByteSpan bytes, std::string_view marker);

}  // namespace upload
