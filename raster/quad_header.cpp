#include "quad_header.h"

#include <cstdio>

QuadHeader::QuadHeader(int rows, int columns, int bands) {
  header_.kind = GLM_HEADER_KIND_GRID;
  header_.extentFirst = rows;
  header_.extentSecond = columns;
  header_.bandCount = bands;
}

QuadHeader& QuadHeader::window(int i, int j, double low, double high) {
  // A centre half-way between the bounds leaves both bounds as they are.
  return quad(i, j, {{low}, {high}, {(low + high) / 2}});
}

QuadHeader& QuadHeader::quad(int i, int j, BandStatistics stats) {
  return region(GLM_REGION_KIND_STATISTICS, quadName(i, j), &stats);
}

QuadHeader& QuadHeader::region(int kind, std::string name, const BandStatistics* stats) {
  GlmRegionEntry& entry = entries_.emplace_back();
  entry.kind = kind;
  entry.name = names_.emplace_back(std::move(name)).data();
  if (stats != nullptr) {
    GlmStatistics& record = statistics_.emplace_back();
    auto array = [this](const std::vector<double>& values) {
      return values.empty() ? nullptr : arrays_.emplace_back(values).data();
    };
    record.lower = array(stats->lower);
    record.upper = array(stats->upper);
    record.centre = array(stats->centre);
    entry.statistics = &record;
  }
  *tail_ = &entry;
  tail_ = &entry.next;
  return *this;
}

QuadHeader& QuadHeader::reverseBands() {
  header_.reverseBands = 1;
  return *this;
}

QuadHeader& QuadHeader::kind(int kind) {
  header_.kind = kind;
  return *this;
}

std::string quadName(int i, int j) {
  char name[64];
  std::snprintf(name, sizeof name, "Mosaic Leveler Quad [%d,%d]", i, j);
  return name;
}

Layer::Layer(GlmDatasetHeader* header, const char* band, const char* fileName) {
  selection.text = band;
  descriptor.fileName = fileName;
  descriptor.bandSelection = &selection;
  descriptor.header = header;
}

StatePtr initLayer(const Layer& layer, int enabled) {
  balance_state* state = nullptr;
  balance_init(0, 0, 0, 0, 0, 0, enabled, &layer.descriptor, &state);
  return StatePtr(state);
}
