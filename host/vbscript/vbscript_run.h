// One VBScript program running for one page (or one global.asa event). The run is the
// engine's host: page text and <%= %> values go to the page's output, CreateObject to the
// site's registry, and every poll of the engine checks the page's deadline. Response.End and
// Server.Transfer stop the run quietly; what the run made or was given is let go of when the
// instance is destroyed (Class_Terminate runs then).
#pragma once

#include "vbscript_engine.h"

namespace host::vbscript {

class VBScriptRun : public ScriptInstance, private ::vbscript::Host {
 public:
  VBScriptRun(const VBScriptProgram& program, ScriptSite& site);

  ScriptOutcome run() override;
  bool hasProcedure(TextView name) override;
  ScriptOutcome call(TextView name) override;

 private:
  // ::vbscript::Host
  void writeLiteral(int literal) override;
  void write(const automation::Variant& value) override;
  automation::ObjectRef createObject(TextView progId) override;
  Poll poll() override;

  template <class Work>
  ScriptOutcome outcome(Work&& work);

  const VBScriptProgram& program_;
  ScriptSite& site_;
  ::vbscript::Run run_;
};

}  // namespace host::vbscript
