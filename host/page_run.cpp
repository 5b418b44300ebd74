// A page run: its Server, its components and its script instances, and their end.
#include "page_run.h"

#include "automation/deadline.h"
#include "automation/registry.h"
#include "request_run.h"
#include "site.h"
#include "site_paths.h"

namespace host {
namespace fs = std::filesystem;
using automation::fromUtf8;
using automation::InvokeKind;
using automation::ObjectRef;
using automation::toUtf8;
using automation::Variant;

// The components bound to the page. Server reaches it weakly: a Server that a component kept
// beyond the page creates nothing.
class PageRun::Components {
 public:
  explicit Components(const automation::ClassRegistry& registry) : registry_(registry) {}

  void setContext(std::shared_ptr<asp::ScriptingContext> context) { context_ = std::move(context); }

  ObjectRef create(automation::TextView progId) {
    ObjectRef object = registry_.create(progId);
    if (object->hasMember(u"OnStartPage")) {
      std::vector<Variant> args{Variant(ObjectRef(context_))};
      object->invoke(u"OnStartPage", InvokeKind::Method, args);
      started_.push_back(object);
    }
    return object;
  }

  // OnEndPage for every bound component, in creation order; the first failure is reported.
  std::optional<automation::AutomationError> end() {
    std::optional<automation::AutomationError> first;
    for (const ObjectRef& object : started_) {
      if (!object->hasMember(u"OnEndPage")) continue;
      try {
        object->invoke(u"OnEndPage", InvokeKind::Method);
      } catch (const automation::AutomationError& e) {
        if (!first) first = e;
      }
    }
    started_.clear();
    context_.reset();
    return first;
  }

 private:
  const automation::ClassRegistry& registry_;
  std::shared_ptr<asp::ScriptingContext> context_;
  std::vector<ObjectRef> started_;
};

PageRun::PageRun(PageEnvironment& environment, std::string page,
                 std::shared_ptr<const CompiledPage> compiled)
    : environment_(environment),
      page_(std::move(page)),
      compiled_(std::move(compiled)),
      components_(std::make_shared<Components>(environment.site.registry())) {
  asp::PageObjects objects = environment.objects;
  objects.server = makeServer();
  components_->setContext(std::make_shared<asp::ScriptingContext>(objects));
  auto name = [this](const char* n, ObjectRef object) {
    if (object) named_.emplace_back(n, std::move(object));
  };
  name("Request", objects.request);
  name("Response", objects.response);
  name("Server", objects.server);
  name("Session", objects.session);
  name("Application", objects.application);
}

PageRun::~PageRun() { end(); }

std::shared_ptr<asp::Server> PageRun::makeServer() {
  std::weak_ptr<Components> components = components_;
  std::string folder = siteFolder(page_);
  fs::path root = environment_.site.settings().root;
  auto server = std::make_shared<asp::Server>(
      [components](automation::TextView progId) {
        auto c = components.lock();
        if (!c) automation::throwObjectNotSet();
        return c->create(progId);
      },
      [folder, root](automation::TextView path) {
        auto normalized = normalizeSitePath(folder, toUtf8(path));
        if (!normalized) automation::throwInvalidProcedureCall();
        auto existing = resolveSitePath(root, *normalized);
        return fromUtf8((existing ? *existing : root / *normalized).string());
      },
      codePage());
  server->ScriptTimeout = static_cast<std::int32_t>(
      std::chrono::duration_cast<std::chrono::seconds>(environment_.site.settings().scriptTimeout)
          .count());
  if (RequestRun* request = environment_.request) {
    auto live = [components] {
      if (components.expired()) automation::throwObjectNotSet();
    };
    std::string page = page_;
    server->setPageCalls({[=](automation::TextView path) {
                            live();
                            request->execute(page, path, false);
                          },
                          [=](automation::TextView path) {
                            live();
                            request->execute(page, path, true);
                          },
                          [=] {
                            live();
                            return request->lastError();
                          }});
  }
  return server;
}

void PageRun::instantiateAll() {
  if (!instances_.empty()) return;
  for (const auto& [engine, script] : compiled_->scripts) {
    instances_.push_back(engine->instantiate(*script, *this));
  }
}

ScriptOutcome PageRun::run() {
  automation::DeadlineScope deadline(environment_.deadline);
  instantiateAll();
  for (auto& instance : instances_) {
    ScriptOutcome outcome = instance->run();
    if (!outcome.ok()) return outcome;
  }
  return ScriptOutcome::completed();
}

ScriptOutcome PageRun::runEvent(TextView name) {
  ScriptOutcome definitions = run();
  if (!definitions.ok()) return definitions;
  automation::DeadlineScope deadline(environment_.deadline);
  for (auto& instance : instances_) {
    if (instance->hasProcedure(name)) return instance->call(name);
  }
  return ScriptOutcome::completed();
}

bool PageRun::defines(TextView name) {
  for (auto& instance : instances_) {
    if (instance->hasProcedure(name)) return true;
  }
  return false;
}

std::optional<ScriptFailure> PageRun::end() {
  if (ended_) return std::nullopt;
  ended_ = true;
  std::optional<automation::AutomationError> error = components_->end();
  instances_.clear();
  named_.clear();
  components_.reset();
  if (!error) return std::nullopt;
  return ScriptFailure{error->code(), error->source(), error->description(), {page_, 0}};
}

void PageRun::writeLiteral(std::size_t chunk) {
  const auto& chunks = compiled_->source.chunks;
  if (environment_.objects.response && chunk < chunks.size()) {
    environment_.objects.response->write(chunks[chunk]);
  }
}

void PageRun::writeValue(const Variant& value) {
  if (environment_.objects.response) environment_.objects.response->Write(value);
}

ObjectRef PageRun::createObject(TextView progId) {
  return environment_.site.registry().create(progId);
}

bool PageRun::pastDeadline() const {
  return std::chrono::steady_clock::now() > environment_.deadline;
}

}  // namespace host
