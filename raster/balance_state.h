// The per-layer block that balance_init hands to the host and balance reads.
#ifndef RASTER_BALANCE_STATE_H
#define RASTER_BALANCE_STATE_H

#include <cstdint>

#include "gridloom/gridloom.h"

// The 5 x 5 quads fill the inner cells of a 7 x 7 grid; rows and columns 0 and 6 are virtual
// quads one quad-width outside the dataset, extrapolated from the inner ones.
inline constexpr int kQuadsPerAxis = 5;
inline constexpr int kGridSize = kQuadsPerAxis + 2;
inline constexpr int kGridCells = kGridSize * kGridSize;

constexpr int gridCell(int row, int column) { return kGridSize * row + column; }

struct balance_state {
  const GlmLayerDescriptor* descriptor;  // kept from init, not used afterwards
  double low[kGridCells];                // low value per cell, cell (r, c) at gridCell(r, c)
  double high[kGridCells];
  double max_range;  // largest high - low over the quads read
  double size_first;
  double size_second;
  double step_first;  // quads per cell along the first axis: 5 / size_first
  double step_second;
  int32_t band;                // 0-based band whose statistics are used
  unsigned char pass_through;  // 1: values are returned unchanged
};

#endif
