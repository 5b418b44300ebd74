// The GDAL side of balance-raster: opening inputs, checking bands, creating outputs, row I/O.
#ifndef TOOLS_BALANCE_RASTER_RASTER_DATASET_H
#define TOOLS_BALANCE_RASTER_RASTER_DATASET_H

#include <cpl_virtualmem.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetCloser>;

// Registers the drivers and keeps GDAL's own messages out of standard error: failures are
// reported once, by the command, with GDAL's text included.
void initialiseGdal();

DatasetPtr openRaster(const std::string& path);

// The band with the 1-based number given as text (default 1); throws unless it exists.
GDALRasterBand& selectBand(GDALDataset& dataset, const std::optional<std::string>& text,
                           const std::string& path);

std::optional<double> nodataValue(GDALRasterBand& band);

// What an output takes over from its input, copied so that the output can be made while the
// input is being read on another thread.
struct OutputFrame {
  int columns = 0;
  int rows = 0;
  std::optional<std::array<double, 6>> transform;
  std::optional<OGRSpatialReference> reference;
  std::optional<double> nodata;
};

OutputFrame frameOf(GDALDataset& source, GDALRasterBand& band);

// A one-band Float32 GeoTIFF of the frame, in uncompressed strips of rowsPerStrip rows.
DatasetPtr createFloat32(const OutputFrame& frame, const std::string& path, int rowsPerStrip);

void readWindow(GDALRasterBand& band, int column, int row, int columns, int rows, double* pixels);
void readWindow(GDALRasterBand& band, int column, int row, int columns, int rows, float* pixels);

// Whether every value of the band is a float without rounding, so it may be read as one.
bool holdsFloat32Exactly(GDALRasterBand& band);

struct VirtualMemoryFreer {
  CPLVirtualMem* memory;
  void operator()(const float*) const { CPLVirtualMemFree(memory); }
};
using MappedPixels = std::unique_ptr<const float, VirtualMemoryFreer>;

// The pixels of a Float32 band row after row, mapped straight from its file when the file holds
// them that way (uncompressed, in native byte order); null when it does not.
MappedPixels mapFloat32Pixels(GDALRasterBand& band);
// Writes one whole strip of a band made by createFloat32Like straight from pixels, past GDAL's
// block cache; pixels holds a full strip even for the last, shorter one.
void writeStrip(GDALRasterBand& band, int strip, float* pixels);

#endif
