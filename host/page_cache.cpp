#include "page_cache.h"

namespace host {
namespace fs = std::filesystem;

namespace {

bool isCurrent(const Program& program) {
  std::error_code ec;
  for (const auto& [file, time] : program.source().dependencies) {
    if (fs::last_write_time(file, ec) != time || ec) return false;
  }
  return true;
}

}  // namespace

std::shared_ptr<const Program> PageCache::get(const std::string& page) {
  {
    std::lock_guard lock(mutex_);
    auto it = pages_.find(page);
    if (it != pages_.end() && isCurrent(*it->second)) return it->second;
  }
  // Compiled outside the lock: a slow compile must not hold up other pages.
  auto program = std::make_shared<const Program>(compilePage(root_, page));
  std::lock_guard lock(mutex_);
  pages_[page] = program;
  return program;
}

}  // namespace host
