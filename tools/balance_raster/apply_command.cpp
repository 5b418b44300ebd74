// The host side of the plug-in protocol: one layer descriptor and one balance_init per run, then
// balance for every pixel (row = first axis, column = second, positions at pixel centres), on
// all cores when the plug-in allows it, chunk by chunk of whole input blocks.
#include "apply_command.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include <cpl_conv.h>

#include "balance_plugin.h"
#include "progress_bar.h"
#include "raster_dataset.h"
#include "tool_error.h"

namespace {

// Chunks small enough for their buffers to stay in the processor's cache between the read, the
// stretch and the write.
constexpr long kPixelsPerChunk = 1L << 19;
// Every input block is read once and output strips bypass the cache, so a large block cache buys
// nothing and costs page faults; the user's GDAL_CACHEMAX still wins.
constexpr GIntBig kBlockCacheBytes = 4L << 20;

struct HeaderReleaser {
  void operator()(GlmDatasetHeader* header) const { ef_dshdr(header); }
};
using HeaderPtr = std::unique_ptr<GlmDatasetHeader, HeaderReleaser>;

HeaderPtr loadHeader(const std::string& path) {
  char* fspec = nullptr;
  if (GLM_build_abs_fspec(&fspec, 0, path.c_str()) != GLM_OK) {
    throw ToolError("no usable header file name \"" + path + "\"");
  }
  GlmDatasetHeader* header = nullptr;
  const int status = eg_dshdr_alg_or_glh(&header, fspec);
  safe_free(fspec);
  if (status == GLM_ERROR_READ) throw ToolError("cannot read header file " + path);
  if (status != GLM_OK) throw ToolError(path + " is not a well-formed dataset header");
  return HeaderPtr(header);
}

void warnOnExtentMismatch(const GlmDatasetHeader& header, GDALDataset& input,
                          const std::string& path) {
  const int rows = input.GetRasterYSize();
  const int columns = input.GetRasterXSize();
  if (header.extentFirst == rows && header.extentSecond == columns) return;
  std::fprintf(stderr,
               "balance-raster: warning: the header describes %d x %d cells, %s has %d x %d "
               "(rows x columns)\n",
               header.extentFirst, header.extentSecond, path.c_str(), rows, columns);
}

// The plug-in's state for one layer, released through the plug-in.
class LayerState {
 public:
  LayerState(const BalancePlugin& plugin, const GlmLayerDescriptor& layer) : plugin_(plugin) {
    plugin.init(0, 0, 0, 0, 0, 0, 1, &layer, &state_);
  }
  ~LayerState() {
    if (state_ != nullptr) plugin_.finish(state_);
  }
  LayerState(const LayerState&) = delete;
  LayerState& operator=(const LayerState&) = delete;

  const balance_state* get() const { return state_; }

 private:
  const BalancePlugin& plugin_;
  balance_state* state_ = nullptr;
};

// Rows of the raster held in memory: input values in, stretched values out. Rows are handed
// out in small batches to whichever thread is free, so the stretch needs no fixed split. Input
// values are held as floats when that is exact: half the memory to read and go through.
template <typename Value>
struct Chunk {
  int firstRow = 0;
  int rows = 0;
  int columns = 0;
  const Value* values = nullptr;  // in input, or in the input file's mapping
  // Left uninitialised: their pages are first touched by whichever thread fills them.
  std::unique_ptr<Value[]> input;
  std::unique_ptr<float[]> output;
  std::atomic<int> nextRow = 0;
};

constexpr int kRowsPerBatch = 8;

// One row. Kept out of line so that its few operands stay in registers around the opaque
// plug-in call.
template <typename Value>
[[gnu::noinline]] void stretchRow(BalanceFunction stretch, const balance_state* layer,
                                  std::optional<double> nodata, double first, const Value* in,
                                  float* out, int columns) {
  const bool hasNodata = nodata.has_value();
  const double nodataValue = nodata.value_or(0);
  for (int column = 0; column < columns; ++column) {
    const double value = in[column];
    const bool keep = hasNodata && value == nodataValue;
    out[column] = static_cast<float>(keep ? value : stretch(value, column + 0.5, first, 0, layer));
  }
}

struct Stretch {
  BalanceFunction balance;
  const balance_state* state;
  std::optional<double> nodata;  // nodata pixels stay as they are

  template <typename Value>
  void rows(Chunk<Value>& chunk, int begin, int end) const {
    for (int row = begin; row < end; ++row) {
      const size_t offset = static_cast<size_t>(row) * chunk.columns;
      stretchRow(balance, state, nodata, chunk.firstRow + row + 0.5, chunk.values + offset,
                 chunk.output.get() + offset, chunk.columns);
    }
  }

  // Stretches batches of the chunk until none is left.
  template <typename Value>
  void drain(Chunk<Value>& chunk) const {
    for (int begin = chunk.nextRow.fetch_add(kRowsPerBatch); begin < chunk.rows;
         begin = chunk.nextRow.fetch_add(kRowsPerBatch)) {
      rows(chunk, begin, std::min(chunk.rows, begin + kRowsPerBatch));
    }
  }
};

// The output, made on its own thread: replacing an existing file frees its pages, a while for a
// large one, and the stretch need not wait for that.
class PendingOutput {
 public:
  PendingOutput(const OutputFrame& frame, const std::string& path, int rowsPerStrip)
      : created_(std::async(std::launch::async, [&frame, &path, rowsPerStrip] {
          return createFloat32(frame, path, rowsPerStrip);
        })) {}

