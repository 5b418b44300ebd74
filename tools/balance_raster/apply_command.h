// balance-raster apply: runs a balance plug-in over every pixel of one band.
#ifndef TOOLS_BALANCE_RASTER_APPLY_COMMAND_H
#define TOOLS_BALANCE_RASTER_APPLY_COMMAND_H

#include "command_line.h"

// Throws ToolError on failure.
void runApply(const ApplyOptions& options);

#endif
