// Allocation and release of dataset header records. Every block comes from malloc_or_die, so a
// header and all it points to can be released by walking it.
#ifndef GRIDLOOM_HEADER_RECORDS_H
#define GRIDLOOM_HEADER_RECORDS_H

#include <string_view>
#include <vector>

#include "gridloom/gridloom.h"

namespace gridloom {

// A zero-filled header with no regions.
GlmDatasetHeader* newHeaderRecord();

GlmRegionEntry* newRegionRecord();

GlmStatistics* newStatisticsRecord();
char* copyText(std::string_view text);
double* copyValues(const std::vector<double>& values);

// Releases the header, its regions, their names, statistics and value arrays; null is ignored.
void releaseHeaderRecords(GlmDatasetHeader* header);

}  // namespace gridloom

#endif
