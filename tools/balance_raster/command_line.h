// The two commands of balance-raster and their options.
#ifndef TOOLS_BALANCE_RASTER_COMMAND_LINE_H
#define TOOLS_BALANCE_RASTER_COMMAND_LINE_H

#include <optional>
#include <string>
#include <variant>
#include <vector>

struct ApplyOptions {
  std::string plugin;
  std::string header;
  std::optional<std::string> band;  // passed to the plug-in as given
  std::string input;
  std::string output;
};

struct QuadsOptions {
  std::string input;
  std::optional<std::string> band;  // absent: every band
};

struct HelpRequest {};

using Command = std::variant<ApplyOptions, QuadsOptions, HelpRequest>;

// Parses the arguments after the program name; throws ToolError on a usage mistake.
Command parseCommandLine(const std::vector<std::string>& arguments);

extern const char kUsage[];

#endif
