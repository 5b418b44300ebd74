// balance-raster quads then apply on a small two-band GeoTIFF, checked pixel by pixel against
// the stretch computed here from the quad statistics.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

constexpr int kRows = 60;
constexpr int kColumns = 90;
constexpr int kBands = 2;
constexpr double kNodata = -9999;
const double kTransform[6] = {500000, 2, 0, 4100000, 0, -2};

// Level, gradient and texture vary per band, so every quad gets its own window.
float pixelValue(int band, int row, int column) {
  const int texture = (row * 31 + column * 17 + band * 7) % 23;
  return static_cast<float>(100 + 0.8 * row + 0.3 * column * band + texture * (1 + band));
}

bool isNodata(int row, int column) { return (row * 7 + column * 3) % 97 == 0; }

int quadOf(int cell, int extent) { return static_cast<int>(std::floor(5 * (cell + 0.5) / extent)); }

struct RunResult {
  int status;
  std::string err;
};

class RasterEndToEndTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { GDALAllRegister(); }

  void SetUp() override { writeInput(); }

  void TearDown() override {
    for (const char* name : {"in.tif", "header.json", "out.tif", "stderr.txt"}) {
      std::remove(path(name).c_str());
    }
  }

  std::string path(const std::string& name) const {
    // ctest runs tests as parallel processes: each gets its own files.
    return testing::TempDir() + "raster_e2e_" + std::to_string(getpid()) + "_" + name;
  }

  void writeInput() const {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    GDALDataset* dataset =
        driver->Create(path("in.tif").c_str(), kColumns, kRows, kBands, GDT_Float32, nullptr);
    ASSERT_NE(dataset, nullptr);
    dataset->SetGeoTransform(const_cast<double*>(kTransform));
    for (int band = 0; band < kBands; ++band) {
      std::vector<float> pixels;
      for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
          pixels.push_back(isNodata(row, column) ? kNodata : pixelValue(band, row, column));
        }
      }
      GDALRasterBand* raster = dataset->GetRasterBand(band + 1);
      raster->SetNoDataValue(kNodata);
      ASSERT_EQ(raster->RasterIO(GF_Write, 0, 0, kColumns, kRows, pixels.data(), kColumns, kRows,
                                 GDT_Float32, 0, 0, nullptr),
                CE_None);
    }
    GDALClose(dataset);
  }

  RunResult run(const std::string& arguments, const std::string& out = "/dev/null") const {
    const std::string err = path("stderr.txt");
    const std::string command =
        std::string(BALANCE_RASTER_TOOL) + " " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    std::ostringstream text;
    text << std::ifstream(err).rdbuf();
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text.str()};
  }

  std::string applyArguments(const std::string& band) const {
    return std::string("apply --plugin ") + BALANCE_RASTER_PLUGIN + " --header " +
           path("header.json") + " --band " + band + " " + path("in.tif") + " " + path("out.tif");
  }
};

double percentile(const std::vector<double>& sorted, double fraction) {
  const double position = fraction * (sorted.size() - 1);
  const size_t rank = static_cast<size_t>(position);
  const double weight = position - rank;
  return weight == 0 ? sorted[rank] : sorted[rank] + weight * (sorted[rank + 1] - sorted[rank]);
}

// Expected window of every grid cell from the header's statistics for one band.
struct Grid {
  double low[7][7] = {};
  double high[7][7] = {};

  Grid(const json& header, int band) {
    for (const json& region : header["regions"]) {
      int i = -1;
      int j = -1;
      EXPECT_EQ(std::sscanf(region["name"].get<std::string>().c_str(),
                            "Mosaic Leveler Quad [%d,%d]", &i, &j),
                2);
      if (i < 0 || i > 4 || j < 0 || j > 4) continue;
      const json& stats = region["stats"];
      const double m = stats["centre"][band];
      const double dl = m - stats["lower"][band].get<double>();
      const double du = stats["upper"][band].get<double>() - m;
      const double g = (dl + du) / 2;
      low[i + 1][j + 1] = du < dl ? m - dl : m - g;
      high[i + 1][j + 1] = du < dl ? m + g : m + du;
    }
    for (int p = 1; p <= 5; ++p) {
      extend(0, p, 1, p, 2, p);
      extend(6, p, 5, p, 4, p);
      extend(p, 0, p, 1, p, 2);
      extend(p, 6, p, 5, p, 4);
    }
    extend(0, 0, 1, 1, 2, 2);
    extend(6, 0, 5, 1, 4, 2);
    extend(0, 6, 1, 5, 2, 4);
    extend(6, 6, 5, 5, 4, 4);
  }

  void extend(int r, int c, int nr, int nc, int fr, int fc) {
    low[r][c] = 2 * low[nr][nc] - low[fr][fc];
    const double h = 2 * high[nr][nc] - high[fr][fc];
    high[r][c] = h > low[r][c] ? h : low[nr][nc] + (high[nr][nc] - low[nr][nc]) / 2;
  }

