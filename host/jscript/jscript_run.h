// One JScript program running for one page (or one global.asa event): its own Duktape thread
// and global object in front of the heap's built-ins, the page's named objects as globals, the
// objects given to the script (kept until the run ends) and what its natives are handing back.
// Destroying the run drops every reference it held to an automation object at once.
#pragma once

#include <cstdint>

#include "error_guard.h"
#include "member_proxy.h"
#include "script_engine.h"

namespace host::jscript {

class DuktapeHeap;
class JScriptProgram;

class JScriptRun : public ScriptInstance {
 public:
  JScriptRun(DuktapeHeap& heap, const JScriptProgram& program, ScriptSite& site);
  ~JScriptRun() override;
  JScriptRun(const JScriptRun&) = delete;
  JScriptRun& operator=(const JScriptRun&) = delete;

  ScriptOutcome run() override;
  bool hasProcedure(TextView name) override;
  ScriptOutcome call(TextView name) override;

  // The run whose native is executing on `ctx`'s heap; raises object-not-set between runs.
  static JScriptRun& of(duk_context* ctx);

  ScriptSite& site() const { return site_; }
  std::uint32_t serial() const { return serial_; }
  WrapperTable& objects() { return objects_; }
  // Keeps a wrapper or proxy alive (and its heap pointer valid) until the run ends.
  void keepAlive(duk_context* ctx, int index);

  // Results and errors of natives.
  NativeReturn& returned() { return returned_; }
  NativeError& error() { return error_; }
  void returnValue(automation::Variant v);
  void returnMember(NativeReturn::Kind kind, std::size_t member);

  // Response.End or Redirect: the script stops at once, and its end is no error.
  void end() { ended_ = true; }
  bool ended() const { return ended_; }
  bool stopped() const { return ended_ || site_.pastDeadline(); }
  void noteThrow(int line) { lastThrowLine_ = line; }

 private:
  ScriptOutcome finish(int rc);
  ScriptFailure describeUncaught();
  void pushRecord();

  DuktapeHeap& heap_;
  const JScriptProgram& program_;
  ScriptSite& site_;
  std::uint32_t serial_;
  duk_context* thread_ = nullptr;
  WrapperTable objects_;
  NativeReturn returned_;
  NativeError error_;
  std::size_t kept_ = 0;  // entries in the record's keep-alive object
  bool ended_ = false;
  int lastThrowLine_ = 0;  // where the last value was thrown: names the line of a non-Error
};

}  // namespace host::jscript
