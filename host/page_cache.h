// Compiled pages, kept by page path and used again while neither the page nor any file it
// includes has changed on disk.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "script_runtime.h"

namespace host {

class PageCache {
 public:
  explicit PageCache(std::filesystem::path root) : root_(std::move(root)) {}

  // The program of a normalized root-relative page path, compiled when missing or stale;
  // raises PageCompileError.
  std::shared_ptr<const Program> get(const std::string& page);

 private:
  std::filesystem::path root_;
  std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const Program>> pages_;
};

}  // namespace host
