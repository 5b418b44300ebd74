// The public surface: compile a page's pieces, run a program, call a procedure of its global
// scope afterwards. Errors leave as values (ScriptError), never as exceptions, except the
// CompileError of compile().
#include "engine.h"

#include "compiler.h"
#include "errors.h"
#include "lexer.h"
#include "parser.h"
#include "runtime.h"

namespace vbscript {

automation::HRESULT ScriptError::hresult() const {
  return number > 0 && number <= 0xFFFF ? hresultOf(number) : number;
}

CompileError::CompileError(ScriptError e)
    : std::runtime_error(automation::toUtf8(e.description)), error_(std::move(e)) {}

std::shared_ptr<const Program> compile(std::span<const Piece> pieces,
                                       const CompileOptions& options) {
  return compileScript(parse(tokenize(pieces)), options);
}

Run::Run(std::shared_ptr<const Program> program, Host& host, std::vector<NamedObject> objects)
    : runtime_(std::make_shared<Runtime>(std::move(program), host, std::move(objects))) {
  runtime_->start();
}

Run::~Run() { runtime_->shutdown(); }

namespace {

// Runs `work`, turning what ends it early into the error the host reports.
template <class F>
std::optional<ScriptError> guarded(Runtime& rt, F&& work) {
  try {
    work();
    return std::nullopt;
  } catch (const automation::AutomationError& e) {
    return ScriptError{errNumberOf(e.code()), e.description(), e.source(), rt.takeErrorOrigin()};
  } catch (const StopRun& s) {
    if (!s.timedOut) return std::nullopt;
    ScriptError e;
    e.number = static_cast<std::int32_t>(0x80004005);
    e.description = u"The maximum amount of time for a script to execute was exceeded.";
    e.source = u"Active Server Pages";
    e.timedOut = true;
    return e;
  } catch (const std::bad_alloc&) {
    return ScriptError{err::kOutOfMemory, Text(errorText(err::kOutOfMemory)), kRuntimeSource,
                       rt.takeErrorOrigin()};
  }
}

}  // namespace

std::optional<ScriptError> Run::execute() {
  return guarded(*runtime_, [&] { runtime_->runMain(); });
}

bool Run::hasProcedure(TextView name) const {
  GlobalCell* c = runtime_->findGlobal(name);
  return c && c->proc >= 0;
}

std::optional<ScriptError> Run::call(TextView name, std::vector<Variant> args) {
  return guarded(*runtime_, [&] {
    GlobalCell* c = runtime_->findGlobal(name);
    if (!c || c->proc < 0) raise(err::kNotDefined, name);
    runtime_->callProcedure(*c->program, c->proc, automation::Args(args), nullptr);
  });
}

Variant Run::global(TextView name) const {
  GlobalCell* c = runtime_->findGlobal(name);
  return c ? c->value : Variant();
}

}  // namespace vbscript
