// balance_init: builds a layer's state from the quad statistics in its dataset header. Every
// failure after the state is stored leaves it passing values through; nothing is reported.
#include <cstring>
#include <optional>

#include "balance_state.h"
#include "decimal_text.h"
#include "quad_grid.h"

namespace {

// The layer's dataset header: the host's preloaded one, or one loaded here and released when
// the lease ends, whichever way init returns.
class HeaderLease {
 public:
  explicit HeaderLease(const GlmLayerDescriptor& layer) {
    header_ = layer.header != nullptr ? layer.header : load(layer.fileName);
    loaded_ = layer.header == nullptr ? header_ : nullptr;
  }
  ~HeaderLease() { ef_dshdr(loaded_); }
  HeaderLease(const HeaderLease&) = delete;
  HeaderLease& operator=(const HeaderLease&) = delete;

  const GlmDatasetHeader* get() const { return header_; }

 private:
  static GlmDatasetHeader* load(const char* fileName) {
    char* fspec = nullptr;
    if (GLM_build_abs_fspec(&fspec, 0, fileName) != GLM_OK) return nullptr;
    GlmDatasetHeader* header = nullptr;
    const int status = eg_dshdr_alg_or_glh(&header, fspec);
    safe_free(fspec);
    return status == GLM_OK ? header : nullptr;
  }

  GlmDatasetHeader* header_ = nullptr;
  GlmDatasetHeader* loaded_ = nullptr;
};

balance_state* newState(const GlmLayerDescriptor& layer) {
  auto* state = static_cast<balance_state*>(malloc_or_die(sizeof(balance_state)));
  std::memset(state, 0, sizeof(balance_state));
  state->descriptor = &layer;
  state->size_first = 1.0;
  state->size_second = 1.0;
  state->pass_through = 1;
  return state;
}

// The selection is a 1-based band number; anything unusable selects the first band.
int32_t selectBand(const GlmLayerDescriptor& layer, const GlmDatasetHeader& header) {
  int32_t band = 0;
  const GlmBandSelection* selection = layer.bandSelection;
  if (selection != nullptr && selection->text != nullptr) {
    const char* cursor = selection->text;
    const std::optional<int> number = readDecimal(cursor);
    if (number && *number >= 1) band = *number - 1;
  }
  if (band >= header.bandCount) return 0;
  return header.reverseBands != 0 ? header.bandCount - band - 1 : band;
}

void buildGrid(balance_state& state, const GlmDatasetHeader& header,
               const GlmLayerDescriptor& layer) {
  state.band = selectBand(layer, header);
  state.size_first = header.extentFirst;
  state.size_second = header.extentSecond;
  readQuadEntries(state, header);
  extrapolateBorders(state);
  state.step_first = kQuadsPerAxis / state.size_first;
  state.step_second = kQuadsPerAxis / state.size_second;
  if (state.max_range > 0) state.pass_through = 0;
}

}  // namespace

extern "C" void balance_init(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t enabled,
                             const GlmLayerDescriptor* layer, balance_state** slot) {
  if (enabled == 0 || layer == nullptr || slot == nullptr) return;
  // Stored before anything can fail, so the host always holds a usable state.
  balance_state* state = newState(*layer);
  *slot = state;
  const HeaderLease lease(*layer);
  const GlmDatasetHeader* header = lease.get();
  if (header == nullptr || header->kind != GLM_HEADER_KIND_GRID) return;
  buildGrid(*state, *header, *layer);
}
