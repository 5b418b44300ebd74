#include "command_line.h"

#include "tool_error.h"

const char kUsage[] =
    "usage: balance-raster apply --plugin FILE --header FILE [--band N] INPUT OUTPUT\n"
    "       balance-raster quads [--band N] INPUT > HEADER.json\n"
    "\n"
    "apply  stretches band N (default 1) of INPUT with the plug-in and the quad statistics\n"
    "       of HEADER, and writes OUTPUT as a Float32 GeoTIFF with INPUT's georeferencing.\n"
    "quads  writes the dataset header with the 5 x 5 quad statistics (2nd percentile,\n"
    "       98th percentile, median of the valid pixels) of every band of INPUT, or of\n"
    "       band N alone as a one-band header, which apply then uses for any band.\n";

namespace {

// Splits arguments into options with a value and positional words.
class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::string>& arguments) {
    for (size_t i = 0; i < arguments.size(); ++i) {
      const std::string& word = arguments[i];
      if (word.size() > 2 && word.starts_with("--")) {
        if (i + 1 == arguments.size()) throw ToolError("option " + word + " needs a value");
        options_.emplace_back(word.substr(2), arguments[++i]);
      } else {
        positional_.push_back(word);
      }
    }
  }

  std::optional<std::string> take(const std::string& name) {
    std::optional<std::string> value;
    for (auto it = options_.begin(); it != options_.end();) {
      if (it->first != name) {
        ++it;
        continue;
      }
      if (value) throw ToolError("option --" + name + " is given twice");
      value = it->second;
      it = options_.erase(it);
    }
    return value;
  }

  std::string require(const std::string& name) {
    std::optional<std::string> value = take(name);
    if (!value) throw ToolError("option --" + name + " is required");
    return *value;
  }

  // The positional words, exactly count of them, once every option has been taken.
  std::vector<std::string> finish(size_t count, const char* names) {
    if (!options_.empty()) throw ToolError("unknown option --" + options_.front().first);
    if (positional_.size() != count) throw ToolError(std::string("expected ") + names);
    return positional_;
  }

 private:
  std::vector<std::pair<std::string, std::string>> options_;
  std::vector<std::string> positional_;
};

}  // namespace

Command parseCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) throw ToolError("no command given");
  const std::string& command = arguments.front();
  if (command == "--help" || command == "-h" || command == "help") return HelpRequest{};
  ArgumentReader reader({arguments.begin() + 1, arguments.end()});
  if (command == "apply") {
    ApplyOptions options;
    options.plugin = reader.require("plugin");
    options.header = reader.require("header");
    options.band = reader.take("band");
    const auto files = reader.finish(2, "INPUT and OUTPUT");
    options.input = files[0];
    options.output = files[1];
    return options;
  }
  if (command == "quads") {
    QuadsOptions options;
    options.band = reader.take("band");
    options.input = reader.finish(1, "INPUT")[0];
    return options;
  }
  throw ToolError("unknown command " + command);
}
