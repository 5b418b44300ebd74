#include "command_line.h"

namespace host {

std::optional<std::string> CommandLine::value(const std::string& name) const {
  auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

long CommandLine::number(const std::string& name, long fallback, long min, long max) const {
  auto text = value(name);
  if (!text) return fallback;
  std::size_t used = 0;
  long n = 0;
  try {
    n = std::stol(*text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text->size() || n < min || n > max) {
    throw std::invalid_argument("--" + name + " wants a number from " + std::to_string(min) +
                                " to " + std::to_string(max));
  }
  return n;
}

CommandLine parseCommandLine(const std::vector<std::string>& args,
                             const std::set<std::string>& valueOptions,
                             const std::set<std::string>& flagOptions) {
  CommandLine c;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!a.starts_with("--")) {
      c.positional.push_back(a);
      continue;
    }
    std::string name = a.substr(2);
    if (flagOptions.count(name)) {
      c.flags.insert(name);
    } else if (valueOptions.count(name)) {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " wants a value");
      c.values[name] = args[++i];
    } else {
      throw std::invalid_argument("unknown option " + a);
    }
  }
  return c;
}

}  // namespace host
