// Test support: dataset headers and layer descriptors built in memory, as a host hands them over,
// and a state owner that releases through the plug-in.
#ifndef RASTER_QUAD_HEADER_H
#define RASTER_QUAD_HEADER_H

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "balance_state.h"

// Per-band values of one region's statistics; an empty vector stands for a missing array.
struct BandStatistics {
  std::vector<double> lower;
  std::vector<double> upper;
  std::vector<double> centre;
};

class QuadHeader {
 public:
  QuadHeader(int rows, int columns, int bands = 1);

  // Quad (i, j) with a single band whose window is exactly [low, high].
  QuadHeader& window(int i, int j, double low, double high);
  QuadHeader& quad(int i, int j, BandStatistics stats);
  QuadHeader& region(int kind, std::string name, const BandStatistics* stats);
  QuadHeader& reverseBands();
  QuadHeader& kind(int kind);

  GlmDatasetHeader* get() { return &header_; }

 private:
  GlmDatasetHeader header_{};
  GlmRegionEntry** tail_ = &header_.firstRegion;
  std::deque<GlmRegionEntry> entries_;
  std::deque<GlmStatistics> statistics_;
  std::deque<std::string> names_;
  std::deque<std::vector<double>> arrays_;
};

std::string quadName(int i, int j);

struct StateReleaser {
  void operator()(balance_state* state) const { balance_finish(state); }
};
using StatePtr = std::unique_ptr<balance_state, StateReleaser>;

// A layer as the host describes it; the band text and file name may be null.
struct Layer {
  explicit Layer(GlmDatasetHeader* header, const char* band = nullptr,
                 const char* fileName = nullptr);
  Layer(const Layer&) = delete;  // the descriptor points into the layer
  Layer& operator=(const Layer&) = delete;
  GlmBandSelection selection{};
  GlmLayerDescriptor descriptor{};
};

// Runs balance_init for the layer; null when init stored no state.
StatePtr initLayer(const Layer& layer, int enabled = 1);

#endif
