#include "page_compiler.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "script_rewrite.h"
#include "site_paths.h"

namespace host {
namespace fs = std::filesystem;
using automation::fromUtf8;
using automation::toUtf8;

SourceLocation CompiledSource::locate(int scriptLine) const {
  if (lines.empty()) return {files.empty() ? std::string() : files[0], scriptLine};
  std::size_t k = static_cast<std::size_t>(std::clamp<int>(scriptLine, 1, lines.size())) - 1;
  return {files[lines[k].file], lines[k].line};
}

namespace {

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int countLines(TextView s) { return static_cast<int>(std::count(s.begin(), s.end(), u'\n')); }

bool startsWithIgnoreCase(TextView s, std::size_t at, TextView what) {
  return s.size() >= at + what.size() &&
         automation::equalsIgnoreCase(s.substr(at, what.size()), what);
}

// The attributes of the page directive <%@ Language="JScript" CodePage=936 %>, keys lower-cased.
std::map<std::string, std::string> directiveAttributes(std::string_view body) {
  std::map<std::string, std::string> attributes;
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < body.size() && std::isspace(static_cast<unsigned char>(body[i]))) ++i;
  };
  while (true) {
    skipBlanks();
    std::size_t keyBegin = i;
    while (i < body.size() && std::isalnum(static_cast<unsigned char>(body[i]))) ++i;
    if (i == keyBegin) break;
    std::string key = lowerAscii(body.substr(keyBegin, i - keyBegin));
    skipBlanks();
    if (i >= body.size() || body[i] != '=') break;
    ++i;
    skipBlanks();
    std::string value;
    if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
      char quote = body[i++];
      std::size_t end = body.find(quote, i);
      if (end == std::string_view::npos) break;
      value = body.substr(i, end - i);
      i = end + 1;
    } else {
      std::size_t begin = i;
      while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i]))) ++i;
      value = body.substr(begin, i - begin);
    }
    attributes[key] = value;
  }
  return attributes;
}

// Code page and language come from the directive, read from the raw bytes: it is plain ASCII
// and decides how the rest of the file is decoded.
int pageCodePage(std::string_view raw, const SourceLocation& where) {
  std::size_t open = raw.find("<%@");
  if (open == std::string_view::npos) return 65001;
  std::size_t close = raw.find("%>", open);
  if (close == std::string_view::npos) return 65001;
  auto attributes = directiveAttributes(raw.substr(open + 3, close - open - 3));
  if (auto it = attributes.find("language"); it != attributes.end()) {
    std::string language = lowerAscii(it->second);
    if (language != "jscript" && language != "javascript" && language != "ecmascript") {
      throw PageCompileError("unsupported script language " + it->second, where);
    }
  }
  if (auto it = attributes.find("codepage"); it != attributes.end()) {
    try {
      return std::stoi(it->second);
    } catch (const std::exception&) {
      throw PageCompileError("invalid code page " + it->second, where);
    }
  }
  return 65001;
}

struct IncludeDirective {
  std::string path;
  std::size_t end = 0;  // one past "-->"
};

// Parses <!--#include file="..."--> (or virtual=) at `at`; nullopt when it is a plain comment.
std::optional<IncludeDirective> parseInclude(TextView s, std::size_t at) {
  std::size_t i = at + 4;
  auto skipBlanks = [&] {
    while (i < s.size() && (s[i] == u' ' || s[i] == u'\t' || s[i] == u'\r' || s[i] == u'\n')) ++i;
  };
  skipBlanks();
  if (!startsWithIgnoreCase(s, i, u"#include")) return std::nullopt;
  i += 8;
  skipBlanks();
  IncludeDirective d;
  if (startsWithIgnoreCase(s, i, u"virtual")) {
    i += 7;
  } else if (startsWithIgnoreCase(s, i, u"file")) {
    i += 4;
  } else {
    return std::nullopt;
  }
  skipBlanks();
  if (i >= s.size() || s[i] != u'=') return std::nullopt;
  ++i;
  skipBlanks();
  if (i >= s.size() || (s[i] != u'"' && s[i] != u'\'')) return std::nullopt;
  char16_t quote = s[i++];
  std::size_t close = s.find(quote, i);
  if (close == TextView::npos) return std::nullopt;
  d.path = toUtf8(s.substr(i, close - i));
  i = close + 1;
  skipBlanks();
  if (!startsWithIgnoreCase(s, i, u"-->")) return std::nullopt;
  d.end = i + 3;
  return d;
}

class Compiler {
 public:
  Compiler(const fs::path& root) : root_(root) {}

  CompiledSource run(const std::string& page) {
    SourceLocation where{page, 1};
    auto file = resolveSitePath(root_, page);
    if (!file || !fs::is_regular_file(*file)) throw PageCompileError("page not found", where);
    std::string raw = readFile(*file);
    out_.codePage = pageCodePage(raw, where);
    out_.lines.push_back({0, 1});
    compileFile(page, *file, std::move(raw), true);
    return std::move(out_);
  }

