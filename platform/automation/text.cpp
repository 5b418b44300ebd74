#include "text.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <stdexcept>

namespace automation {

Text trim(TextView s) {
  auto b = s.find_first_not_of(u' ');
  if (b == TextView::npos) return {};
  auto e = s.find_last_not_of(u' ');
  return Text(s.substr(b, e - b + 1));
}

static char16_t lowerChar(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;  // Latin-1 capitals
  return c;
}

Text lower(TextView s) {
  Text r(s);
  for (auto& c : r) c = lowerChar(c);
  return r;
}

bool equalsIgnoreCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerChar(a[i]) != lowerChar(b[i])) return false;
  }
  return true;
}

int find(TextView s, TextView what, int start) {
  if (start < 1) start = 1;
  if (static_cast<std::size_t>(start - 1) > s.size()) return 0;
  auto p = s.find(what, static_cast<std::size_t>(start - 1));
  return p == TextView::npos ? 0 : static_cast<int>(p) + 1;
}

bool contains(TextView s, TextView what) { return s.find(what) != TextView::npos; }

Text replaceAll(TextView s, TextView what, TextView with) {
  if (what.empty()) return Text(s);
  Text r;
  r.reserve(s.size());
  std::size_t pos = 0;
  for (auto p = s.find(what); p != TextView::npos; p = s.find(what, pos)) {
    r.append(s.substr(pos, p - pos)).append(with);
    pos = p + what.size();
  }
  r.append(s.substr(pos));
  return r;
}

std::vector<Text> split(TextView s, TextView separator) {
  std::vector<Text> pieces;
  if (s.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(s);
    return pieces;
  }
  std::size_t pos = 0;
  for (auto p = s.find(separator); p != TextView::npos; p = s.find(separator, pos)) {
    pieces.emplace_back(s.substr(pos, p - pos));
    pos = p + separator.size();
  }
  pieces.emplace_back(s.substr(pos));
  return pieces;
}

Text mid(TextView s, int start, int length) {
  if (start < 1) start = 1;
  auto b = static_cast<std::size_t>(start - 1);
  if (b >= s.size()) return {};
  return Text(s.substr(b, length < 0 ? TextView::npos : static_cast<std::size_t>(length)));
}

Text left(TextView s, int length) {
  return Text(s.substr(0, length < 0 ? 0 : static_cast<std::size_t>(length)));
}

Text right(TextView s, int length) {
  auto n = static_cast<std::size_t>(length < 0 ? 0 : length);
  return n >= s.size() ? Text(s) : Text(s.substr(s.size() - n));
}

namespace {

// UTF-8 without iconv: the host converts every request and reply, and opening a converter
// costs more than the conversion. The same results as iconv's: a byte that starts no valid
// sequence (overlong forms, surrogates and code points beyond U+10FFFF included) becomes U+FFFD;
// an unpaired surrogate becomes "?".
std::size_t utf8Sequence(std::string_view s, std::size_t i, char32_t& cp) {
  auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  auto trail = [&](std::size_t k) { return i + k < s.size() && (b(k) & 0xC0) == 0x80; };
  unsigned char lead = b(0);
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead < 0xE0 && trail(1)) {
    cp = (lead & 0x1F) << 6 | (b(1) & 0x3F);
    return 2;
  }
  if (lead >= 0xE0 && lead < 0xF0 && trail(1) && trail(2)) {
    cp = (lead & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    return cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead < 0xF5 && trail(1) && trail(2) && trail(3)) {
    cp = (lead & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
    return cp >= 0x10000 && cp <= 0x10FFFF ? 4 : 0;
  }
  return 0;
}

}  // namespace

Text fromUtf8(std::string_view s) {
  Text r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    char32_t cp = 0;
    std::size_t n = utf8Sequence(s, i, cp);
    if (n == 0) {
      r += u'\uFFFD';
      ++i;
      continue;
    }
    i += n;
    if (cp < 0x10000) {
      r += static_cast<char16_t>(cp);
    } else {
      cp -= 0x10000;
      r += static_cast<char16_t>(0xD800 + (cp >> 10));
      r += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
  }
  return r;
}

std::string toUtf8(TextView s) {
  std::string r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDFFF) {
      bool paired = c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF;
      if (!paired) {
        r += '?';
        continue;
      }
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    }
    if (c < 0x80) {
      r += static_cast<char>(c);
    } else if (c < 0x800) {
      r += static_cast<char>(0xC0 | (c >> 6));
      r += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      r += static_cast<char>(0xE0 | (c >> 12));
      r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      r += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      r += static_cast<char>(0xF0 | (c >> 18));
      r += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      r += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return r;
}

namespace {

std::string codePageName(int codePage) {
  switch (codePage) {
    case 65001:
      return "UTF-8";
    case 936:
      return "GBK";
    case 54936:
      return "GB18030";
    case 1200:
      return "UTF-16LE";
    case 20127:
      return "ASCII";
    case 28591:
      return "ISO-8859-1";
    default:
      return "CP" + std::to_string(codePage);
  }
}

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using Converter = std::unique_ptr<void, IconvCloser>;

Converter openConverter(const std::string& to, const std::string& from) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::invalid_argument("code page not available: " + from + " -> " + to);
  }
  return Converter(cd);
}

// Converts as far as possible; an unconvertible or incomplete sequence becomes `replacement`
// and conversion goes on after one input unit.
std::string convert(const std::string& to, const std::string& from, std::string_view in,
                    std::string_view replacement, std::size_t unit) {
  auto cd = openConverter(to, from);
  std::string out(in.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  std::size_t used = 0;
  while (srcLeft > 0) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    std::size_t r = iconv(static_cast<iconv_t>(cd.get()), &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
    out.replace(used, replacement.size(), replacement);
    used += replacement.size();
    std::size_t skip = std::min(unit, srcLeft);
    src += skip;
    srcLeft -= skip;
  }
  out.resize(used);
  return out;
}

}  // namespace

Text decodeCodePage(std::string_view bytes, int codePage) {
  if (codePage == 65001) return fromUtf8(bytes);
  static constexpr char kReplacement[] = "\xFD\xFF";  // U+FFFD, UTF-16LE
  std::string raw = convert("UTF-16LE", codePageName(codePage), bytes, {kReplacement, 2}, 1);
  Text r(raw.size() / 2, u'\0');
  for (std::size_t i = 0; i < r.size(); ++i) {
    r[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                 static_cast<unsigned char>(raw[2 * i + 1]) << 8);
  }
  return r;
}

std::string encodeCodePage(TextView s, int codePage) {
  if (codePage == 65001) return toUtf8(s);
  std::string raw(s.size() * 2, '\0');
  for (std::size_t i = 0; i < s.size(); ++i) {
    raw[2 * i] = static_cast<char>(s[i] & 0xFF);
    raw[2 * i + 1] = static_cast<char>(s[i] >> 8);
  }
  return convert(codePageName(codePage), "UTF-16LE", raw, "?", 2);
}

}  // namespace automation
