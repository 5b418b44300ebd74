// JScript on Duktape: the first script engine of the host. A page's JScript pieces become one
// program: literal text becomes `$$text(n)`, `<%= expr %>` becomes `$$write(expr)`, code is
// copied with the item-assignment rewrite; a line table maps every program line back to the
// page or include line it came from. The program is compiled to bytecode once, on the
// compiling thread's heap, loaded once into each heap that runs it, and every run gets a closure
// of it over a fresh global environment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script_engine.h"

namespace host::jscript {

class JScriptProgram : public CompiledScript {
 public:
  JScriptProgram(std::string bytecode, std::vector<Origin> lines, std::vector<std::string> files);

  const std::string& bytecode() const { return bytecode_; }
  // No other program of the process has it: heaps keep what they loaded under it.
  std::uint32_t id() const { return id_; }
  // The page line of a 1-based program line; line 0 for 0 (unknown).
  SourceLocation locate(int programLine) const;

 private:
  std::string bytecode_;
  std::uint32_t id_;
  std::vector<Origin> lines_;  // lines_[k]: where program line k + 1 comes from
  std::vector<std::string> files_;
};

// The program text of a page's JScript pieces, and where each of its lines comes from.
struct ProgramText {
  Text text;
  std::vector<Origin> lines;
};
ProgramText programText(const ScriptSource& source);

class JScriptEngine : public ScriptEngine {
 public:
  std::vector<std::string> names() const override;
  std::shared_ptr<const CompiledScript> compile(const ScriptSource& source) const override;
  std::unique_ptr<ScriptInstance> instantiate(const CompiledScript& script,
                                              ScriptSite& site) const override;
};

// Script errors without a number of their own get the numbers the classic engine uses.
automation::HRESULT errorNumberForName(std::string_view name);

}  // namespace host::jscript
