#include "balance_plugin.h"

#include <dlfcn.h>

#include <filesystem>
#include <vector>

#include "tool_error.h"

void BalancePlugin::Closer::operator()(void* handle) const { dlclose(handle); }

BalancePlugin::BalancePlugin(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) throw ToolError("no plug-in file " + path);
  // An absolute name keeps dlopen from searching the library path for a bare file name.
  const std::string file = std::filesystem::absolute(path).string();
  handle_.reset(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!handle_) throw ToolError("cannot load plug-in " + path + ": " + dlerror());

  std::vector<std::string> missing;
  auto resolve = [&](const char* name, auto& entry) {
    entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(dlsym(handle_.get(), name));
    if (entry == nullptr) missing.emplace_back(name);
  };
  resolve("balance_mtsafe", mtsafe);
  resolve("balance_init", init);
  resolve("balance", balance);
  resolve("balance_finish", finish);
  resolve("balance_final", finalRelease);
  if (missing.empty()) return;
  std::string names;
  for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
  throw ToolError("plug-in " + path + " does not export " + names);
}
