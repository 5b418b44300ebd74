// The page compiler: turns an .asp file and the files it includes into one script. Literal
// text becomes calls that write a stored chunk (`$$text(n)`), `<%= expr %>` becomes
// `$$write(expr)`, code blocks are copied with the item-assignment rewrite. A line table maps
// every script line back to the page or include file line it came from, so that errors name
// the line the author wrote.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "automation/text.h"

namespace host {

using automation::Text;
using automation::TextView;

struct SourceLocation {
  std::string file;  // root-relative, "person/index.asp"
  int line = 0;
};

struct CompiledSource {
  Text script;
  std::vector<Text> chunks;  // literal text, indexed by $$text
  int codePage = 65001;
  // Files read, page first, with their modification times when compiled.
  std::vector<std::pair<std::filesystem::path, std::filesystem::file_time_type>> dependencies;

  // The page line of a 1-based script line; the last known line for one past the end.
  SourceLocation locate(int scriptLine) const;

  struct LineOrigin {
    int file;  // index into files
    int line;
  };
  std::vector<std::string> files;
  std::vector<LineOrigin> lines;  // lines[k] is script line k + 1
};

// A page that cannot be compiled: an include that is missing, outside the root or cyclic, an
// unterminated block, an unsupported language.
class PageCompileError : public std::runtime_error {
 public:
  PageCompileError(const std::string& message, SourceLocation where)
      : std::runtime_error(message), where_(std::move(where)) {}
  const SourceLocation& where() const { return where_; }

 private:
  SourceLocation where_;
};

// `page` is the normalized root-relative path of an existing .asp file.
CompiledSource compilePage(const std::filesystem::path& root, const std::string& page);

}  // namespace host
