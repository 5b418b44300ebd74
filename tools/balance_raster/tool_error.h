// Failures that end a balance-raster command with a message and a non-zero exit.
#ifndef TOOLS_BALANCE_RASTER_TOOL_ERROR_H
#define TOOLS_BALANCE_RASTER_TOOL_ERROR_H

#include <stdexcept>

class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

#endif
