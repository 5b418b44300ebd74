// Parsing url-encoded pairs and answering the lookups the request collections make.
#include "value_collection.h"

#include <unordered_set>

#include "url_encoding.h"

namespace asp {
namespace {

// Calls take(key, value) for each "&"-separated piece that is not empty.
template <class View, class Take>
void eachPair(View raw, typename View::value_type eqSign, typename View::value_type ampersand,
              Take take) {
  std::size_t pos = 0;
  while (pos <= raw.size()) {
    std::size_t amp = raw.find(ampersand, pos);
    if (amp == View::npos) amp = raw.size();
    View pair = raw.substr(pos, amp - pos);
    if (!pair.empty()) {
      std::size_t eq = pair.find(eqSign);
      take(pair.substr(0, eq), eq == View::npos ? View() : pair.substr(eq + 1));
    }
    pos = amp + 1;
  }
}

}  // namespace

ValueCollection ValueCollection::parseUrlEncoded(std::string_view raw, int codePage) {
  ValueCollection c;
  eachPair(raw, '=', '&', [&](std::string_view key, std::string_view value) {
    c.add(urlDecode(key, codePage), urlDecode(value, codePage));
  });
  return c;
}

ValueCollection ValueCollection::parseDecoded(TextView text) {
  ValueCollection c;
  eachPair(text, u'=', u'&', [&](TextView key, TextView value) { c.add(Text(key), Text(value)); });
  return c;
}

void ValueCollection::add(Text key, Text value) {
  items_.emplace_back(std::move(key), std::move(value));
}

void ValueCollection::replace(TextView key, Text value) {
  std::erase_if(items_,
                [&](const auto& item) { return automation::equalsIgnoreCase(item.first, key); });
  add(Text(key), std::move(value));
}

Variant ValueCollection::get(TextView key) const {
  Text joined;
  bool found = false;
  for (const auto& [k, v] : items_) {
    if (!automation::equalsIgnoreCase(k, key)) continue;
    if (found) joined += u", ";
    joined += v;
    found = true;
  }
  return found ? Variant(std::move(joined)) : Variant();
}

std::vector<Text> ValueCollection::values(TextView key) const {
  std::vector<Text> r;
  for (const auto& [k, v] : items_) {
    if (automation::equalsIgnoreCase(k, key)) r.push_back(v);
  }
  return r;
}

// One pass: a form of many distinct keys must not cost the square of their number.
std::vector<Text> ValueCollection::keys() const {
  std::vector<Text> r;
  std::unordered_set<Text> seen;
  for (const auto& item : items_) {
    if (seen.insert(automation::lower(item.first)).second) r.push_back(item.first);
  }
  return r;
}

}  // namespace asp
