#include "quad_statistics.h"

#include <algorithm>
#include <cmath>

#include "raster_dataset.h"

namespace {

// Order statistics drawn from values in ascending order of rank, each by partial sorting of
// what lies above the previous one.
class OrderStatistics {
 public:
  explicit OrderStatistics(std::vector<double>& values) : values_(values) {}

  double percentile(double fraction) {
    const double position = fraction * static_cast<double>(values_.size() - 1);
    const auto rank = static_cast<size_t>(position);
    const double weight = position - static_cast<double>(rank);
    const double below = select(rank);
    if (weight == 0) return below;
    const double above = *std::min_element(values_.begin() + rank + 1, values_.end());
    return below + weight * (above - below);
  }

 private:
  double select(size_t rank) {
    std::nth_element(values_.begin() + settled_, values_.begin() + rank, values_.end());
    settled_ = rank;
    return values_[rank];
  }

  std::vector<double>& values_;
  size_t settled_ = 0;
};

}  // namespace

std::array<int, kQuads + 1> quadBounds(int extent) {
  std::array<int, kQuads + 1> bounds{};
  bounds[kQuads] = extent;
  int quad = 0;
  for (int cell = 0; cell < extent && quad < kQuads; ++cell) {
    // Integer form of floor(5 (cell + 0.5) / extent).
    const long cellQuad = (10L * cell + 5) / (2L * extent);
    while (quad < cellQuad) bounds[++quad] = cell;
  }
  while (quad < kQuads) bounds[++quad] = extent;
  return bounds;
}

std::optional<QuadStatistics> summarise(std::vector<double>& values) {
  if (values.empty()) return std::nullopt;
  OrderStatistics order(values);
  QuadStatistics stats{};
  stats.lower = order.percentile(0.02);
  stats.centre = order.percentile(0.5);
  stats.upper = order.percentile(0.98);
  return stats;
}

BandQuads measureQuads(GDALRasterBand& band) {
  const auto rows = quadBounds(band.GetYSize());
  const auto columns = quadBounds(band.GetXSize());
  const std::optional<double> nodata = nodataValue(band);
  auto invalid = [&](double value) { return std::isnan(value) || (nodata && value == *nodata); };
  BandQuads quads;
  std::vector<double> pixels;
  for (int i = 0; i < kQuads; ++i) {
    for (int j = 0; j < kQuads; ++j) {
      const int height = rows[i + 1] - rows[i];
      const int width = columns[j + 1] - columns[j];
      pixels.resize(static_cast<size_t>(height) * width);
      if (!pixels.empty()) readWindow(band, columns[j], rows[i], width, height, pixels.data());
      std::erase_if(pixels, invalid);
      quads[i][j] = summarise(pixels);
    }
  }
  return quads;
}
