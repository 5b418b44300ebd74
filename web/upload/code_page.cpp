#include "code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "automation/error.h"

namespace upload {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr int kDefaultCodePage = 936;

class Converter {
 public:
  explicit Converter(int codePage)
      : handle_(iconv_open("UTF-16LE", ("CP" + std::to_string(codePage)).c_str())) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      automation::throwProviderError(
          u"balance.SystemInit",
          u"Unknown code page " + automation::fromUtf8(std::to_string(codePage)));
    }
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // The one character that the pair stands for, or U+FFFD.
  char16_t pair(std::uint8_t lead, std::uint8_t trail) {
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    unsigned char out[8];
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 2;
    std::size_t outLeft = sizeof out;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    const auto result = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 2) {
      return kReplacement;
    }
    const auto c = static_cast<char16_t>(out[0] | (out[1] << 8));
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    return c < 0x80 || surrogate ? kReplacement : c;
  }

 private:
  iconv_t handle_;
};

int configuredCodePage() {
  const char* setting = std::getenv("BALANCE_ANSI_CODEPAGE");
  if (!setting || !*setting) return kDefaultCodePage;
  char* end = nullptr;
  const long value = std::strtol(setting, &end, 10);
  return *end == '\0' && value > 0 && value < 65536 ? static_cast<int>(value) : kDefaultCodePage;
}

bool isLead(std::uint8_t b) { return b >= 0x80; }

}  // namespace

AnsiCodePage::AnsiCodePage(int codePage)
    : number_(codePage), pairToChar_(kPairs), charToPair_(0x10000, 0) {
  Converter converter(codePage);
  for (std::size_t i = 0; i < kPairs; ++i) {
    const auto lead = static_cast<std::uint8_t>(0x80 + i / 256);
    const auto trail = static_cast<std::uint8_t>(i % 256);
    const char16_t c = converter.pair(lead, trail);
    pairToChar_[i] = c;
    if (c != kReplacement && charToPair_[c] == 0) {
      charToPair_[c] = static_cast<std::uint16_t>(lead << 8 | trail);
    }
  }
}

const AnsiCodePage& AnsiCodePage::system() {
  static const AnsiCodePage page(configuredCodePage());
  return page;
}

Text AnsiCodePage::decode(ByteSpan bytes) const {
  Text text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t b = bytes[i];
    if (!isLead(b)) {
      text += static_cast<char16_t>(b);
    } else if (i + 1 == bytes.size()) {
      text += kReplacement;
    } else {
      text += pairToChar_[(b - 0x80u) * 256u + bytes[++i]];
    }
  }
  return text;
}

std::vector<std::uint8_t> AnsiCodePage::encode(TextView text) const {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size());
  for (char16_t c : text) {
    const std::uint16_t pair = c < 0x80 ? 0 : charToPair_[c];
    if (pair != 0) bytes.push_back(static_cast<std::uint8_t>(pair >> 8));
    bytes.push_back(static_cast<std::uint8_t>(pair != 0 ? pair & 0xFF : c & 0xFF));
  }
  return bytes;
}

namespace {

// memmem sets up a table on every call, which dominates when hits are dense; so right after a
// hit the next few bytes are looked at directly before memmem takes over again.
constexpr std::size_t kNearby = 64;

const std::uint8_t* nextOccurrence(const std::uint8_t* from, const std::uint8_t* end,
                                   std::string_view marker) {
  if (static_cast<std::size_t>(end - from) < marker.size()) return nullptr;
  const std::uint8_t* lastStart = end - marker.size();
  const std::uint8_t* nearbyEnd = std::min(lastStart + 1, from + kNearby);
  for (const std::uint8_t* p = from; p < nearbyEnd; ++p) {
    if (*p == static_cast<std::uint8_t>(marker[0]) &&
        std::memcmp(p, marker.data(), marker.size()) == 0) {
      return p;
    }
  }
  if (nearbyEnd > lastStart) return nullptr;
  return static_cast<const std::uint8_t*>(
      memmem(nearbyEnd, static_cast<std::size_t>(end - nearbyEnd), marker.data(), marker.size()));
}

}  // namespace

std::size_t countInDecoded(ByteSpan bytes, std::string_view marker) {
  if (marker.empty() || bytes.size() < marker.size()) return 0;
  const auto* begin = bytes.data();
  const auto* end = begin + bytes.size();
  std::size_t count = 0;
  auto* hit =
      static_cast<const std::uint8_t*>(memmem(begin, bytes.size(), marker.data(), marker.size()));
  for (; hit; hit = nextOccurrence(hit + 1, end, marker)) {
    // Every byte after an ASCII byte starts a character, so the run of lead/trail bytes just
    // before the hit decides: an odd run means the hit's first byte is a trail byte. The marker
    // is ASCII, so these runs never reach back past the previous hit.
    const std::uint8_t* runStart = hit;
    while (runStart > begin && isLead(runStart[-1])) --runStart;
    if ((hit - runStart) % 2 == 0) ++count;
  }
  return count;
}

}  // namespace upload
