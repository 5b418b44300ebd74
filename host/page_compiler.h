// The page compiler: cuts an .asp file, with the files it includes, into code pieces per script
// language. `<%@ Language=… CodePage=… %>` names the page's own language and how its bytes are
// decoded; `<% code %>`, `<%= expression %>` and the text between them become pieces of the page's
// language, in page order; `<script runat="server">` blocks become pieces of the language they
// name (or the page's), run before the page's code when the language differs and after it when
// it is the same, as the classic host does. Every piece carries the file and line it came from,
// so that errors name the line the author wrote. global.asa is compiled the same way but may
// hold nothing but script blocks.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "script_engine.h"

namespace host {

struct PageSource {
  std::string language;  // the page's own language, lower-case
  int codePage = 65001;
  // One per language, in running order: other languages first, the page's own last (always
  // present, since it writes the page's text).
  std::vector<ScriptSource> scripts;
  std::vector<Text> chunks;        // literal text, indexed by Literal pieces
  std::vector<std::string> files;  // page first, then the files it includes
  // Files read, with their modification times when compiled.
  std::vector<std::pair<std::filesystem::path, std::filesystem::file_time_type>> dependencies;
};

// A page that cannot be compiled: an include that is missing, outside the root or cyclic, an
// unterminated block, a language no engine speaks.
class PageCompileError : public std::runtime_error {
 public:
  PageCompileError(const std::string& message, SourceLocation where)
      : std::runtime_error(message), where_(std::move(where)) {}
  const SourceLocation& where() const { return where_; }

 private:
  SourceLocation where_;
};

enum class PageKind { Page, GlobalAsa };

struct CompileOptions {
  const ScriptEngines* engines = nullptr;  // decides which language names are the same language
  std::string defaultLanguage = "vbscript";
  PageKind kind = PageKind::Page;
};

// `page` is the normalized root-relative path of an existing file.
PageSource compilePage(const std::filesystem::path& root, const std::string& page,
                       const CompileOptions& options);

}  // namespace host
