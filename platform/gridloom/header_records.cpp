// Dataset header records, built and released as one tree of host-allocated blocks.
#include "header_records.h"

#include <cstring>

namespace gridloom {
namespace {

template <typename Record>
Record* newZeroed() {
  void* block = malloc_or_die(sizeof(Record));
  std::memset(block, 0, sizeof(Record));
  return static_cast<Record*>(block);
}

void releaseStatistics(GlmStatistics* statistics) {
  if (statistics == nullptr) return;
  safe_free(statistics->lower);
  safe_free(statistics->upper);
  safe_free(statistics->centre);
  safe_free(statistics);
}

}  // namespace

GlmDatasetHeader* newHeaderRecord() { return newZeroed<GlmDatasetHeader>(); }

GlmRegionEntry* newRegionRecord() { return newZeroed<GlmRegionEntry>(); }

GlmStatistics* newStatisticsRecord() { return newZeroed<GlmStatistics>(); }

char* copyText(std::string_view text) {
  char* copy = static_cast<char*>(malloc_or_die(text.size() + 1));
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

double* copyValues(const std::vector<double>& values) {
  double* copy = static_cast<double*>(malloc_or_die(values.size() * sizeof(double)));
  std::memcpy(copy, values.data(), values.size() * sizeof(double));
  return copy;
}

void releaseHeaderRecords(GlmDatasetHeader* header) {
  if (header == nullptr) return;
  GlmRegionEntry* region = header->firstRegion;
  while (region != nullptr) {
    GlmRegionEntry* next = region->next;
    releaseStatistics(region->statistics);
    safe_free(region->name);
    safe_free(region);
    region = next;
  }
  safe_free(header);
}

}  // namespace gridloom
