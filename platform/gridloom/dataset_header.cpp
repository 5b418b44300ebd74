// Loading and releasing dataset header files.
#include <atomic>
#include <fstream>
#include <sstream>
#include <string>

#include "gridloom/gridloom.h"
#include "header_json.h"
#include "header_records.h"

namespace {

std::atomic<long> liveHeaders{0};

bool readFile(const char* fspec, std::string& text) {
  std::ifstream file(fspec, std::ios::binary);
  if (!file) return false;
  std::ostringstream contents;
  contents << file.rdbuf();
  if (file.bad()) return false;
  text = std::move(contents).str();
  return true;
}

}  // namespace

extern "C" int eg_dshdr_alg_or_glh(GlmDatasetHeader** out, const char* fspec) {
  if (out == nullptr || fspec == nullptr || *fspec == '\0') return GLM_ERROR_ARGUMENT;
  std::string text;
  if (!readFile(fspec, text)) return GLM_ERROR_READ;
  GlmDatasetHeader* header = gridloom::parseDatasetHeader(text);
  if (header == nullptr) return GLM_ERROR_FORMAT;
  ++liveHeaders;
  *out = header;
  return GLM_OK;
}

extern "C" void ef_dshdr(GlmDatasetHeader* header) {
  if (header == nullptr) return;
  gridloom::releaseHeaderRecords(header);
  --liveHeaders;
}

extern "C" long glm_live_header_count(void) { return liveHeaders.load(); }
