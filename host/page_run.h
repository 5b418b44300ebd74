// One page run inside a request: the page a client asked for, a page that Server.Execute or
// Server.Transfer runs, the custom error page, or a global.asa event. The run has a Server of
// its own (paths are mapped from its page's folder) and the request's other objects; it runs
// the page's scripts through their engines and binds every component Server.CreateObject makes:
// OnStartPage with the scripting context at once, OnEndPage when the page ends. When the run
// ends, every reference it held is dropped, whatever a script's garbage collector still holds:
// a connection a page left open goes back to the pool then.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "asp/scripting_context.h"
#include "page_cache.h"

namespace host {

class Site;
class RequestRun;

// What the pages of one request (or one event) share.
struct PageEnvironment {
  Site& site;
  asp::PageObjects objects;  // no Server: each page run makes its own
  std::chrono::steady_clock::time_point deadline;
  RequestRun* request = nullptr;  // null in global.asa events: no other page can be run
};

class PageRun final : public ScriptSite {
 public:
  // `page` is the root-relative path the compiled page came from.
  PageRun(PageEnvironment& environment, std::string page,
          std::shared_ptr<const CompiledPage> compiled);
  ~PageRun() override;
  PageRun(const PageRun&) = delete;
  PageRun& operator=(const PageRun&) = delete;

  // The page: the global code of each of its scripts, other languages first.
  ScriptOutcome run();
  // global.asa: the definitions of every script, then procedure `name` where one defines it.
  ScriptOutcome runEvent(TextView name);
  // Whether a script of the page defines procedure `name` (after run or runEvent).
  bool defines(TextView name);
  // OnEndPage for the components bound to the page, in creation order, then every reference
  // dropped; the first OnEndPage error. Idempotent; the destructor calls it too.
  std::optional<ScriptFailure> end();

  const std::string& page() const { return page_; }
  int codePage() const { return compiled_->source.codePage; }

  // ScriptSite
  const std::vector<std::pair<std::string, automation::ObjectRef>>& namedObjects() const override {
    return named_;
  }
  void writeLiteral(std::size_t chunk) override;
  void writeValue(const automation::Variant& value) override;
  automation::ObjectRef createObject(TextView progId) override;
  bool pastDeadline() const override;

 private:
  class Components;

  std::shared_ptr<asp::Server> makeServer();
  void instantiateAll();

  PageEnvironment& environment_;
  std::string page_;
  std::shared_ptr<const CompiledPage> compiled_;
  std::shared_ptr<Components> components_;
  std::vector<std::pair<std::string, automation::ObjectRef>> named_;
  std::vector<std::unique_ptr<ScriptInstance>> instances_;
  bool ended_ = false;
};

}  // namespace host
