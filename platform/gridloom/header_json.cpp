// Reads dataset header files into header records.
#include "header_json.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "header_records.h"

namespace gridloom {
namespace {

using nlohmann::json;

struct HeaderReleaser {
  void operator()(GlmDatasetHeader* header) const { releaseHeaderRecords(header); }
};
using HeaderOwner = std::unique_ptr<GlmDatasetHeader, HeaderReleaser>;

const json* member(const json& object, const char* key) {
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

std::optional<int32_t> asInt32(const json* value) {
  if (value == nullptr || !value->is_number_integer()) return std::nullopt;
  constexpr auto kMax = std::numeric_limits<int32_t>::max();
  if (value->is_number_unsigned()) {
    const auto number = value->get<uint64_t>();
    if (number > static_cast<uint64_t>(kMax)) return std::nullopt;
    return static_cast<int32_t>(number);
  }
  const auto number = value->get<int64_t>();
  if (number < std::numeric_limits<int32_t>::min() || number > kMax) return std::nullopt;
  return static_cast<int32_t>(number);
}

std::optional<int32_t> asFlag(const json* value) {
  if (value == nullptr || value->is_null()) return 0;
  if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
  return asInt32(value);
}

// Stores the band values of key into *slot; false when they are out of shape.
bool readBandValues(const json& stats, const char* key, int32_t bandCount, double** slot) {
  const json* values = member(stats, key);
  if (values == nullptr || values->is_null()) return true;
  if (!values->is_array()) return false;
  std::vector<double> numbers;
  numbers.reserve(values->size());
  for (const json& value : *values) {
    if (!value.is_number()) return false;
    numbers.push_back(value.get<double>());
  }
  if (numbers.size() >= static_cast<size_t>(bandCount)) *slot = copyValues(numbers);
  return true;
}

bool readStatistics(const json* stats, int32_t bandCount, GlmRegionEntry& region) {
  if (stats == nullptr || stats->is_null()) return true;
  if (!stats->is_object()) return false;
  region.statistics = newStatisticsRecord();
  GlmStatistics& record = *region.statistics;
  return readBandValues(*stats, "lower", bandCount, &record.lower) &&
         readBandValues(*stats, "upper", bandCount, &record.upper) &&
         readBandValues(*stats, "centre", bandCount, &record.centre);
}

bool readRegion(const json& region, int32_t bandCount, GlmRegionEntry& record) {
  if (!region.is_object()) return false;
  const auto kind = asInt32(member(region, "kind"));
  const json* name = member(region, "name");
  if (!kind || name == nullptr || !name->is_string()) return false;
  record.kind = *kind;
  record.name = copyText(name->get_ref<const std::string&>());
  return readStatistics(member(region, "stats"), bandCount, record);
}

bool readRegions(const json* regions, GlmDatasetHeader& header) {
  if (regions == nullptr || regions->is_null()) return true;
  if (!regions->is_array()) return false;
  GlmRegionEntry** tail = &header.firstRegion;
  for (const json& region : *regions) {
    *tail = newRegionRecord();
    if (!readRegion(region, header.bandCount, **tail)) return false;
    tail = &(*tail)->next;
  }
  return true;
}

bool readExtent(const json* extent, GlmDatasetHeader& header) {
  if (extent == nullptr || !extent->is_array() || extent->size() != 2) return false;
  const auto first = asInt32(&(*extent)[0]);
  const auto second = asInt32(&(*extent)[1]);
  if (!first || !second || *first < 1 || *second < 1) return false;
  header.extentFirst = *first;
  header.extentSecond = *second;
  return true;
}

bool readHeader(const json& document, GlmDatasetHeader& header) {
  if (!document.is_object()) return false;
  const auto kind = asInt32(member(document, "kind"));
  const auto bands = asInt32(member(document, "bands"));
  const auto reverse = asFlag(member(document, "reverse_bands"));
  if (!kind || !bands || *bands < 1 || !reverse) return false;
  header.kind = *kind;
  header.bandCount = *bands;
  header.reverseBands = *reverse;
  return readExtent(member(document, "extent"), header) &&
         readRegions(member(document, "regions"), header);
}

}  // namespace

GlmDatasetHeader* parseDatasetHeader(std::string_view text) {
  const json document = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) return nullptr;
  HeaderOwner header(newHeaderRecord());
  if (!readHeader(document, *header)) return nullptr;
  return header.release();
}

}  // namespace gridloom
