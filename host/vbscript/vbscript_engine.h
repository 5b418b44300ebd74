// VBScript from platform/vbscript: the host's second page language, and the default one of
// pages without a Language directive. A page's VBScript pieces go to the engine as they are
// (literal chunks and <%= %> writes are statements of the program, so page text inside
// `<% If x Then %> … <% End If %>` belongs to the block); the engine resolves variables to
// slots once, and the compiled program is cached with the page and shared by every thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "script_engine.h"
#include "vbscript/engine.h"

namespace host::vbscript {

class VBScriptProgram : public CompiledScript {
 public:
  VBScriptProgram(std::shared_ptr<const ::vbscript::Program> program,
                  std::vector<std::string> files)
      : program_(std::move(program)), files_{"vbscript", {}, std::move(files)} {}

  const std::shared_ptr<const ::vbscript::Program>& program() const { return program_; }
  SourceLocation locate(::vbscript::Origin origin) const {
    return files_.locate({origin.file, origin.line});
  }

 private:
  std::shared_ptr<const ::vbscript::Program> program_;
  ScriptSource files_;  // only its files: what the engine's origins name
};

class VBScriptEngine : public ScriptEngine {
 public:
  std::vector<std::string> names() const override;
  std::shared_ptr<const CompiledScript> compile(const ScriptSource& source) const override;
  std::unique_ptr<ScriptInstance> instantiate(const CompiledScript& script,
                                              ScriptSite& site) const override;
};

}  // namespace host::vbscript
