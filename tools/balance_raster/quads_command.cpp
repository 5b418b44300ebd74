// A quad gets a region entry only when every band in the header has valid pixels in it, so
// each entry carries one value per band.
#include "quads_command.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <vector>

#include "gridloom/gridloom.h"
#include "quad_statistics.h"
#include "raster_dataset.h"

namespace {

using nlohmann::json;

std::string quadName(int i, int j) {
  char name[48];
  std::snprintf(name, sizeof name, "Mosaic Leveler Quad [%d,%d]", i, j);
  return name;
}

std::vector<GDALRasterBand*> bandsToMeasure(GDALDataset& dataset, const QuadsOptions& options) {
  if (options.band) return {&selectBand(dataset, options.band, options.input)};
  std::vector<GDALRasterBand*> bands;
  for (int number = 1; number <= dataset.GetRasterCount(); ++number) {
    bands.push_back(dataset.GetRasterBand(number));
  }
  return bands;
}

std::optional<json> regionEntry(const std::vector<BandQuads>& bands, int i, int j) {
  json lower = json::array();
  json upper = json::array();
  json centre = json::array();
  for (const BandQuads& quads : bands) {
    const std::optional<QuadStatistics>& stats = quads[i][j];
    if (!stats) return std::nullopt;
    lower.push_back(stats->lower);
    upper.push_back(stats->upper);
    centre.push_back(stats->centre);
  }
  return json{{"kind", GLM_REGION_KIND_STATISTICS},
              {"name", quadName(i, j)},
              {"stats", {{"lower", lower}, {"upper", upper}, {"centre", centre}}}};
}

}  // namespace

void runQuads(const QuadsOptions& options, std::ostream& out) {
  DatasetPtr dataset = openRaster(options.input);
  std::vector<BandQuads> bands;
  for (GDALRasterBand* band : bandsToMeasure(*dataset, options)) {
    bands.push_back(measureQuads(*band));
  }
  json regions = json::array();
  for (int i = 0; i < kQuads; ++i) {
    for (int j = 0; j < kQuads; ++j) {
      if (auto entry = regionEntry(bands, i, j)) regions.push_back(std::move(*entry));
    }
  }
  const json header{{"kind", GLM_HEADER_KIND_GRID},
                    {"extent", {dataset->GetRasterYSize(), dataset->GetRasterXSize()}},
                    {"bands", bands.size()},
                    {"reverse_bands", false},
                    {"regions", std::move(regions)}};
  out << header.dump(1) << '\n';
}
