// balance-raster: a raster host for balance plug-ins on GDAL.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
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

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  try {
    const Command command = parseCommandLine(arguments);
    initialiseGdal();
    std::visit(CommandRunner{}, command);
    return 0;
  } catch (const ToolError& error) {
    std::fprintf(stderr, "balance-raster: %s\n", error.what());
    if (arguments.empty() || std::string(error.what()).starts_with("unknown command")) {
      std::fputs(kUsage, stderr);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "balance-raster: %s\n", error.what());
  }
  return 1;
}
