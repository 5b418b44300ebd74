// Fuzzes the reading of a request: URL decoding in the page's code page, query strings,
// url-encoded form bodies, cookies and raw body reads. Besides never crashing:
//   - percent-escaped bytes decode to what the code page makes of the bytes themselves;
//   - a collection holds one item per non-empty '&' piece, and reading a key gives every value
//     stored under it;
//   - Form reads only url-encoded bodies, Item searches QueryString, Form, Cookies in order;
//   - raw reads in any pieces give the body back, and the form stays readable after them.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "asp/request.h"

namespace {

using automation::Text;
using automation::Variant;

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken invariant: %s\n", what);
    abort();
  }
}

std::string percentEscaped(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

std::size_t nonEmptyPieces(std::string_view raw) {
  std::size_t n = 0;
  for (std::size_t pos = 0; pos <= raw.size();) {
    std::size_t amp = std::min(raw.find('&', pos), raw.size());
    n += amp > pos;
    pos = amp + 1;
  }
  return n;
}

void requireConsistent(const asp::ValueCollection& c, std::string_view raw) {
  require(c.items().size() == nonEmptyPieces(raw), "one item per non-empty piece");
  for (const auto& [key, value] : c.items()) {
    const Variant joined = c.get(key);
    require(!joined.isEmpty(), "a stored key is found");
    require(joined.text().find(value) != Text::npos, "a key gives each of its values");
  }
}

bool sameValue(const Variant& a, const Variant& b) {
  return a.isEmpty() ? b.isEmpty() : !b.isEmpty() && a.text() == b.text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int codePage = in.ConsumeBool() ? 936 : 65001;

  const std::string bytes = in.ConsumeRandomLengthString(256);
  require(asp::urlDecode(percentEscaped(bytes), codePage) ==
              automation::decodeCodePage(bytes, codePage),
          "escaped bytes decode as the bytes do");

  static const char* const kTypes[] = {"application/x-www-form-urlencoded",
                                       "Application/X-WWW-Form-Urlencoded; charset=utf-8",
                                       "multipart/form-data; boundary=b", "text/plain", ""};
  const std::size_t typeIndex = in.ConsumeIntegralInRange<std::size_t>(0, 4);
  const std::string type = kTypes[typeIndex];
  const std::string query = in.ConsumeRandomLengthString(4096);
  const std::string cookieName = in.ConsumeRandomLengthString(64);
  const std::string cookieValue = in.ConsumeRandomLengthString(256);
  const std::string body = in.ConsumeRandomLengthString(8192);

  const auto queryItems = asp::ValueCollection::parseUrlEncoded(query, codePage);
  requireConsistent(queryItems, query);
  const bool formBody = typeIndex < 2;
  const auto formItems =
      formBody ? asp::ValueCollection::parseUrlEncoded(body, codePage) : asp::ValueCollection();
  if (formBody) requireConsistent(formItems, body);

  asp::Request request;
  request.setCodePage(codePage);
  request.setQueryString(query);
  request.setBody(body, type);
  const Text cookie = asp::urlDecode(cookieName, codePage);
  request.setCookie(cookie, asp::urlDecode(cookieValue, codePage));
  require(request.TotalBytes() == static_cast<std::int32_t>(body.size()), "TotalBytes");

  std::vector<Text> keys{cookie, u"action", u""};
  for (const auto& item : queryItems.items()) keys.push_back(item.first);
  for (const auto& item : formItems.items()) keys.push_back(item.first);
  for (const Text& key : keys) {
    const Variant q = request.QueryString(key);
    const Variant f = request.Form(key);
    const Variant c = request.Cookies(key);
    require(sameValue(q, queryItems.get(key)), "QueryString reads the query");
    require(sameValue(f, formItems.get(key)), "Form reads only url-encoded bodies");
    const Variant& first = !q.isEmpty() ? q : !f.isEmpty() ? f : c;
    if (!first.isEmpty()) require(sameValue(request.Item(key), first), "Item's order");
  }

  std::string read;
  while (in.remaining_bytes() > 0 && read.size() < body.size()) {
    std::int32_t n = in.ConsumeIntegralInRange<std::int32_t>(-1, 1 << 14);
    const std::int32_t asked = n;
    const auto piece = request.BinaryRead(n);
    require(n >= 0 && n <= std::max(asked, 0), "a read gives at most what was asked");
    require(piece.size() == static_cast<std::size_t>(n), "the count is what was read");
    read.append(piece.begin(), piece.end());
  }
  require(body.compare(0, read.size(), read) == 0, "reads give the body back in order");
  for (const auto& [key, value] : formItems.items()) {
    require(sameValue(request.Form(key), formItems.get(key)), "the form outlives the reads");
  }
  return 0;
}
