// Text functions. Positions are 1-based; a Null argument gives Null where VBScript does so;
// the B forms (LenB, MidB, ...) work on bytes: of a byte array as they are, of a text on its
// UTF-16 code units two bytes each.
#include <iterator>

#include "builtins.h"
#include "errors.h"
#include "operators.h"

namespace vbscript {

namespace {

using automation::VarType;
using Bytes = Variant::Bytes;

constexpr int kAnsiCodePage = 936;

Variant arg(Args a, std::size_t i = 0) { return valueOf(a[i]); }
bool textCompare(Args a, std::size_t i) { return intArg(a, i, 0) == 1; }

int checkedLength(const Variant& v) {
  std::int64_t n = automation::toInt64Rounded(v);
  if (n < 0 || n > INT32_MAX) raise(err::kInvalidCall);
  return static_cast<int>(n);
}

Text folded(TextView s, bool fold) { return fold ? automation::lower(s) : Text(s); }

Variant len(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  return Variant(static_cast<std::int32_t>(automation::joinText(v).size()));
}

Variant leftFn(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  return Variant(automation::left(automation::toText(v), checkedLength(arg(a, 1))));
}

Variant rightFn(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  return Variant(automation::right(automation::toText(v), checkedLength(arg(a, 1))));
}

Variant midFn(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  std::int64_t start = automation::toInt64Rounded(arg(a, 1));
  if (start < 1) raise(err::kInvalidCall);
  int length = given(a, 2) ? checkedLength(arg(a, 2)) : -1;
  return Variant(automation::mid(
      automation::toText(v), static_cast<int>(std::min<std::int64_t>(start, INT32_MAX)), length));
}

Variant caseFn(Args a, bool upper) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  Text t = automation::toText(v);
  for (auto& c : t) {
    if (upper ? (c >= u'a' && c <= u'z') : (c >= u'A' && c <= u'Z'))
      c = upper ? c - 32 : c + 32;
    else if (upper && c >= 0xE0 && c <= 0xFE && c != 0xF7)
      c -= 32;
    else if (!upper && c >= 0xC0 && c <= 0xDE && c != 0xD7)
      c += 32;
  }
  return Variant(std::move(t));
}
Variant lcase(Runtime&, Args a) { return caseFn(a, false); }
Variant ucase(Runtime&, Args a) { return caseFn(a, true); }

Variant trimFn(Args a, bool front, bool back) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  Text t = automation::toText(v);
  std::size_t b = 0, e = t.size();
  if (front)
    while (b < e && t[b] == u' ') ++b;
  if (back)
    while (e > b && t[e - 1] == u' ') --e;
  return Variant(t.substr(b, e - b));
}
Variant trim(Runtime&, Args a) { return trimFn(a, true, true); }
Variant ltrim(Runtime&, Args a) { return trimFn(a, true, false); }
Variant rtrim(Runtime&, Args a) { return trimFn(a, false, true); }

Variant space(Runtime&, Args a) {
  return Variant(Text(static_cast<std::size_t>(checkedLength(arg(a))), u' '));
}

Variant stringFn(Runtime&, Args a) {
  int n = checkedLength(arg(a));
  Variant c = arg(a, 1);
  if (c.isNull()) return c;
  char16_t ch;
  if (c.isText()) {
    if (c.text().empty()) raise(err::kInvalidCall);
    ch = c.text()[0];
  } else {
    ch = static_cast<char16_t>(automation::toInt32(c) & 0xFF);
  }
  return Variant(Text(static_cast<std::size_t>(n), ch));
}

Variant strReverse(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) raise(err::kInvalidNull);
  Text t = automation::toText(v);
  return Variant(Text(t.rbegin(), t.rend()));
}

Variant ascW(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) raise(err::kInvalidNull);
  Text t = automation::toText(v);
  if (t.empty()) raise(err::kInvalidCall);
  return Variant(static_cast<std::int32_t>(t[0]));
}

Variant asc(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) raise(err::kInvalidNull);
  Text t = automation::toText(v);
  if (t.empty()) raise(err::kInvalidCall);
  if (t[0] < 0x80) return Variant(static_cast<std::int16_t>(t[0]));
  std::string b = automation::encodeCodePage(TextView(t).substr(0, 1), kAnsiCodePage);
  if (b.size() == 1) return Variant(static_cast<std::int16_t>(static_cast<unsigned char>(b[0])));
  int code = static_cast<unsigned char>(b[0]) << 8 | static_cast<unsigned char>(b[1]);
  return Variant(static_cast<std::int16_t>(code));
}

