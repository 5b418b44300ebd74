#include "raster_dataset.h"

#include <cpl_conv.h>
#include <cpl_error.h>

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "tool_error.h"

namespace {

std::string gdalMessage() {
  const char* message = CPLGetLastErrorMsg();
  return message != nullptr && *message != '\0' ? std::string(": ") + message : std::string();
}

std::optional<int> parseBandNumber(const std::string& text) {
  int number = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  if (error != std::errc() || stop != end) return std::nullopt;
  return number;
}

void readWindow(GDALRasterBand& band, int column, int row, int columns, int rows, void* pixels,
                GDALDataType type) {
  CPLErrorReset();
  if (band.RasterIO(GF_Read, column, row, columns, rows, pixels, columns, rows, type, 0, 0,
                    nullptr) != CE_None) {
    throw ToolError("cannot read rows " + std::to_string(row) + gdalMessage());
  }
}

}  // namespace

void initialiseGdal() {
  GDALAllRegister();
  CPLSetErrorHandler(CPLQuietErrorHandler);
}

DatasetPtr openRaster(const std::string& path) {
  CPLErrorReset();
  DatasetPtr dataset(
      GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
  if (!dataset) throw ToolError("cannot open raster " + path + gdalMessage());
  return dataset;
}

GDALRasterBand& selectBand(GDALDataset& dataset, const std::optional<std::string>& text,
                           const std::string& path) {
  const int count = dataset.GetRasterCount();
  const std::optional<int> number = text ? parseBandNumber(*text) : 1;
  if (!number) throw ToolError("band must be a whole number, not \"" + *text + "\"");
  if (*number < 1 || *number > count) {
    throw ToolError("band " + std::to_string(*number) + " is out of range: " + path + " has " +
                    std::to_string(count) + (count == 1 ? " band" : " bands"));
  }
  return *dataset.GetRasterBand(*number);
}

std::optional<double> nodataValue(GDALRasterBand& band) {
  int hasNodata = 0;
  const double value = band.GetNoDataValue(&hasNodata);
  return hasNodata != 0 ? std::optional<double>(value) : std::nullopt;
}

OutputFrame frameOf(GDALDataset& source, GDALRasterBand& band) {
  OutputFrame frame;
  frame.columns = source.GetRasterXSize();
  frame.rows = source.GetRasterYSize();
  double transform[6];
  if (source.GetGeoTransform(transform) == CE_None)
    std::copy_n(transform, 6, frame.transform.emplace().begin());
  if (const OGRSpatialReference* reference = source.GetSpatialRef()) frame.reference = *reference;
  frame.nodata = nodataValue(band);
  return frame;
}

DatasetPtr createFloat32(const OutputFrame& frame, const std::string& path, int rowsPerStrip) {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
  if (driver == nullptr) throw ToolError("GDAL has no GTiff driver");
  const std::string stripOption = "BLOCKYSIZE=" + std::to_string(rowsPerStrip);
  const char* options[] = {"BIGTIFF=IF_SAFER", stripOption.c_str(), nullptr};
  CPLErrorReset();
  DatasetPtr output(driver->Create(path.c_str(), frame.columns, frame.rows, 1, GDT_Float32,
                                   const_cast<char**>(options)));
  if (!output) throw ToolError("cannot create " + path + gdalMessage());
  if (frame.transform) output->SetGeoTransform(const_cast<double*>(frame.transform->data()));
  if (frame.reference) output->SetSpatialRef(&*frame.reference);
  if (frame.nodata) output->GetRasterBand(1)->SetNoDataValue(*frame.nodata);
  return output;
}

void readWindow(GDALRasterBand& band, int column, int row, int columns, int rows, double* pixels) {
  readWindow(band, column, row, columns, rows, pixels, GDT_Float64);
}

void readWindow(GDALRasterBand& band, int column, int row, int columns, int rows, float* pixels) {
  readWindow(band, column, row, columns, rows, pixels, GDT_Float32);
}

bool holdsFloat32Exactly(GDALRasterBand& band) {
  switch (band.GetRasterDataType()) {
    case GDT_Byte:
    case GDT_UInt16:
    case GDT_Int16:
    case GDT_Float32:
      return true;
    default:
      return false;
  }
}

void writeStrip(GDALRasterBand& band, int strip, float* pixels) {
  CPLErrorReset();
  if (band.WriteBlock(0, strip, pixels) != CE_None) {
    throw ToolError("cannot write strip " + std::to_string(strip) + gdalMessage());
  }
}

MappedPixels mapFloat32Pixels(GDALRasterBand& band) {
  if (band.GetRasterDataType() != GDT_Float32) return MappedPixels(nullptr, {nullptr});
  // Without the default implementation, which would page through the block cache instead.
  const char* options[] = {"USE_DEFAULT_IMPLEMENTATION=NO", nullptr};
  int pixelSpace = 0;
  GIntBig lineSpace = 0;
  CPLVirtualMem* memory =
      band.GetVirtualMemAuto(GF_Read, &pixelSpace, &lineSpace, const_cast<char**>(options));
  MappedPixels pixels(memory ? static_cast<const float*>(CPLVirtualMemGetAddr(memory)) : nullptr,
                      {memory});
  const bool rowAfterRow = pixelSpace == sizeof(float) &&
                           lineSpace == static_cast<GIntBig>(sizeof(float)) * band.GetXSize();
  if (memory != nullptr && !rowAfterRow) pixels.reset();
  CPLErrorReset();
  return pixels;
}
