// Fuzzes the reading of a request: URL decoding and encoding in the page's code page, query
// strings, url-encoded form bodies, Cookie headers, the collections scripts read them through,
// and raw body reads. Besides never crashing:
//   - percent-escaped bytes decode to what the code page makes of the bytes themselves, and in
//     UTF-8 what is encoded decodes back to itself;
//   - a collection holds one item per non-empty '&' piece, a key gives every value stored
//     under it, and its keys are distinct regardless of case, in the order they came;
//   - Form reads only url-encoded bodies, Item searches QueryString, Form, Cookies in order;
//   - a Cookie header gives one cookie per "name=value" piece, found by its decoded name;
//   - raw reads in any pieces give the body back, and the form stays readable after them.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

#include "asp/request.h"

namespace {

using automation::Text;
using automation::Variant;

// Enough of each collection to reach every path without making the run quadratic.
constexpr std::size_t kLooked = 16;

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

bool sameValue(const Variant& a, const Variant& b) {
  return a.isEmpty() ? b.isEmpty() : !b.isEmpty() && a.text() == b.text();
}

void requireConsistent(const asp::ValueCollection& c, std::string_view raw) {
  require(c.items().size() == nonEmptyPieces(raw), "one item per non-empty piece");
  const std::vector<Text> keys = c.keys();
  std::unordered_set<Text> lowered;
  for (const Text& key : keys) {
    require(lowered.insert(automation::lower(key)).second, "keys are distinct regardless of case");
  }
  require(keys.empty() || keys.front() == c.items().front().first, "keys keep their order");
  for (std::size_t i = 0; i < c.items().size(); ++i) {
    const auto& [key, value] = c.items()[i];
    require(lowered.count(automation::lower(key)) == 1, "every item's key is a key");
    if (i >= kLooked) continue;
    const Variant joined = c.get(key);
    require(!joined.isEmpty() && joined.text().find(value) != Text::npos,
            "a key gives each of its values");
  }
}

// What scripts see of a collection: its keys by number and the values of each.
void requireCollectionAgrees(const asp::RequestCollection& collection,
                             const asp::ValueCollection& values) {
  const std::vector<Text> keys = values.keys();
  require(collection.Count() == static_cast<std::int32_t>(keys.size()), "Count is the keys");
  for (std::size_t n = 1; n <= std::min(keys.size(), kLooked); ++n) {
    const Text key = collection.Key(Variant(static_cast<std::int32_t>(n)));
    require(key == keys[n - 1], "Key(n) is the n-th key");
    auto list = automation::objectAs<asp::ValueList>(collection.Item(Variant(key)));
    require(list->Count() == static_cast<std::int32_t>(values.values(key).size()),
            "a key's list holds its values");
    require(sameValue(list->Item(Variant::missing()), values.get(key)), "a list joins its values");
  }
}

// The cookies a Cookie header holds, decoded, as the classic host reads them.
std::vector<std::pair<Text, Text>> cookiesOf(std::string_view header, int codePage) {
  std::vector<std::pair<Text, Text>> cookies;
  std::size_t pos = 0;
  while (pos <= header.size()) {
    std::size_t semicolon = std::min(header.find(';', pos), header.size());
    std::string_view pair = header.substr(pos, semicolon - pos);
    pair.remove_prefix(std::min(pair.find_first_not_of(' '), pair.size()));
    const std::size_t eq = pair.find('=');
    if (eq != std::string_view::npos && eq > 0) {
      cookies.emplace_back(asp::urlDecode(pair.substr(0, eq), codePage),
                           asp::urlDecode(pair.substr(eq + 1), codePage));
    }
    pos = semicolon + 1;
  }
  return cookies;
}

void requireCookiesAgree(const asp::Request& request,
                         const std::vector<std::pair<Text, Text>>& set) {
  auto cookies = request.cookiesCollection();
  require(cookies->Count() == static_cast<std::int32_t>(set.size()), "one cookie per piece");
  for (std::size_t n = 1; n <= std::min(set.size(), kLooked); ++n) {
    const Variant number(static_cast<std::int32_t>(n));
    require(cookies->Key(number) == set[n - 1].first, "a cookie's name");
    auto cookie = cookies->Item(number);
    require(cookie->Item(Variant::missing()).text() == set[n - 1].second, "a cookie's value");
    for (std::int32_t k = 1; k <= std::min<std::int32_t>(cookie->Count(), kLooked); ++k) {
      cookie->Item(Variant(cookie->Key(Variant(k))));
    }
    // The first cookie of a name is the one found by it.
    const auto first = std::find_if(set.begin(), set.end(), [&](const auto& c) {
      return automation::equalsIgnoreCase(c.first, set[n - 1].first);
    });
    require(request.Cookies(set[n - 1].first).text() == first->second, "found by name");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int codePage = in.ConsumeBool() ? 936 : 65001;

  const std::string bytes = in.ConsumeRandomLengthString(256);
  const Text decoded = asp::urlDecode(percentEscaped(bytes), codePage);
  require(decoded == automation::decodeCodePage(bytes, codePage),
          "escaped bytes decode as the bytes do");
  if (codePage == 65001) {
    require(
        asp::urlDecode(automation::toUtf8(asp::urlEncode(decoded, codePage)), codePage) == decoded,
        "what is encoded decodes back");
  }

  static const char* const kTypes[] = {"application/x-www-form-urlencoded",
                                       "Application/X-WWW-Form-Urlencoded; charset=utf-8",
                                       "multipart/form-data; boundary=b", "text/plain", ""};
  const std::size_t typeIndex = in.ConsumeIntegralInRange<std::size_t>(0, 4);
  const std::string type = kTypes[typeIndex];
  const std::string query = in.ConsumeRandomLengthString(4096);
  const std::string cookieName = in.ConsumeRandomLengthString(64);
  const std::string cookieValue = in.ConsumeRandomLengthString(256);
  const std::string cookieHeader = in.ConsumeRandomLengthString(1024);
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
  std::vector<std::pair<Text, Text>> cookies{
      {asp::urlDecode(cookieName, codePage), asp::urlDecode(cookieValue, codePage)}};
  request.setCookie(cookies.front().first, cookies.front().second);
  request.addCookieHeader(cookieHeader);
  for (auto& c : cookiesOf(cookieHeader, codePage)) cookies.push_back(std::move(c));
  require(request.TotalBytes() == static_cast<std::int32_t>(body.size()), "TotalBytes");

  requireCollectionAgrees(*request.queryStringCollection(), queryItems);
  requireCollectionAgrees(*request.formCollection(), formItems);
  requireCookiesAgree(request, cookies);

  std::vector<Text> keys{cookies.front().first, u"action", u""};
  for (const auto& items : {&queryItems, &formItems}) {
    for (std::size_t i = 0; i < std::min(items->items().size(), kLooked); ++i) {
      keys.push_back(items->items()[i].first);
    }
  }
  for (const Text& key : keys) {
    const Variant q = request.QueryString(key);
    const Variant f = request.Form(key);
    const Variant c = request.Cookies(key);
    require(sameValue(q, queryItems.get(key)), "QueryString reads the query");
    require(sameValue(f, formItems.get(key)), "Form reads only url-encoded bodies");
    const Variant& first = !q.isEmpty() ? q : !f.isEmpty() ? f : c;
    if (!first.isEmpty()) require(sameValue(request.Item(key), first), "Item's order");
    request.itemObject(key);
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
  for (std::size_t i = 0; i < std::min(formItems.items().size(), kLooked); ++i) {
    const Text& key = formItems.items()[i].first;
    require(sameValue(request.Form(key), formItems.get(key)), "the form outlives the reads");
  }
  return 0;
}
