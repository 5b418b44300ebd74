// The boundary between the page runtime and the script languages. The page compiler cuts a page
// into pieces per language; an engine compiles the pieces of its language once (the result is
// cached with the page and shared by every thread) and runs them for each request against a
// ScriptSite: the page's named objects, its output and its stop check. Nothing here knows a
// particular language; JScript (jscript/) and VBScript (vbscript/) register beside each other.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/error.h"
#include "automation/object.h"

namespace host {

using automation::Text;
using automation::TextView;

struct SourceLocation {
  std::string file;  // root-relative, "person/index.asp"
  int line = 0;      // 0 when unknown
};

// Where a piece of code begins: a file of the page (index into PageSource::files) and its line.
struct Origin {
  int file = 0;
  int line = 1;
};

struct CodePiece {
  enum class Kind {
    Code,        // <% statements %> or the body of a <script runat="server"> block
    Literal,     // page text between blocks: write chunk `chunk`
    Expression,  // <%= expression %>: write its value
  };
  Kind kind = Kind::Code;
  Text text;              // Code and Expression
  std::size_t chunk = 0;  // Literal
  Origin origin;
};

// The names the page's objects go by; a page or event is given those it has.
inline constexpr const char16_t* kPageObjectNames[] = {u"Request", u"Response", u"Server",
                                                       u"Session", u"Application"};

// The pieces of one language, in the order they run.
struct ScriptSource {
  std::string language;  // lower-case, as written: "jscript", "javascript", "vbscript"
  std::vector<CodePiece> pieces;
  std::vector<std::string> files;  // the page's files, named by Origin::file

  SourceLocation locate(Origin origin) const;
};

// What went wrong in a script: an uncaught error of the script or of a component it called,
// or a compilation error.
struct ScriptFailure {
  automation::HRESULT code = 0;
  Text category;  // "JScript runtime", "JScript compilation", or the component's source
  Text description;
  SourceLocation where;
};

// A compilation error of a page's script, with the line the author wrote.
class ScriptCompileError : public std::runtime_error {
 public:
  explicit ScriptCompileError(ScriptFailure failure)
      : std::runtime_error(automation::toUtf8(failure.description)), failure_(std::move(failure)) {}
  const ScriptFailure& failure() const { return failure_; }

 private:
  ScriptFailure failure_;
};

// The page a script instance runs for (the host's side of the boundary).
class ScriptSite {
 public:
  virtual ~ScriptSite() = default;
  // Request, Response, Server, Session, Application: whichever the page or event has.
  virtual const std::vector<std::pair<std::string, automation::ObjectRef>>& namedObjects()
      const = 0;
  virtual void writeLiteral(std::size_t chunk) = 0;
  virtual void writeValue(const automation::Variant& value) = 0;
  // An object of the site's registry that is not bound to the page: a language's own
  // CreateObject, which (unlike Server.CreateObject) calls no OnStartPage.
  virtual automation::ObjectRef createObject(TextView progId) = 0;
  // True once the page has passed its deadline; the engine then stops the script.
  virtual bool pastDeadline() const = 0;
};

// The outcome of running code: completed, ended by Response.End/Redirect (no error), or failed.
struct ScriptOutcome {
  enum class Kind { Completed, Ended, Failed };
  Kind kind = Kind::Completed;
  ScriptFailure failure;  // Failed

  static ScriptOutcome completed() { return {}; }
  static ScriptOutcome ended() { return {Kind::Ended, {}}; }
  static ScriptOutcome failed(ScriptFailure f) { return {Kind::Failed, std::move(f)}; }
  bool ok() const { return kind == Kind::Completed; }
};

// What an engine compiled: immutable, shared by every thread.
class CompiledScript {
 public:
  virtual ~CompiledScript() = default;
};

// One compiled script running for one page (or one global.asa event) on the calling thread.
// Every object the script was given or made is released when the instance is destroyed, whatever
// the language's garbage collector still holds.
class ScriptInstance {
 public:
  virtual ~ScriptInstance() = default;
  // Runs the global code: the page itself, or the definitions of global.asa.
  virtual ScriptOutcome run() = 0;
  // A procedure that the global code defined (Session_OnStart and the like).
  virtual bool hasProcedure(TextView name) = 0;
  virtual ScriptOutcome call(TextView name) = 0;
};

class ScriptEngine {
 public:
  virtual ~ScriptEngine() = default;
  // The lower-case language names the engine answers to ("jscript", "javascript").
  virtual std::vector<std::string> names() const = 0;
  // Raises ScriptCompileError for code the language rejects.
  virtual std::shared_ptr<const CompiledScript> compile(const ScriptSource& source) const = 0;
  // `site` outlives the instance.
  virtual std::unique_ptr<ScriptInstance> instantiate(const CompiledScript& script,
                                                      ScriptSite& site) const = 0;
};

// The engines of a site, by language name.
class ScriptEngines {
 public:
  void add(std::shared_ptr<const ScriptEngine> engine);
  // nullptr for a language no engine answers to.
  const ScriptEngine* find(std::string_view language) const;

 private:
  std::vector<std::pair<std::string, std::shared_ptr<const ScriptEngine>>> byName_;
};

}  // namespace host