  double stretch(double value, int row, int column) const {
    const double u = 5 * (row + 0.5) / kRows + 0.5;
    const double v = 5 * (column + 0.5) / kColumns + 0.5;
    const int iu = static_cast<int>(std::floor(u));
    const int iv = static_cast<int>(std::floor(v));
    const double fu = u - iu;
    const double fv = v - iv;
    auto mix = [&](const double(&cells)[7][7]) {
      return (1 - fu) * (1 - fv) * cells[iu][iv] + fu * (1 - fv) * cells[iu + 1][iv] +
             (1 - fu) * fv * cells[iu][iv + 1] + fu * fv * cells[iu + 1][iv + 1];
    };
    const double l = mix(low);
    const double h = mix(high);
    return h - l > 0 ? (value - l) * 192 / (h - l) : value;
  }
};

TEST_F(RasterEndToEndTest, QuadsThenApplyLevelsTheSelectedBand) {
  const RunResult quads = run("quads " + path("in.tif"), path("header.json"));
  ASSERT_EQ(quads.status, 0) << quads.err;
  const json header = json::parse(std::ifstream(path("header.json")));
  EXPECT_EQ(header["kind"], 2);
  EXPECT_EQ(header["extent"], json({kRows, kColumns}));
  EXPECT_EQ(header["bands"], kBands);
  ASSERT_EQ(header["regions"].size(), 25u);

  for (int band = 0; band < kBands; ++band) {
    std::vector<double> values[5][5];
    for (int row = 0; row < kRows; ++row) {
      for (int column = 0; column < kColumns; ++column) {
        if (isNodata(row, column)) continue;
        values[quadOf(row, kRows)][quadOf(column, kColumns)].push_back(
            pixelValue(band, row, column));
      }
    }
    for (const json& region : header["regions"]) {
      int i = 0;
      int j = 0;
      std::sscanf(region["name"].get<std::string>().c_str(), "Mosaic Leveler Quad [%d,%d]", &i, &j);
      std::vector<double>& quad = values[i][j];
      std::sort(quad.begin(), quad.end());
      EXPECT_NEAR(region["stats"]["lower"][band], percentile(quad, 0.02), 1e-9);
      EXPECT_NEAR(region["stats"]["centre"][band], percentile(quad, 0.5), 1e-9);
      EXPECT_NEAR(region["stats"]["upper"][band], percentile(quad, 0.98), 1e-9);
    }
  }

  const RunResult apply = run(applyArguments("2"));
  ASSERT_EQ(apply.status, 0) << apply.err;
  GDALDataset* output = GDALDataset::Open(path("out.tif").c_str(), GDAL_OF_RASTER);
  ASSERT_NE(output, nullptr);
  ASSERT_EQ(output->GetRasterCount(), 1);
  GDALRasterBand* band = output->GetRasterBand(1);
  EXPECT_EQ(band->GetRasterDataType(), GDT_Float32);
  EXPECT_EQ(band->GetNoDataValue(), kNodata);
  double transform[6];
  ASSERT_EQ(output->GetGeoTransform(transform), CE_None);
  EXPECT_TRUE(std::equal(transform, transform + 6, kTransform));
  std::vector<float> pixels(kRows * kColumns);
  ASSERT_EQ(band->RasterIO(GF_Read, 0, 0, kColumns, kRows, pixels.data(), kColumns, kRows,
                           GDT_Float32, 0, 0, nullptr),
            CE_None);
  GDALClose(output);

  const Grid grid(header, 1);
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const float got = pixels[row * kColumns + column];
      if (isNodata(row, column)) {
        EXPECT_EQ(got, kNodata);
        continue;
      }
      const double expected = grid.stretch(pixelValue(1, row, column), row, column);
      ASSERT_NEAR(got, expected, 1e-5 * std::max(1.0, std::fabs(expected)))
          << "row " << row << " column " << column;
    }
  }
}

TEST_F(RasterEndToEndTest, FailuresAreReportedWithANonZeroExit) {
  ASSERT_EQ(run("quads " + path("in.tif"), path("header.json")).status, 0);
  const struct {
    std::string arguments;
    std::string message;
  } failures[] = {
      {"quads " + path("missing.tif"), "cannot open raster"},
      {"quads --band 0 " + path("in.tif"), "band 0 is out of range"},
      {applyArguments("3"), "band 3 is out of range: " + path("in.tif") + " has 2 bands"},
      {applyArguments("two"), "band must be a whole number"},
      {"apply --plugin " + path("none.so") + " --header " + path("header.json") + " " +
           path("in.tif") + " " + path("out.tif"),
       "no plug-in file"},
      {std::string("apply --plugin ") + GRIDLOOM_LIBRARY + " --header " + path("header.json") +
           " " + path("in.tif") + " " + path("out.tif"),
       "does not export balance_mtsafe, balance_init, balance, balance_finish, balance_final"},
      {std::string("apply --plugin ") + BALANCE_RASTER_PLUGIN + " --header " +
           path("missing.json") + " " + path("in.tif") + " " + path("out.tif"),
       "cannot read header file"},
      {"apply " + path("in.tif"), "option --plugin is required"},
  };
  for (const auto& failure : failures) {
    const RunResult result = run(failure.arguments);
    EXPECT_NE(result.status, 0) << failure.arguments;
    EXPECT_NE(result.err.find(failure.message), std::string::npos) << failure.arguments << "\n"
                                                                   << result.err;
  }
}

}  // namespace
