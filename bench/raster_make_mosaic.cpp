// Makes a benchmark mosaic: raster_make_mosaic SIZE OUT.tif OUT.f32 writes a SIZE x SIZE Float32
// GeoTIFF whose tiles differ in brightness and contrast, like images of different days, and the
// same pixels as raw native float32 rows for tools without GDAL.
#include <gdal_priv.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

float mosaicValue(int row, int column, int size) {
  const int tile = (row * 7 / size) * 7 + column * 7 / size;
  const double brightness = 40 + (tile * 37) % 90;
  const double contrast = 0.5 + (tile * 11) % 7 * 0.25;
  const double texture = std::sin(row * 0.05) * std::cos(column * 0.03) * 30 + (row ^ column) % 17;
  return static_cast<float>(brightness + contrast * texture);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: raster_make_mosaic SIZE OUT.tif OUT.f32\n");
    return 2;
  }
  const int size = std::atoi(argv[1]);
  GDALAllRegister();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
  const char* options[] = {"BIGTIFF=IF_SAFER", nullptr};
  GDALDataset* dataset =
      driver->Create(argv[2], size, size, 1, GDT_Float32, const_cast<char**>(options));
  std::FILE* raw = std::fopen(argv[3], "wb");
  if (dataset == nullptr || raw == nullptr || size <= 0) {
    std::fprintf(stderr, "raster_make_mosaic: cannot create the outputs\n");
    return 1;
  }
  double transform[6] = {300000, 10, 0, 5000000, 0, -10};
  dataset->SetGeoTransform(transform);
  GDALRasterBand* band = dataset->GetRasterBand(1);
  std::vector<float> row(size);
  int status = 0;
  for (int r = 0; r < size && status == 0; ++r) {
    for (int c = 0; c < size; ++c) row[c] = mosaicValue(r, c, size);
    if (band->RasterIO(GF_Write, 0, r, size, 1, row.data(), size, 1, GDT_Float32, 0, 0, nullptr) !=
            CE_None ||
        std::fwrite(row.data(), sizeof(float), size, raw) != static_cast<size_t>(size)) {
      status = 1;
    }
  }
  GDALClose(dataset);
  if (std::fclose(raw) != 0) status = 1;
  if (status != 0) std::fprintf(stderr, "raster_make_mosaic: write failed\n");
  return status;
}
