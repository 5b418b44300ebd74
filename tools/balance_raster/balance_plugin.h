// A balance plug-in loaded from its file, with its five entry points resolved.
#ifndef TOOLS_BALANCE_RASTER_BALANCE_PLUGIN_H
#define TOOLS_BALANCE_RASTER_BALANCE_PLUGIN_H

#include <memory>
#include <string>

#include "gridloom/gridloom.h"

class BalancePlugin {
 public:
  // Throws ToolError when the file is missing, does not load, or lacks an entry point.
  explicit BalancePlugin(const std::string& path);

  BalanceMtsafeFunction mtsafe = nullptr;
  BalanceInitFunction init = nullptr;
  BalanceFunction balance = nullptr;
  BalanceReleaseFunction finish = nullptr;
  BalanceReleaseFunction finalRelease = nullptr;

 private:
  struct Closer {
    void operator()(void* handle) const;
  };
  std::unique_ptr<void, Closer> handle_;
};

#endif