  bool ready() const {
    return dataset_ || created_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  }

  // Waits for the output the first time; rethrows its failure.
  GDALDataset& dataset() {
    if (!dataset_) dataset_ = created_.get();
    return *dataset_;
  }

 private:
  std::future<DatasetPtr> created_;
  DatasetPtr dataset_;
};

// Chunks in memory at once: enough for the stretch to go on while the output is being made.
constexpr int kRingChunks = 16;

int rowsPerChunk(GDALRasterBand& band) {
  int blockColumns = 0;
  int blockRows = 0;
  band.GetBlockSize(&blockColumns, &blockRows);
  blockRows = std::max(blockRows, 1);
  const long wanted = std::max(1L, kPixelsPerChunk / std::max(band.GetXSize(), 1));
  return static_cast<int>(std::max<long>(blockRows, wanted / blockRows * blockRows));
}

// Overlaps I/O with the stretch: while helpers stretch chunk k, this thread writes the chunks
// before k once the output exists and reads chunk k + 1 (GDAL allows one thread per dataset at a
// time), then joins the stretch when the plug-in allows concurrent calls. Chunk k is strip k of
// the output. With mapped, the band's pixels in memory, nothing is read: the stretch takes the
// values from there.
template <typename Value>
void stretchBand(GDALRasterBand& in, const Value* mapped, PendingOutput& out, int step,
                 const Stretch& stretch, bool mtsafe) {
  const int rows = in.GetYSize();
  const int chunks = (rows + step - 1) / step;
  const unsigned helpers = mtsafe ? std::max(2u, std::thread::hardware_concurrency()) - 1 : 1;
  ProgressBar progress(rows);
  std::vector<Chunk<Value>> ring(kRingChunks);
  auto slot = [&ring](int k) -> Chunk<Value>& { return ring[k % ring.size()]; };
  auto read = [&](int k) {
    Chunk<Value>& chunk = slot(k);
    chunk.firstRow = k * step;
    chunk.rows = std::min(step, rows - chunk.firstRow);
    chunk.columns = in.GetXSize();
    const size_t size = static_cast<size_t>(step) * chunk.columns;
    if (!chunk.output) chunk.output = std::make_unique_for_overwrite<float[]>(size);
    chunk.nextRow = 0;
    if (mapped != nullptr) {
      chunk.values = mapped + static_cast<size_t>(chunk.firstRow) * chunk.columns;
      return;
    }
    if (!chunk.input) chunk.input = std::make_unique_for_overwrite<Value[]>(size);
    readWindow(in, 0, chunk.firstRow, chunk.columns, chunk.rows, chunk.input.get());
    chunk.values = chunk.input.get();
  };
  int written = 0;
  // Writes the stretched chunks before end once the output exists, at most two a call so that
  // this thread keeps its share of the stretch while it catches up; all of them when finishing,
  // and waiting for the output when the ring has no free slot for the next read.
  auto write = [&](int end, bool all) {
    for (int count = 0; written < end; ++count, ++written) {
      const bool ringFull = end - written >= kRingChunks - 1;
      if (!all && !ringFull && (count == 2 || !out.ready())) return;
      Chunk<Value>& chunk = slot(written);
      writeStrip(*out.dataset().GetRasterBand(1), written, chunk.output.get());
      progress.advance(chunk.firstRow + chunk.rows);
    }
  };
  if (chunks == 0) return;
  read(0);
  for (int k = 0; k < chunks; ++k) {
    {
      // The helpers join at the end of the block, also when a read or write throws.
      std::vector<std::jthread> workers;
      for (unsigned i = 0; i < helpers; ++i) {
        workers.emplace_back([&stretch, &chunk = slot(k)] { stretch.drain(chunk); });
      }
      write(k, false);
      if (k + 1 < chunks) read(k + 1);
      if (mtsafe) stretch.drain(slot(k));
    }
  }
  write(chunks, true);
}

}  // namespace

void runApply(const ApplyOptions& options) {
  if (CPLGetConfigOption("GDAL_CACHEMAX", nullptr) == nullptr) GDALSetCacheMax64(kBlockCacheBytes);
  DatasetPtr input = openRaster(options.input);
  GDALRasterBand& band = selectBand(*input, options.band, options.input);
  const BalancePlugin plugin(options.plugin);
  const HeaderPtr header = loadHeader(options.header);
  warnOnExtentMismatch(*header, *input, options.input);

  GlmBandSelection selection{};
  selection.text = options.band ? options.band->c_str() : nullptr;
  GlmLayerDescriptor layer{};
  layer.fileName = options.input.c_str();
  layer.bandSelection = &selection;
  layer.header = header.get();
  const LayerState state(plugin, layer);

  const int step = rowsPerChunk(band);
  const OutputFrame frame = frameOf(*input, band);
  PendingOutput output(frame, options.output, step);
  const Stretch stretch{plugin.balance, state.get(), frame.nodata};
  const bool mtsafe = plugin.mtsafe() != 0;
  if (holdsFloat32Exactly(band)) {
    const MappedPixels mapped = mapFloat32Pixels(band);
    stretchBand<float>(band, mapped.get(), output, step, stretch, mtsafe);
  } else {
    stretchBand<double>(band, nullptr, output, step, stretch, mtsafe);
  }

  CPLErrorReset();
  output.dataset().FlushCache();
  if (CPLGetLastErrorType() == CE_Failure) {
    throw ToolError("cannot finish writing " + options.output);
  }
}