 private:
  void compileFile(const std::string& name, const fs::path& file, std::string raw, bool isPage) {
    fs::path identity = fs::canonical(file);
    if (std::find(stack_.begin(), stack_.end(), identity) != stack_.end()) {
      throw PageCompileError("include cycle: " + name + " includes itself", current());
    }
    out_.dependencies.emplace_back(file, fs::last_write_time(file));
    int index = static_cast<int>(out_.files.size());
    out_.files.push_back(name);
    stack_.push_back(identity);
    if (!isPage) {
      out_.script += u'\n';
      out_.lines.push_back({index, 1});
    }
    if (raw.starts_with("\xEF\xBB\xBF")) raw.erase(0, 3);
    Text s = automation::decodeCodePage(raw, out_.codePage);
    Scan scan{index, 1};
    std::size_t pos = 0;
    while (pos < s.size()) pos = step(s, pos, scan, name);
    stack_.pop_back();
  }

  struct Scan {
    int file;
    int line;
  };

  SourceLocation current() const {
    if (scans_.empty()) return {};
    return {out_.files[scans_.back().file], scans_.back().line};
  }

  // Handles the text or block at `pos`; returns the position after it.
  std::size_t step(TextView s, std::size_t pos, Scan& scan, const std::string& name) {
    std::size_t block = s.find(u"<%", pos);
    std::size_t include = findInclude(s, pos, block);
    std::size_t next = std::min(block, include);
    if (next > pos) emitText(s.substr(pos, std::min(next, s.size()) - pos), scan);
    if (next == TextView::npos) return s.size();
    if (include < block) return emitInclude(s, include, scan, name);
    return emitBlock(s, block, scan, name);
  }

  std::size_t findInclude(TextView s, std::size_t pos, std::size_t limit) const {
    for (std::size_t at = s.find(u"<!--", pos); at != TextView::npos && at < limit;
         at = s.find(u"<!--", at + 4)) {
      if (parseInclude(s, at)) return at;
    }
    return TextView::npos;
  }

  std::size_t emitInclude(TextView s, std::size_t at, Scan& scan, const std::string& name) {
    IncludeDirective d = *parseInclude(s, at);
    SourceLocation where{name, scan.line};
    // A virtual path starting with "/" is taken from the root; any other from the file's folder.
    auto target = normalizeSitePath(siteFolder(name), d.path);
    if (!target) throw PageCompileError("include outside the site root: " + d.path, where);
    auto file = resolveSitePath(root_, *target);
    if (!file || !fs::is_regular_file(*file)) {
      throw PageCompileError("include file not found: " + d.path, where);
    }
    scans_.push_back(scan);
    compileFile(*target, *file, readFile(*file), false);
    scans_.pop_back();
    out_.script += u'\n';
    newLine(scan);
    skipLines(s.substr(at, d.end - at), scan);
    return d.end;
  }

  std::size_t emitBlock(TextView s, std::size_t at, Scan& scan, const std::string& name) {
    std::size_t close = s.find(u"%>", at + 2);
    if (close == TextView::npos) throw PageCompileError("missing %>", {name, scan.line});
    TextView body = s.substr(at + 2, close - at - 2);
    if (body.starts_with(u'@')) {  // read from the raw bytes before decoding
      skipLines(body, scan);
    } else if (body.starts_with(u'=')) {
      emitExpression(body.substr(1), scan);
    } else {
      emitCode(rewriteItemAssignments(body), scan);
      out_.script += u'\n';
      newLine(scan);
    }
    return close + 2;
  }

  void emitText(TextView text, Scan& scan) {
    out_.script += u"$$text(" + fromUtf8(std::to_string(out_.chunks.size())) + u");";
    out_.chunks.emplace_back(text);
    skipLines(text, scan);
  }

  // Accounts for page text that produced no script lines of its own: the script moves to a
  // new line so that what follows is mapped to the right page line.
  void skipLines(TextView consumed, Scan& scan) {
    int breaks = countLines(consumed);
    if (breaks == 0) return;
    scan.line += breaks;
    out_.script += u'\n';
    newLine(scan);
  }

  void emitExpression(TextView expr, Scan& scan) {
    std::size_t end = expr.find_last_not_of(u" \t\r\n;");
    TextView trimmed = end == TextView::npos ? TextView() : expr.substr(0, end + 1);
    out_.script += u"$$write(";
    emitCode(rewriteItemAssignments(trimmed), scan);
    out_.script += u");";
    skipLines(expr.substr(trimmed.size()), scan);
  }

  void emitCode(TextView code, Scan& scan) {
    for (char16_t c : code) {
      out_.script += c;
      if (c == u'\n') {
        ++scan.line;
        newLine(scan);
      }
    }
  }

  // Records where the script line that has just begun comes from.
  void newLine(const Scan& scan) { out_.lines.push_back({scan.file, scan.line}); }

  fs::path root_;
  CompiledSource out_;
  std::vector<fs::path> stack_;  // files being compiled, for cycle detection
  std::vector<Scan> scans_;      // positions in the including files
};

}  // namespace

CompiledSource compilePage(const fs::path& root, const std::string& page) {
  return Compiler(root).run(page);
}

}  // namespace host
