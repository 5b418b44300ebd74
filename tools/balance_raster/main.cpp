// balance-raster: a raster host for balance plug-ins on GDAL.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "apply_command.h"
#include "command_line.h"
#include "quads_command.h"
#include "raster_dataset.h"
#include "tool_error.h"

namespace {

struct CommandRunner {
  void operator()(const ApplyOptions& options) const { runApply(options); }
  void operator()(const QuadsOptions& options) const {
    runQuads(options, std::cout);
    std::cout.flush();
    if (!std::cout) throw ToolError("cannot write the header to standard output");
  }
  void operator()(const HelpRequest&) const { std::fputs(kUsage, stdout); }
};

}  // namespace

// A usage mistake ends with the usage text, any other failure with its message alone.
int main(int argc, char** argv) {
  Command command;
  try {
    command = parseCommandLine({argv + 1, argv + argc});
  } catch (const ToolError& error) {
    std::fprintf(stderr, "balance-raster: %s\n%s", error.what(), kUsage);
    return 2;
  }
  try {
    initialiseGdal();
    std::visit(CommandRunner{}, command);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "balance-raster: %s\n", error.what());
    return 1;
  }
}