Variant chrW(Runtime&, Args a) {
  std::int32_t n = automation::toInt32(arg(a));
  if (n < -32768 || n > 65535) raise(err::kInvalidCall);
  return Variant(Text(1, static_cast<char16_t>(n & 0xFFFF)));
}

Variant chr(Runtime&, Args a) {
  std::int32_t n = automation::toInt32(arg(a));
  if (n < -32768 || n > 65535) raise(err::kInvalidCall);
  n &= 0xFFFF;
  if (n < 0x80) return Variant(Text(1, static_cast<char16_t>(n)));
  std::string b;
  if (n > 0xFF) b += static_cast<char>(n >> 8);
  b += static_cast<char>(n & 0xFF);
  Text t = automation::decodeCodePage(b, kAnsiCodePage);
  return Variant(t.empty() ? Text(1, static_cast<char16_t>(n)) : t);
}

Variant inStr(Runtime&, Args a) {
  // InStr([start,] string1, string2[, compare])
  std::size_t i = 0;
  int start = 1;
  if (a.size() >= 3) {
    Variant s = arg(a, 0);
    if (s.isNull()) raise(err::kInvalidNull);
    std::int64_t n = automation::toInt64Rounded(s);
    if (n < 1 || n > INT32_MAX) raise(err::kInvalidCall);
    start = static_cast<int>(n);
    i = 1;
  }
  Variant hay = arg(a, i), needle = arg(a, i + 1);
  if (hay.isNull() || needle.isNull()) return Variant::null();
  bool fold = textCompare(a, i + 2);
  Text h = folded(automation::joinText(hay), fold), n = folded(automation::joinText(needle), fold);
  // An empty text to search in has nothing, not even the empty text; in any other the
  // empty text is found where the search starts, up to just past the end.
  if (h.empty() || static_cast<std::size_t>(start) > h.size() + (n.empty() ? 1 : 0)) {
    return Variant(std::int32_t{0});
  }
  if (n.empty()) return Variant(std::int32_t{start});
  return Variant(static_cast<std::int32_t>(automation::find(h, n, start)));
}

Variant inStrRev(Runtime&, Args a) {
  Variant hay = arg(a, 0), needle = arg(a, 1);
  if (hay.isNull() || needle.isNull()) return Variant::null();
  int start = intArg(a, 2, -1);
  if (start == 0 || start < -1) raise(err::kInvalidCall);
  bool fold = textCompare(a, 3);
  Text h = folded(automation::joinText(hay), fold), n = folded(automation::joinText(needle), fold);
  if (start == -1) start = static_cast<int>(h.size());
  if (static_cast<std::size_t>(start) > h.size()) return Variant(std::int32_t{0});
  if (n.empty()) return Variant(std::int32_t{start});
  if (n.size() > static_cast<std::size_t>(start)) return Variant(std::int32_t{0});
  auto p = TextView(h).substr(0, static_cast<std::size_t>(start)).rfind(n);
  return Variant(static_cast<std::int32_t>(p == TextView::npos ? 0 : p + 1));
}

Variant strComp(Runtime&, Args a) {
  Variant x = arg(a, 0), y = arg(a, 1);
  if (x.isNull() || y.isNull()) return Variant::null();
  bool fold = textCompare(a, 2);
  int c = folded(automation::joinText(x), fold).compare(folded(automation::joinText(y), fold));
  return Variant(static_cast<std::int16_t>(c < 0 ? -1 : c > 0));
}

Variant replace(Runtime&, Args a) {
  Variant s = arg(a, 0), find = arg(a, 1), with = arg(a, 2);
  if (s.isNull() || find.isNull() || with.isNull()) return Variant::null();
  int start = intArg(a, 3, 1), count = intArg(a, 4, -1);
  if (start < 1 || count < -1) raise(err::kInvalidCall);
  bool fold = textCompare(a, 5);
  Text text = automation::joinText(s), what = automation::joinText(find),
       by = automation::joinText(with);
  if (static_cast<std::size_t>(start) > text.size()) return Variant(u"");
  text.erase(0, static_cast<std::size_t>(start - 1));
  if (what.empty() || count == 0) return Variant(std::move(text));
  Text hay = folded(text, fold), needle = folded(what, fold);
  Text out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (int done = 0; count < 0 || done < count; ++done) {
    auto p = hay.find(needle, pos);
    if (p == Text::npos) break;
    out.append(text, pos, p - pos).append(by);
    pos = p + needle.size();
  }
  out.append(text, pos, Text::npos);
  return Variant(std::move(out));
}

