// Options of the balance-host commands: "--name value" pairs, "--flag" switches and positional
// arguments, checked against what the command accepts.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace host {

struct CommandLine {
  std::map<std::string, std::string> values;
  std::set<std::string> flags;
  std::vector<std::string> positional;

  std::optional<std::string> value(const std::string& name) const;
  bool flag(const std::string& name) const { return flags.count(name) > 0; }
  // The option as a number within [min, max]; raises std::invalid_argument otherwise.
  long number(const std::string& name, long fallback, long min, long max) const;
};

// Raises std::invalid_argument for an unknown option or a missing value.
CommandLine parseCommandLine(const std::vector<std::string>& args,
                             const std::set<std::string>& valueOptions,
                             const std::set<std::string>& flagOptions);

}  // namespace host
