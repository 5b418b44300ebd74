// balance-raster quads: writes the dataset header with the quad statistics of a raster.
#ifndef TOOLS_BALANCE_RASTER_QUADS_COMMAND_H
#define TOOLS_BALANCE_RASTER_QUADS_COMMAND_H

#include <ostream>

#include "command_line.h"

// Throws ToolError on failure.
void runQuads(const QuadsOptions& options, std::ostream& out);

#endif
