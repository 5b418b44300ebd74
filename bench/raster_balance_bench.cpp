// Values per second of balance as a host calls it: through a pointer from dlsym, row by row over
// a raster, each value written to an output row. The pass-through run (same plug-in, a header
// without quads) is the cost of the call itself.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "gridloom/gridloom.h"

namespace {

constexpr int kRows = 512;
constexpr int kColumns = 2048;

std::string headerText(bool withQuads) {
  std::string regions;
  for (int i = 0; withQuads && i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      char entry[200];
      std::snprintf(entry, sizeof entry,
                    R"(%s{"kind": 1, "name": "Mosaic Leveler Quad [%d,%d]", "stats": )"
                    R"({"lower": [%d], "upper": [%d], "centre": [%d]}})",
                    regions.empty() ? "" : ",", i, j, 10 * i + j, 200 + 5 * i - j, 90 + i * j);
      regions += entry;
    }
  }
  return R"({"kind": 2, "extent": [)" + std::to_string(kRows) + ", " + std::to_string(kColumns) +
         R"(], "bands": 1, "regions": [)" + regions + "]}";
}

class LoadedPlugin {
 public:
  explicit LoadedPlugin(bool withQuads)
      : header_(std::string("/tmp/raster_balance_bench.") + (withQuads ? "quads" : "empty") +
                ".json") {
    handle_ = dlopen(BALANCE_RASTER_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error(dlerror());
    balance = reinterpret_cast<BalanceFunction>(dlsym(handle_, "balance"));
    finish_ = reinterpret_cast<BalanceReleaseFunction>(dlsym(handle_, "balance_finish"));
    const auto init = reinterpret_cast<BalanceInitFunction>(dlsym(handle_, "balance_init"));
    std::ofstream(header_) << headerText(withQuads);
    layer_.fileName = header_.c_str();
    init(0, 0, 0, 0, 0, 0, 1, &layer_, &state);
    std::remove(header_.c_str());
  }
  ~LoadedPlugin() {
    finish_(state);
    dlclose(handle_);
  }

  BalanceFunction balance = nullptr;
  balance_state* state = nullptr;

 private:
  std::string header_;
  GlmLayerDescriptor layer_{};
  void* handle_ = nullptr;
  BalanceReleaseFunction finish_ = nullptr;
};

void stretchRaster(benchmark::State& run, bool withQuads) {
  const LoadedPlugin plugin(withQuads);
  const BalanceFunction balance = plugin.balance;
  const balance_state* state = plugin.state;
  std::vector<double> in(kColumns);
  std::vector<double> out(kColumns);
  for (int column = 0; column < kColumns; ++column) in[column] = (column * 37) % 251;
  for (auto _ : run) {
    for (int row = 0; row < kRows; ++row) {
      const double first = row + 0.5;
      for (int column = 0; column < kColumns; ++column) {
        out[column] = balance(in[column], column + 0.5, first, 0, state);
      }
      benchmark::DoNotOptimize(out.data());
      benchmark::ClobberMemory();
    }
  }
  run.SetItemsProcessed(run.iterations() * kRows * kColumns);
}

void BM_BalanceStretch(benchmark::State& run) { stretchRaster(run, true); }
void BM_BalancePassThrough(benchmark::State& run) { stretchRaster(run, false); }

BENCHMARK(BM_BalanceStretch)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BalancePassThrough)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
