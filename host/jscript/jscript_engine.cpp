// The JScript engine: program text from the page's pieces, compilation to bytecode, and runs.
#include "jscript_engine.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "duktape.h"
#include "duktape_heap.h"
#include "engine_text.h"
#include "error_guard.h"
#include "jscript_run.h"
#include "script_rewrite.h"

namespace host::jscript {

JScriptProgram::JScriptProgram(std::string bytecode, std::vector<Origin> lines,
                               std::vector<std::string> files)
    : bytecode_(std::move(bytecode)), lines_(std::move(lines)), files_(std::move(files)) {
  static std::atomic<std::uint32_t> lastId{0};
  id_ = ++lastId;
}

SourceLocation JScriptProgram::locate(int programLine) const {
  if (programLine <= 0 || lines_.empty()) {
    return {files_.empty() ? std::string() : files_[0], 0};
  }
  const Origin& o =
      lines_[std::min<std::size_t>(static_cast<std::size_t>(programLine), lines_.size()) - 1];
  std::string file;
  if (o.file >= 0 && static_cast<std::size_t>(o.file) < files_.size()) file = files_[o.file];
  return {std::move(file), o.line};
}

namespace {

bool sameLine(Origin a, Origin b) { return a.file == b.file && a.line == b.line; }

class ProgramWriter {
 public:
  void piece(const CodePiece& p) {
    if (blank_) {
      out_.lines.back() = p.origin;
    } else if (!sameLine(out_.lines.back(), p.origin)) {
      newLine(p.origin);
    }
    blank_ = false;
    switch (p.kind) {
      case CodePiece::Kind::Literal:
        out_.text += u"$$text(" + automation::fromUtf8(std::to_string(p.chunk)) + u");";
        break;
      case CodePiece::Kind::Expression: {
        TextView expr = p.text;
        std::size_t end = expr.find_last_not_of(u" \t\r\n;");
        expr = end == TextView::npos ? TextView() : expr.substr(0, end + 1);
        out_.text += u"$$write(";
        code(rewriteItemAssignments(expr), p.origin);
        out_.text += u");";
        break;
      }
      case CodePiece::Kind::Code:
        code(rewriteItemAssignments(p.text), p.origin);
        // A line comment at the end of a block must not swallow what follows.
        newLine(out_.lines.back());
        blank_ = true;
        break;
    }
  }

  ProgramText finish() { return std::move(out_); }

 private:
  void newLine(Origin origin) {
    out_.text += u'\n';
    out_.lines.push_back(origin);
  }

  void code(TextView text, Origin origin) {
    for (char16_t c : text) {
      if (c == u'\n') {
        ++origin.line;
        newLine(origin);
      } else {
        out_.text += c;
      }
    }
  }

  ProgramText out_{{}, {Origin{}}};
  bool blank_ = true;
};

}  // namespace

ProgramText programText(const ScriptSource& source) {
  ProgramWriter writer;
  for (const CodePiece& p : source.pieces) writer.piece(p);
  return writer.finish();
}

automation::HRESULT errorNumberForName(std::string_view name) {
  if (name == "SyntaxError") return static_cast<automation::HRESULT>(0x800A03EA);
  if (name == "ReferenceError") return static_cast<automation::HRESULT>(0x800A1391);
  if (name == "TypeError") return static_cast<automation::HRESULT>(0x800A01B6);
  return static_cast<automation::HRESULT>(0x800A139E);  // exception thrown and not caught
}

std::vector<std::string> JScriptEngine::names() const {
  return {"jscript", "javascript", "ecmascript"};
}

std::shared_ptr<const CompiledScript> JScriptEngine::compile(const ScriptSource& source) const {
  ProgramText text = programText(source);
  duk_context* ctx = DuktapeHeap::forThisThread().context();
  std::string program = toEngineString(text.text);
  duk_push_string(ctx, source.files.empty() ? "page" : source.files[0].c_str());
  if (duk_pcompile_lstring_filename(ctx, 0, program.data(), program.size()) != 0) {
    ThrownValue error = inspectThrown(ctx);
    duk_pop(ctx);
    JScriptProgram lines({}, std::move(text.lines), source.files);
    throw ScriptCompileError({errorNumberForName("SyntaxError"), u"JScript compilation",
                              fromEngineString(error.description), lines.locate(error.line)});
  }
  duk_dump_function(ctx);
  duk_size_t size = 0;
  const char* bytes = static_cast<const char*>(duk_get_buffer(ctx, -1, &size));
  std::string bytecode(bytes, size);
  duk_pop(ctx);
  return std::make_shared<JScriptProgram>(std::move(bytecode), std::move(text.lines), source.files);
}

std::unique_ptr<ScriptInstance> JScriptEngine::instantiate(const CompiledScript& script,
                                                           ScriptSite& site) const {
  return std::make_unique<JScriptRun>(DuktapeHeap::forThisThread(),
                                      static_cast<const JScriptProgram&>(script), site);
}

}  // namespace host::jscript
