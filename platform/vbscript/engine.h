// The VBScript engine's whole public surface. A page host compiles the pieces of a page once
// into a Program (immutable, shared between threads and cached by the host), then runs it
// as often as it likes, each time with its own named objects and its own Host. The engine
// knows nothing about HTTP or ASP beyond these few calls.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "automation/object.h"

namespace vbscript {

using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

// Where a piece of source starts: the host's index of the file and the 1-based line in it.
struct Origin {
  int file = 0;
  int line = 0;
  friend bool operator==(const Origin&, const Origin&) = default;
};

// One piece of a page, in page order. Literal chunks and <%= %> writes are statements of
// the program, so HTML between two code blocks belongs to whatever block encloses it.
struct Piece {
  enum class Kind {
    Code,        // statements
    Literal,     // write the host's literal chunk `literal`
    Expression,  // write the value of the expression in `text` (<%= %>)
  };
  Kind kind = Kind::Code;
  Text text;
  int literal = 0;
  Origin origin;
};

// An error as VBScript reports it: the number pages see in Err.Number (13 for a type
// mismatch; a full HRESULT for errors that are not the runtime's own), its text and source,
// and the line of the statement.
struct ScriptError {
  std::int32_t number = 0;
  Text description;
  Text source;
  Origin origin;
  bool timedOut = false;  // the host's deadline stopped the run
  automation::HRESULT hresult() const;
};

class CompileError : public std::runtime_error {
 public:
  explicit CompileError(ScriptError e);
  const ScriptError& error() const { return error_; }

 private:
  ScriptError error_;
};

class Program;

struct CompileOptions {
  // Names the host will give as named objects at run time (Response, Request, ...): inside
  // procedures they are the host's objects, never implicit local variables.
  std::vector<Text> hostNames;
};

// Compiles a page. Throws CompileError with VBScript's compilation error number and line.
std::shared_ptr<const Program> compile(std::span<const Piece> pieces,
                                       const CompileOptions& options = {});

// What a run needs from its host. Called on the thread that runs the script.
class Host {
 public:
  enum class Poll { Continue, End, Timeout };

  virtual ~Host() = default;
  virtual void writeLiteral(int literal) = 0;
  virtual void write(const Variant& value) = 0;
  // CreateObject(progId); raises the automation error of the host's registry when unknown.
  virtual ObjectRef createObject(TextView progId) = 0;
  // Asked after every call into an object and every few thousand loop turns or calls.
  // End stops the run quietly (Response.End); Timeout stops it with an error that no
  // On Error Resume Next catches.
  virtual Poll poll() = 0;
};

struct NamedObject {
  Text name;
  ObjectRef object;
};

class Runtime;

// One execution of a program: its global variables, Err, and everything created by
// ExecuteGlobal live here until the Run is destroyed (which releases them, so that
// Class_Terminate runs). Objects of the script's classes handed out keep what they need.
class Run {
 public:
  Run(std::shared_ptr<const Program> program, Host& host, std::vector<NamedObject> objects = {});
  ~Run();
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  // Runs the program's global code; the uncaught error, if any.
  std::optional<ScriptError> execute();
  // Calls a Sub or Function of the global scope (global.asa's event handlers).
  bool hasProcedure(TextView name) const;
  std::optional<ScriptError> call(TextView name, std::vector<Variant> args = {});
  // Reads a global variable (for hosts and tests); Empty when there is none.
  Variant global(TextView name) const;

 private:
  std::shared_ptr<Runtime> runtime_;
};

}  // namespace vbscript
