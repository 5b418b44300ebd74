// Statistics of the 5 x 5 quads of a band, as the balance plug-in expects them in a header.
#ifndef TOOLS_BALANCE_RASTER_QUAD_STATISTICS_H
#define TOOLS_BALANCE_RASTER_QUAD_STATISTICS_H

#include <gdal_priv.h>

#include <array>
#include <optional>
#include <vector>

inline constexpr int kQuads = 5;

struct QuadStatistics {
  double lower;   // 2nd percentile
  double upper;   // 98th percentile
  double centre;  // median
};

// Cell k of an axis belongs to the quad whose grid centre is nearest to the cell's centre:
// quad floor(5 (k + 0.5) / extent). Quad q spans [bounds[q], bounds[q + 1]).
std::array<int, kQuads + 1> quadBounds(int extent);

// Percentiles by linear interpolation between the two nearest order statistics, at
// p (n - 1) in the sorted values. Reorders values; nullopt when there are none.
std::optional<QuadStatistics> summarise(std::vector<double>& values);

using BandQuads = std::array<std::array<std::optional<QuadStatistics>, kQuads>, kQuads>;

// Statistics of every quad over its valid pixels (neither NaN nor the band's nodata value);
// quads without one stay empty.
BandQuads measureQuads(GDALRasterBand& band);

#endif