Variant splitFn(Runtime&, Args a) {
  Variant s = arg(a, 0);
  if (s.isNull()) raise(err::kInvalidNull);
  Text text = automation::joinText(s);
  Text sep = given(a, 1) ? automation::joinText(arg(a, 1)) : Text(u" ");
  int count = intArg(a, 2, -1);
  bool fold = textCompare(a, 3);
  Variant::Array out;
  if (text.empty() || count == 0) return Variant(std::move(out));
  if (sep.empty()) {
    out.emplace_back(text);
    return Variant(std::move(out));
  }
  Text hay = folded(text, fold), needle = folded(sep, fold);
  std::size_t pos = 0;
  while (count < 0 || static_cast<int>(out.size()) < count - 1) {
    auto p = hay.find(needle, pos);
    if (p == Text::npos) break;
    out.emplace_back(text.substr(pos, p - pos));
    pos = p + needle.size();
  }
  out.emplace_back(text.substr(pos));
  return Variant(std::move(out));
}

Variant join(Runtime&, Args a) {
  Variant arr = a[0];
  if (!arr.isArray()) raise(err::kTypeMismatch);
  if (arr.arrayBounds().size() != 1) raise(err::kSubscript);
  Text sep = given(a, 1) ? automation::joinText(arg(a, 1)) : Text(u" ");
  Text out;
  bool first = true;
  for (const Variant& v : arr.array()) {
    if (!first) out += sep;
    first = false;
    out += automation::joinText(valueOf(v));
  }
  return Variant(std::move(out));
}

Variant filter(Runtime&, Args a) {
  Variant arr = a[0];
  if (arr.isNull()) raise(err::kInvalidNull);
  if (!arr.isArray() || arr.arrayBounds().size() != 1) raise(err::kTypeMismatch);
  bool fold = textCompare(a, 3);
  bool include = !given(a, 2) || truth(a[2]);
  Text needle = folded(textArg(a[1]), fold);
  Variant::Array out;
  for (const Variant& v : arr.array()) {
    Text t = automation::joinText(valueOf(v));
    bool has = folded(t, fold).find(needle) != Text::npos;
    if (has == include) out.emplace_back(std::move(t));
  }
  return Variant(std::move(out));
}

bool unreserved(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
         c == u'@' || c == u'*' || c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

Variant escape(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  static const char* kHex = "0123456789ABCDEF";
  Text out;
  for (char16_t c : automation::toText(v)) {
    if (unreserved(c)) {
      out += c;
    } else if (c < 0x100) {
      out += u'%';
      out += static_cast<char16_t>(kHex[c >> 4]);
      out += static_cast<char16_t>(kHex[c & 15]);
    } else {
      out += u"%u";
      for (int shift = 12; shift >= 0; shift -= 4)
        out += static_cast<char16_t>(kHex[(c >> shift) & 15]);
    }
  }
  return Variant(std::move(out));
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

Variant unescape(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  Text s = automation::toText(v), out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'%' && i + 5 < s.size() + 0 && s[i + 1] == u'u') {
      int code = 0;
      bool ok = true;
      for (int k = 2; k < 6; ++k) {
        int d = hexDigit(s[i + k]);
        if (d < 0) ok = false;
        code = code * 16 + d;
      }
      if (ok) {
        out += static_cast<char16_t>(code);
        i += 5;
        continue;
      }
    }
    if (s[i] == u'%' && i + 2 < s.size() && hexDigit(s[i + 1]) >= 0 && hexDigit(s[i + 2]) >= 0) {
      out += static_cast<char16_t>(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
      i += 2;
      continue;
    }
    out += s[i];
  }
  return Variant(std::move(out));
}

// ---- byte forms
Bytes bytesOf(const Variant& v) {
  if (v.type() == VarType::ByteArray) return v.bytes();
  Text t = automation::joinText(v);
  Bytes b(t.size() * 2);
  for (std::size_t i = 0; i < t.size(); ++i) {
    b[2 * i] = static_cast<std::uint8_t>(t[i] & 0xFF);
    b[2 * i + 1] = static_cast<std::uint8_t>(t[i] >> 8);
  }
  return b;
}

// A byte string back as a text when it holds whole code units, else as bytes.
Variant byteResult(const Variant& like, Bytes b) {
  if (like.type() == VarType::ByteArray || b.size() % 2) return Variant(std::move(b));
  Text t(b.size() / 2, u'\0');
  for (std::size_t i = 0; i < t.size(); ++i)
    t[i] = static_cast<char16_t>(b[2 * i] | b[2 * i + 1] << 8);
  return Variant(std::move(t));
}

Variant lenB(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  return Variant(static_cast<std::int32_t>(bytesOf(v).size()));
}

Variant midB(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  Bytes b = bytesOf(v);
  std::int64_t start = automation::toInt64Rounded(arg(a, 1));
  if (start < 1) raise(err::kInvalidCall);
  std::size_t from = std::min<std::size_t>(static_cast<std::size_t>(start - 1), b.size());
  std::size_t n = given(a, 2) ? static_cast<std::size_t>(checkedLength(arg(a, 2))) : b.size();
  n = std::min(n, b.size() - from);
  return byteResult(v, Bytes(b.begin() + from, b.begin() + from + n));
}

Variant leftB(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  Bytes b = bytesOf(v);
  std::size_t n =
      std::min<std::size_t>(static_cast<std::size_t>(checkedLength(arg(a, 1))), b.size());
  return byteResult(v, Bytes(b.begin(), b.begin() + n));
}

Variant rightB(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) return v;
  Bytes b = bytesOf(v);
  std::size_t n =
      std::min<std::size_t>(static_cast<std::size_t>(checkedLength(arg(a, 1))), b.size());
  return byteResult(v, Bytes(b.end() - n, b.end()));
}

