// The VBScript engine of the host: the page compiler's pieces handed to the engine with the
// page objects' names (inside procedures they stay the host's objects), compile errors turned
// into the host's with the line the author wrote.
#include "vbscript_engine.h"

#include "vbscript_run.h"

namespace host::vbscript {

namespace {

::vbscript::Piece::Kind kindOf(CodePiece::Kind kind) {
  switch (kind) {
    case CodePiece::Kind::Literal:
      return ::vbscript::Piece::Kind::Literal;
    case CodePiece::Kind::Expression:
      return ::vbscript::Piece::Kind::Expression;
    case CodePiece::Kind::Code:
      break;
  }
  return ::vbscript::Piece::Kind::Code;
}

std::vector<::vbscript::Piece> piecesOf(const ScriptSource& source) {
  std::vector<::vbscript::Piece> pieces;
  pieces.reserve(source.pieces.size());
  for (const CodePiece& p : source.pieces) {
    pieces.push_back(
        {kindOf(p.kind), p.text, static_cast<int>(p.chunk), {p.origin.file, p.origin.line}});
  }
  return pieces;
}

}  // namespace

std::vector<std::string> VBScriptEngine::names() const { return {"vbscript", "vbs"}; }

std::shared_ptr<const CompiledScript> VBScriptEngine::compile(const ScriptSource& source) const {
  ::vbscript::CompileOptions options;
  for (const char16_t* name : kPageObjectNames) options.hostNames.emplace_back(name);
  std::vector<::vbscript::Piece> pieces = piecesOf(source);
  try {
    return std::make_shared<VBScriptProgram>(::vbscript::compile(pieces, options), source.files);
  } catch (const ::vbscript::CompileError& e) {
    const ::vbscript::ScriptError& error = e.error();
    throw ScriptCompileError({error.hresult(), error.source, error.description,
                              source.locate({error.origin.file, error.origin.line})});
  }
}

std::unique_ptr<ScriptInstance> VBScriptEngine::instantiate(const CompiledScript& script,
                                                            ScriptSite& site) const {
  return std::make_unique<VBScriptRun>(static_cast<const VBScriptProgram&>(script), site);
}

}  // namespace host::vbscript
