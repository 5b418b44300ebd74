// The registry of script engines by language name, and the mapping of a piece's origin back to
// the file and line the author wrote.
#include "script_engine.h"

#include <algorithm>

namespace host {

SourceLocation ScriptSource::locate(Origin origin) const {
  std::string file;
  if (origin.file >= 0 && static_cast<std::size_t>(origin.file) < files.size()) {
    file = files[static_cast<std::size_t>(origin.file)];
  }
  return {std::move(file), origin.line};
}

void ScriptEngines::add(std::shared_ptr<const ScriptEngine> engine) {
  for (const std::string& name : engine->names()) {
    auto it = std::find_if(byName_.begin(), byName_.end(),
                           [&](const auto& entry) { return entry.first == name; });
    if (it != byName_.end()) {
      it->second = engine;
    } else {
      byName_.emplace_back(name, engine);
    }
  }
}

const ScriptEngine* ScriptEngines::find(std::string_view language) const {
  for (const auto& [name, engine] : byName_) {
    if (name == language) return engine.get();
  }
  return nullptr;
}

}  // namespace host
