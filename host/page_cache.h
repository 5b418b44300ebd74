// Compiled pages, kept by page path and used again while neither the page nor any file it
// includes has changed on disk. A page is compiled once: the compiler's pieces, then each
// language's engine; every thread shares the result.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "page_compiler.h"

namespace host {

struct CompiledPage {
  PageSource source;
  // Parallel to source.scripts: the engine of each and what it compiled.
  std::vector<std::pair<const ScriptEngine*, std::shared_ptr<const CompiledScript>>> scripts;
};

class PageCache {
 public:
  PageCache(std::filesystem::path root, const ScriptEngines& engines, std::string defaultLanguage);

  // The compiled page of a normalized root-relative path, compiled when missing or stale;
  // raises PageCompileError or ScriptCompileError.
  std::shared_ptr<const CompiledPage> get(const std::string& page, PageKind kind = PageKind::Page);

 private:
  std::filesystem::path root_;
  const ScriptEngines& engines_;
  std::string defaultLanguage_;
  std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const CompiledPage>> pages_;
};

}  // namespace host
