// Quad entries are region entries named "Mosaic Leveler Quad [i,j]" whose statistics give the
// lower, upper and centre value of quad (i, j) per band; quad (i, j) fills cell (i + 1, j + 1).
#include "quad_grid.h"

#include <cstring>
#include <optional>

#include "decimal_text.h"

namespace {

constexpr char kQuadPrefix[] = "Mosaic Leveler Quad ";
// Only "Mosaic Leveler " is compared: datasets differ in the word before the indices.
constexpr size_t kComparedPrefix = 15;
constexpr size_t kIndicesOffset = sizeof(kQuadPrefix) - 1;
// Window of a quad whose statistics lack a value array.
constexpr double kDefaultLow = 0.0;
constexpr double kDefaultHigh = 255.0;

struct QuadIndex {
  int first;
  int second;
};

bool isQuadIndex(int index) { return index >= 0 && index < kQuadsPerAxis; }

// Reads the indices after the prefix as sscanf's "[%d,%d]" would: the closing ']' is optional.
std::optional<QuadIndex> parseQuadIndex(const char* name) {
  if (name == nullptr || std::strncmp(name, kQuadPrefix, kComparedPrefix) != 0) return std::nullopt;
  if (strnlen(name, kIndicesOffset) < kIndicesOffset) return std::nullopt;
  const char* cursor = name + kIndicesOffset;
  if (*cursor++ != '[') return std::nullopt;
  const std::optional<int> first = readDecimal(cursor);
  if (!first || *cursor++ != ',') return std::nullopt;
  const std::optional<int> second = readDecimal(cursor);
  if (!second || !isQuadIndex(*first) || !isQuadIndex(*second)) return std::nullopt;
  return QuadIndex{*first, *second};
}

// The nearer bound of the centre is widened to half the full spread; the other bound stays.
void setQuadWindow(balance_state& state, int cell, const GlmStatistics& stats) {
  const int band = state.band;
  const double centre = stats.centre[band];
  const double belowCentre = centre - stats.lower[band];
  const double aboveCentre = stats.upper[band] - centre;
  const double halfSpread = (belowCentre + aboveCentre) * 0.5;
  if (aboveCentre < belowCentre) {
    state.low[cell] = centre - belowCentre;
    state.high[cell] = centre + halfSpread;
  } else {
    state.low[cell] = centre - halfSpread;
    state.high[cell] = centre + aboveCentre;
  }
  const double range = state.high[cell] - state.low[cell];
  if (range > state.max_range) state.max_range = range;
}

void readQuadEntry(balance_state& state, const GlmRegionEntry& entry) {
  if (entry.kind != GLM_REGION_KIND_STATISTICS) return;
  const std::optional<QuadIndex> quad = parseQuadIndex(entry.name);
  if (!quad || entry.statistics == nullptr) return;
  const int cell = gridCell(quad->first + 1, quad->second + 1);
  const GlmStatistics& stats = *entry.statistics;
  if (stats.lower == nullptr || stats.upper == nullptr || stats.centre == nullptr) {
    state.low[cell] = kDefaultLow;
    state.high[cell] = kDefaultHigh;
    return;
  }
  setQuadWindow(state, cell, stats);
}

void extrapolateBorderCell(balance_state& state, int target, int nearCell, int farCell) {
  state.low[target] = 2 * state.low[nearCell] - state.low[farCell];
  const double high = 2 * state.high[nearCell] - state.high[farCell];
  // A window that would close up keeps half the near cell's width instead.
  state.high[target] =
      high > state.low[target]
          ? high
          : state.low[nearCell] + (state.high[nearCell] - state.low[nearCell]) * 0.5;
}

}  // namespace

void readQuadEntries(balance_state& state, const GlmDatasetHeader& header) {
  for (const GlmRegionEntry* entry = header.firstRegion; entry != nullptr; entry = entry->next) {
    readQuadEntry(state, *entry);
  }
}

void extrapolateBorders(balance_state& state) {
  constexpr int last = kGridSize - 1;
  for (int p = 1; p < last; ++p) {
    extrapolateBorderCell(state, gridCell(0, p), gridCell(1, p), gridCell(2, p));
    extrapolateBorderCell(state, gridCell(last, p), gridCell(last - 1, p), gridCell(last - 2, p));
    extrapolateBorderCell(state, gridCell(p, 0), gridCell(p, 1), gridCell(p, 2));
    extrapolateBorderCell(state, gridCell(p, last), gridCell(p, last - 1), gridCell(p, last - 2));
  }
  // Corners along the diagonals.
  extrapolateBorderCell(state, gridCell(0, 0), gridCell(1, 1), gridCell(2, 2));
  extrapolateBorderCell(state, gridCell(last, 0), gridCell(last - 1, 1), gridCell(last - 2, 2));
  extrapolateBorderCell(state, gridCell(0, last), gridCell(1, last - 1), gridCell(2, last - 2));
  extrapolateBorderCell(state, gridCell(last, last), gridCell(last - 1, last - 1),
                        gridCell(last - 2, last - 2));
}
