// The page cache: a stat of every file a page was made of decides whether it is still current.
#include "page_cache.h"

namespace host {
namespace fs = std::filesystem;

namespace {

bool isCurrent(const CompiledPage& page) {
  std::error_code ec;
  for (const auto& [file, time] : page.source.dependencies) {
    if (fs::last_write_time(file, ec) != time || ec) return false;
  }
  return true;
}

}  // namespace

PageCache::PageCache(fs::path root, const ScriptEngines& engines, std::string defaultLanguage)
    : root_(std::move(root)), engines_(engines), defaultLanguage_(std::move(defaultLanguage)) {}

std::shared_ptr<const CompiledPage> PageCache::get(const std::string& page, PageKind kind) {
  {
    std::lock_guard lock(mutex_);
    auto it = pages_.find(page);
    if (it != pages_.end() && isCurrent(*it->second)) return it->second;
  }
  // Compiled outside the lock: a slow compile must not hold up other pages.
  auto compiled = std::make_shared<CompiledPage>();
  compiled->source = compilePage(root_, page, {&engines_, defaultLanguage_, kind});
  for (const ScriptSource& script : compiled->source.scripts) {
    const ScriptEngine* engine = engines_.find(script.language);
    compiled->scripts.emplace_back(engine, engine->compile(script));
  }
  std::lock_guard lock(mutex_);
  pages_[page] = compiled;
  return compiled;
}

}  // namespace host
