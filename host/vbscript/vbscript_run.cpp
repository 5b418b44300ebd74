// A run of a VBScript program: the page's named objects handed to the engine, and the ways a
// run ends turned into the host's outcomes.
#include "vbscript_run.h"

#include "asp/response.h"

namespace host::vbscript {

namespace {

std::vector<::vbscript::NamedObject> namedObjects(const ScriptSite& site) {
  std::vector<::vbscript::NamedObject> objects;
  for (const auto& [name, object] : site.namedObjects()) {
    objects.push_back({automation::fromUtf8(name), object});
  }
  return objects;
}

}  // namespace

VBScriptRun::VBScriptRun(const VBScriptProgram& program, ScriptSite& site)
    : program_(program), site_(site), run_(program.program(), *this, namedObjects(site)) {}

template <class Work>
ScriptOutcome VBScriptRun::outcome(Work&& work) {
  std::optional<::vbscript::ScriptError> error;
  try {
    error = work();
  } catch (const asp::ResponseEnd&) {
    return ScriptOutcome::ended();
  }
  if (!error) return ScriptOutcome::completed();
  return ScriptOutcome::failed(
      {error->hresult(), error->source, error->description, program_.locate(error->origin)});
}

ScriptOutcome VBScriptRun::run() {
  return outcome([&] { return run_.execute(); });
}

bool VBScriptRun::hasProcedure(TextView name) { return run_.hasProcedure(name); }

ScriptOutcome VBScriptRun::call(TextView name) {
  return outcome([&] { return run_.call(name); });
}

void VBScriptRun::writeLiteral(int literal) {
  site_.writeLiteral(static_cast<std::size_t>(literal));
}

void VBScriptRun::write(const automation::Variant& value) { site_.writeValue(value); }

automation::ObjectRef VBScriptRun::createObject(TextView progId) {
  return site_.createObject(progId);
}

::vbscript::Host::Poll VBScriptRun::poll() {
  return site_.pastDeadline() ? Poll::Timeout : Poll::Continue;
}

}  // namespace host::vbscript