Variant ascB(Runtime&, Args a) {
  Variant v = arg(a);
  if (v.isNull()) raise(err::kInvalidNull);
  Bytes b = bytesOf(v);
  if (b.empty()) raise(err::kInvalidCall);
  return Variant(static_cast<std::uint8_t>(b[0]));
}

Variant chrB(Runtime&, Args a) {
  std::int32_t n = automation::toInt32(arg(a));
  if (n < 0 || n > 255) raise(err::kInvalidCall);
  return Variant(Bytes{static_cast<std::uint8_t>(n)});
}

Variant inStrB(Runtime&, Args a) {
  std::size_t i = 0;
  std::int64_t start = 1;
  if (a.size() >= 3) {
    start = automation::toInt64Rounded(arg(a, 0));
    if (start < 1) raise(err::kInvalidCall);
    i = 1;
  }
  Variant hay = arg(a, i), needle = arg(a, i + 1);
  if (hay.isNull() || needle.isNull()) return Variant::null();
  Bytes h = bytesOf(hay), n = bytesOf(needle);
  if (static_cast<std::size_t>(start - 1) > h.size()) return Variant(std::int32_t{0});
  if (n.empty()) return Variant(static_cast<std::int32_t>(start));
  auto it = std::search(h.begin() + (start - 1), h.end(), n.begin(), n.end());
  return Variant(static_cast<std::int32_t>(it == h.end() ? 0 : it - h.begin() + 1));
}

constexpr Builtin kList[] = {
    {u"Asc", 1, 1, asc},         {u"AscW", 1, 1, ascW},         {u"AscB", 1, 1, ascB},
    {u"Chr", 1, 1, chr},         {u"ChrW", 1, 1, chrW},         {u"ChrB", 1, 1, chrB},
    {u"InStr", 2, 4, inStr},     {u"InStrRev", 2, 4, inStrRev}, {u"InStrB", 2, 4, inStrB},
    {u"Join", 1, 2, join},       {u"LCase", 1, 1, lcase},       {u"Left", 2, 2, leftFn},
    {u"LeftB", 2, 2, leftB},     {u"Len", 1, 1, len},           {u"LenB", 1, 1, lenB},
    {u"LTrim", 1, 1, ltrim},     {u"Mid", 2, 3, midFn},         {u"MidB", 2, 3, midB},
    {u"Replace", 3, 6, replace}, {u"Right", 2, 2, rightFn},     {u"RightB", 2, 2, rightB},
    {u"RTrim", 1, 1, rtrim},     {u"Space", 1, 1, space},       {u"Split", 1, 4, splitFn},
    {u"StrComp", 2, 3, strComp}, {u"String", 2, 2, stringFn},   {u"StrReverse", 1, 1, strReverse},
    {u"Trim", 1, 1, trim},       {u"UCase", 1, 1, ucase},       {u"Filter", 2, 4, filter},
    {u"Escape", 1, 1, escape},   {u"Unescape", 1, 1, unescape},
};

}  // namespace

BuiltinList textBuiltins() { return {std::begin(kList), std::end(kList)}; }

}  // namespace vbscript
