// The page compiler: one pass over the page and its includes, cutting text, blocks and server
// script blocks into pieces per language. Line numbers are counted as the pass goes, so that
// every piece knows where it starts.
#include "page_compiler.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "site_paths.h"

namespace host {
namespace fs = std::filesystem;
using automation::fromUtf8;
using automation::toUtf8;

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

std::size_t findIgnoreCase(TextView s, TextView what, std::size_t from) {
  for (std::size_t at = s.find(u'<', from); at != TextView::npos; at = s.find(u'<', at + 1)) {
    if (startsWithIgnoreCase(s, at, what)) return at;
  }
  return TextView::npos;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Attributes of a directive or tag, `Language="JScript" CodePage=936 runat=server`, keys
// lower-cased; a key without a value maps to "".
std::map<std::string, std::string> parseAttributes(std::string_view body) {
  std::map<std::string, std::string> attributes;
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < body.size() && std::isspace(static_cast<unsigned char>(body[i]))) ++i;
  };
  while (true) {
    skipBlanks();
    std::size_t keyBegin = i;
    while (i < body.size() && (std::isalnum(static_cast<unsigned char>(body[i])) ||
                               body[i] == '-' || body[i] == '_')) {
      ++i;
    }
    if (i == keyBegin) break;
    std::string key = lowerAscii(body.substr(keyBegin, i - keyBegin));
    skipBlanks();
    if (i >= body.size() || body[i] != '=') {
      attributes[key] = "";
      continue;
    }
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

struct Directive {
  std::optional<std::string> language;
  int codePage = 65001;
};

// The page directive is read from the raw bytes: it is plain ASCII and decides how the rest of
// the file is decoded.
Directive pageDirective(std::string_view raw, const SourceLocation& where) {
  Directive d;
  std::size_t open = raw.find("<%@");
  if (open == std::string_view::npos) return d;
  std::size_t close = raw.find("%>", open);
  if (close == std::string_view::npos) return d;
  auto attributes = parseAttributes(raw.substr(open + 3, close - open - 3));
  if (auto it = attributes.find("language"); it != attributes.end()) d.language = it->second;
  if (auto it = attributes.find("codepage"); it != attributes.end()) {
    try {
      d.codePage = std::stoi(it->second);
      automation::decodeCodePage({}, d.codePage);  // raises for a code page the system lacks
    } catch (const std::exception&) {
      throw PageCompileError("invalid code page " + it->second, where);
    }
  }
  return d;
}

struct IncludeDirective {
  std::string path;
  std::size_t end = 0;  // one past "-->"
};

// Parses <!--#include file="..."--> (or virtual=) at `at`; nullopt when it is a plain comment.
std::optional<IncludeDirective> parseInclude(TextView s, std::size_t at) {
  std::size_t i = at + 4;
  auto skipBlanks = [&] {
    while (i < s.size() && isBlank(s[i])) ++i;
  };
  skipBlanks();
  if (!startsWithIgnoreCase(s, i, u"#include")) return std::nullopt;
  i += 8;
  skipBlanks();
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
  IncludeDirective d;
  d.path = toUtf8(s.substr(i, close - i));
  i = close + 1;
  skipBlanks();
  if (!startsWithIgnoreCase(s, i, u"-->")) return std::nullopt;
  d.end = i + 3;
  return d;
}

// <script runat="server" language="..." src="...">: what lies between the tag and </script>.
struct ServerScript {
  std::string language;  // lower-case; empty: the page's
  std::string src;
  std::size_t bodyBegin = 0;
  std::size_t bodyEnd = 0;
  std::size_t end = 0;  // one past the closing tag
};

// nullopt for any other tag (a client script stays page text).
std::optional<ServerScript> parseServerScript(TextView s, std::size_t at) {
  std::size_t nameEnd = at + 7;
  if (nameEnd >= s.size() || !(isBlank(s[nameEnd]) || s[nameEnd] == u'>')) return std::nullopt;
  std::size_t close = s.find(u'>', nameEnd);
  if (close == TextView::npos) return std::nullopt;
  auto attributes = parseAttributes(toUtf8(s.substr(nameEnd, close - nameEnd)));
  auto runat = attributes.find("runat");
  if (runat == attributes.end() || lowerAscii(runat->second) != "server") return std::nullopt;
  ServerScript script;
  if (auto it = attributes.find("language"); it != attributes.end()) {
    script.language = lowerAscii(it->second);
  }
  if (auto it = attributes.find("src"); it != attributes.end()) script.src = it->second;
  script.bodyBegin = close + 1;
  script.bodyEnd = findIgnoreCase(s, u"</script", script.bodyBegin);
  if (script.bodyEnd == TextView::npos) return script;  // the caller reports it
  std::size_t tagEnd = s.find(u'>', script.bodyEnd);
  script.end = tagEnd == TextView::npos ? s.size() : tagEnd + 1;
  return script;
}

class Compiler {
 public:
  Compiler(const fs::path& root, const CompileOptions& options) : root_(root), options_(options) {}

  PageSource run(const std::string& page) {
    SourceLocation where{page, 1};
    auto file = resolveSitePath(root_, page);
    if (!file || !fs::is_regular_file(*file)) throw PageCompileError("page not found", where);
    std::string raw = readFile(*file);
    Directive directive;
    if (options_.kind == PageKind::Page) directive = pageDirective(raw, where);
    out_.codePage = directive.codePage;
    out_.language = lowerAscii(directive.language.value_or(options_.defaultLanguage));
    primary_ = &group(out_.language, where);
    compileFile(page, *file, std::move(raw));
    return finish();
  }

 private:
  struct Scan {
    int file;
    int line;
  };
  struct Group {
    const ScriptEngine* engine;
    ScriptSource source;
    std::vector<CodePiece> tail;  // script blocks of the page's own language: after its code
  };

  Group& group(const std::string& language, const SourceLocation& where) {
    const ScriptEngine* engine = options_.engines ? options_.engines->find(language) : nullptr;
    if (!engine) throw PageCompileError("unsupported script language " + language, where);
    for (Group& g : groups_) {
      if (g.engine == engine) return g;
    }
    groups_.push_back({engine, {language, {}, {}}, {}});
    return groups_.back();
  }

  PageSource finish() {
    for (Group& g : groups_) {
      if (&g == primary_) continue;
      g.source.files = out_.files;
      out_.scripts.push_back(std::move(g.source));
    }
    ScriptSource own = std::move(primary_->source);
    own.files = out_.files;
    for (CodePiece& piece : primary_->tail) own.pieces.push_back(std::move(piece));
    out_.scripts.push_back(std::move(own));
    return std::move(out_);
  }

  int addFile(const std::string& name, const fs::path& file) {
    out_.dependencies.emplace_back(file, fs::last_write_time(file));
    out_.files.push_back(name);
    return static_cast<int>(out_.files.size()) - 1;
  }

  void compileFile(const std::string& name, const fs::path& file, std::string raw) {
    fs::path identity = fs::canonical(file);
    if (std::find(stack_.begin(), stack_.end(), identity) != stack_.end()) {
      throw PageCompileError("include cycle: " + name + " includes itself", current());
    }
    int index = addFile(name, file);
    stack_.push_back(identity);
    if (raw.starts_with("\xEF\xBB\xBF")) raw.erase(0, 3);
    Text s = automation::decodeCodePage(raw, out_.codePage);
    scans_.push_back({index, 1});
    scanText(s, name);
    scans_.pop_back();
    stack_.pop_back();
  }

  SourceLocation current() const {
    if (scans_.empty()) return {};
    return {out_.files[static_cast<std::size_t>(scans_.back().file)], scans_.back().line};
  }
  Scan& scan() { return scans_.back(); }
  Origin origin() { return {scan().file, scan().line}; }

  void scanText(TextView s, const std::string& name) {
    std::size_t pos = 0;
    std::size_t textStart = 0;
    for (std::size_t lt = s.find(u'<'); lt != TextView::npos; lt = s.find(u'<', pos)) {
      std::optional<std::size_t> next;
      if (startsWithIgnoreCase(s, lt, u"<%")) {
        emitText(s.substr(textStart, lt - textStart));
        next = emitBlock(s, lt);
      } else if (startsWithIgnoreCase(s, lt, u"<!--")) {
        if (auto include = parseInclude(s, lt)) {
          emitText(s.substr(textStart, lt - textStart));
          emitInclude(s.substr(lt, include->end - lt), include->path, name);
          next = include->end;
        }
      } else if (startsWithIgnoreCase(s, lt, u"<script")) {
        if (auto script = parseServerScript(s, lt)) {
          emitText(s.substr(textStart, lt - textStart));
          next = emitServerScript(s, lt, *script, name);
        }
      }
      if (next) {
        pos = textStart = *next;
      } else {
        pos = lt + 1;
      }
    }
    emitText(s.substr(textStart));
  }

  void emitText(TextView text) {
    if (text.empty()) return;
    if (options_.kind == PageKind::Page) {
      CodePiece piece{CodePiece::Kind::Literal, {}, out_.chunks.size(), origin()};
      out_.chunks.emplace_back(text);
      primary_->source.pieces.push_back(std::move(piece));
    }
    scan().line += countLines(text);
  }

  std::size_t emitBlock(TextView s, std::size_t at) {
    std::size_t close = s.find(u"%>", at + 2);
    if (close == TextView::npos) throw PageCompileError("missing %>", current());
    TextView body = s.substr(at + 2, close - at - 2);
    if (options_.kind == PageKind::GlobalAsa && !body.starts_with(u'@')) {
      throw PageCompileError("global.asa holds only <script runat=\"server\"> blocks", current());
    }
    if (body.starts_with(u'=')) {
      primary_->source.pieces.push_back(
          {CodePiece::Kind::Expression, Text(body.substr(1)), 0, origin()});
    } else if (!body.starts_with(u'@')) {  // the directive was read from the raw bytes
      primary_->source.pieces.push_back({CodePiece::Kind::Code, Text(body), 0, origin()});
    }
    scan().line += countLines(body);
    return close + 2;
  }

  void emitInclude(TextView directive, const std::string& path, const std::string& name) {
    // A virtual path starting with "/" is taken from the root; any other from the file's folder.
    auto target = normalizeSitePath(siteFolder(name), path);
    if (!target) throw PageCompileError("include outside the site root: " + path, current());
    auto file = resolveSitePath(root_, *target);
    if (!file || !fs::is_regular_file(*file)) {
      throw PageCompileError("include file not found: " + path, current());
    }
    compileFile(*target, *file, readFile(*file));
    scan().line += countLines(directive);
  }

  std::size_t emitServerScript(TextView s, std::size_t at, const ServerScript& script,
                               const std::string& name) {
    if (script.bodyEnd == TextView::npos) throw PageCompileError("missing </script>", current());
    Group& g = script.language.empty() ? *primary_ : group(script.language, current());
    std::vector<CodePiece>& into = &g == primary_ ? primary_->tail : g.source.pieces;
    TextView head = s.substr(at, script.bodyBegin - at);
    TextView body = s.substr(script.bodyBegin, script.bodyEnd - script.bodyBegin);
    scan().line += countLines(head);
    if (!script.src.empty()) {
      into.push_back(sourceFile(script.src, name));
    } else {
      into.push_back({CodePiece::Kind::Code, Text(body), 0, origin()});
    }
    scan().line += countLines(s.substr(script.bodyBegin, script.end - script.bodyBegin));
    return script.end;
  }

  // The code of <script runat="server" src="...">.
  CodePiece sourceFile(const std::string& src, const std::string& name) {
    auto target = normalizeSitePath(siteFolder(name), src);
    if (!target) throw PageCompileError("script outside the site root: " + src, current());
    auto file = resolveSitePath(root_, *target);
    if (!file || !fs::is_regular_file(*file)) {
      throw PageCompileError("script file not found: " + src, current());
    }
    std::string raw = readFile(*file);
    if (raw.starts_with("\xEF\xBB\xBF")) raw.erase(0, 3);
    int index = addFile(*target, *file);
    return {CodePiece::Kind::Code, automation::decodeCodePage(raw, out_.codePage), 0, {index, 1}};
  }

  fs::path root_;
  const CompileOptions& options_;
  PageSource out_;
  std::deque<Group> groups_;  // stable addresses: primary_ points into it
  Group* primary_ = nullptr;
  std::vector<fs::path> stack_;  // files being compiled, for cycle detection
  std::vector<Scan> scans_;      // positions in the files being compiled, innermost last
};

}  // namespace

PageSource compilePage(const fs::path& root, const std::string& page,
                       const CompileOptions& options) {
  return Compiler(root, options).run(page);
}

}  // namespace host
