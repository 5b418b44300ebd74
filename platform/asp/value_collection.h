// The keyed texts of a request (query string, form, server variables, the keys of a cookie):
// keys compare without regard to case, a key may come several times, and the order of arrival
// is kept, since scripts count and index them.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "automation/variant.h"

namespace asp {

using automation::Text;
using automation::TextView;
using automation::Variant;

class ValueCollection {
 public:
  // Decoded key/value pairs of an application/x-www-form-urlencoded text.
  static ValueCollection parseUrlEncoded(std::string_view raw, int codePage);
  // The same, from a text already decoded as a whole ("a=1&b=2" of a cookie set by a page).
  static ValueCollection parseDecoded(TextView text);

  void add(Text key, Text value);
  void replace(TextView key, Text value);  // drops every earlier value of the key
  Variant get(TextView key) const;         // joined by ", "; empty variant when absent
  std::vector<Text> values(TextView key) const;
  // Distinct keys in the spelling and order of their first arrival.
  std::vector<Text> keys() const;
  bool empty() const { return items_.empty(); }
  const std::vector<std::pair<Text, Text>>& items() const { return items_; }

 private:
  std::vector<std::pair<Text, Text>> items_;
};

}  // namespace asp
