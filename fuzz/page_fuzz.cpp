// Fuzzes the page compiler on a page and the files it may include, written into a site folder of
// its own: directives, code blocks, expressions, server script blocks (inline and src=),
// include directives by file and virtual path, code pages, byte order marks, global.asa's form.
// Besides never crashing, a compiled page holds together:
//   - the page itself is the first file, and its own language runs last;
//   - every piece names a file that was read and a line at or after the first;
//   - literal pieces name each chunk once, in order, and no chunk is empty;
//   - global.asa yields no literal text.
// A page the compiler refuses raises PageCompileError and nothing else.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "page_compiler.h"

namespace {

namespace fs = std::filesystem;

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken invariant: %s\n", what);
    abort();
  }
}

// Answers to the language names pages use; compiles nothing, the compiler only groups by it.
class NamedEngine : public host::ScriptEngine {
 public:
  explicit NamedEngine(std::vector<std::string> names) : names_(std::move(names)) {}
  std::vector<std::string> names() const override { return names_; }
  std::shared_ptr<const host::CompiledScript> compile(const host::ScriptSource&) const override {
    return nullptr;
  }
  std::unique_ptr<host::ScriptInstance> instantiate(const host::CompiledScript&,
                                                    host::ScriptSite&) const override {
    return nullptr;
  }

 private:
  std::vector<std::string> names_;
};

const host::ScriptEngines& engines() {
  static const host::ScriptEngines all = [] {
    host::ScriptEngines e;
    e.add(std::make_shared<NamedEngine>(std::vector<std::string>{"jscript", "javascript"}));
    e.add(std::make_shared<NamedEngine>(std::vector<std::string>{"vbscript"}));
    return e;
  }();
  return all;
}

const fs::path& siteRoot() {
  static const fs::path root = [] {
    char pattern[] = "/tmp/page_fuzz.XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) abort();
    fs::create_directories(fs::path(made) / "inc");
    return fs::path(made);
  }();
  return root;
}

// The files a page of this site may include; the page is one of them.
constexpr const char* kFiles[] = {"page.asp", "inc/a.inc", "b.js", "global.asa"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  bool global = in.ConsumeBool();
  host::CompileOptions options;
  options.engines = &engines();
  options.defaultLanguage = in.ConsumeBool() ? "jscript" : "vbscript";
  options.kind = global ? host::PageKind::GlobalAsa : host::PageKind::Page;
  const fs::path& root = siteRoot();
  for (const char* name : kFiles) {
    std::ofstream(root / name, std::ios::binary | std::ios::trunc)
        << in.ConsumeRandomLengthString(4096);
  }
  std::string page = global ? "global.asa" : "page.asp";
  host::PageSource source;
  try {
    source = host::compilePage(root, page, options);
  } catch (const host::PageCompileError&) {
    return 0;
  }
  require(!source.files.empty() && source.files.front() == page, "the page is the first file");
  require(!source.scripts.empty() && source.scripts.back().language == source.language,
          "the page's own language runs last");
  std::size_t nextChunk = 0;
  for (const host::ScriptSource& script : source.scripts) {
    require(script.files == source.files, "every script names the page's files");
    for (const host::CodePiece& piece : script.pieces) {
      require(piece.origin.file >= 0 &&
                  static_cast<std::size_t>(piece.origin.file) < source.files.size(),
              "a piece names a file that was read");
      require(piece.origin.line >= 1, "lines count from one");
      if (piece.kind == host::CodePiece::Kind::Literal) {
        require(piece.chunk == nextChunk++, "chunks are named once, in order");
        require(!source.chunks[piece.chunk].empty(), "no chunk is empty");
      }
    }
  }
  require(nextChunk == source.chunks.size(), "every chunk is written");
  require(!global || source.chunks.empty(), "global.asa has no literal text");
  return 0;
}
