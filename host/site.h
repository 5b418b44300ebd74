// A site: everything one application root needs, in one object used alike by `serve`, `render`
// and the tests. It owns the configuration, the class registry, the script engines, the
// compiled pages, the sessions, the application and its database, global.asa's events, the
// static files and the page executor; submit() is the one request path: files are answered at
// once, pages run on the executor inside their session.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "asp/session.h"
#include "automation/registry.h"
#include "exchange.h"
#include "page_cache.h"
#include "page_executor.h"
#include "session_store.h"
#include "site_database.h"
#include "site_routes.h"
#include "static_files.h"

namespace host {

// Read once, where the host starts (command line, tests), and passed down from here.
struct SiteSettings {
  std::filesystem::path root;
  std::filesystem::path dataFolder;  // empty: <root>-data beside the site
  std::chrono::milliseconds scriptTimeout{std::chrono::seconds(90)};
  int sessionTimeoutMinutes = 20;
  std::string defaultLanguage = "vbscript";  // of pages without a Language directive
  std::string errorPage;  // root-relative page run for an uncaught error; empty: the error block
  ExecutorSettings executor;
  // A query string or URL-encoded body beyond this is refused (413): each is parsed whole and
  // its values may be stored. Multipart and raw bodies have the edge's request limit.
  std::size_t maxFormBytes = 2u << 20;
  // A page whose reply would pass this ends with an error.
  std::size_t maxResponseBytes = 32u << 20;
  // Sessions: how many are kept (the idle longest goes first) and what one may keep.
  std::size_t maxSessions = 10000;
  asp::SessionLimits sessionLimits{64u << 10, 256u << 10};
  // Error details (description, page and line) in the error block for every client; without
  // it only loopback clients see them, the others a notice. The log has them always.
  bool detailedErrors = false;
  bool laxSessionCookie = false;  // SameSite=Lax instead of Strict: links from other sites
                                  // arrive signed in
};

inline constexpr char kSessionCookie[] = "BALANCESESSIONID";

class Site {
 public:
  // Opens (and on first start creates) the site database; raises std::runtime_error when that
  // fails.
  Site(SiteSettings settings, automation::ClassRegistry registry);
  ~Site();
  Site(const Site&) = delete;
  Site& operator=(const Site&) = delete;

  // Answers `request` through `reply`: at once for files and refusals (on the calling thread),
  // from a page worker for pages.
  void submit(PageRequest request, std::shared_ptr<ReplyChannel> reply);
  // submit() and wait for the whole reply.
  HttpReply handle(PageRequest request);
  // Waits for the pages under way, then ends every session and the application (global.asa).
  void shutdown();

  const SiteSettings& settings() const { return settings_; }
  const automation::ClassRegistry& registry() const { return registry_; }
  ScriptEngines& engines() { return engines_; }
  PageCache& pages() { return pages_; }
  SessionStore& sessions() { return sessions_; }
  PageExecutor& executor() { return executor_; }
  const std::shared_ptr<asp::Application>& application() const { return application_; }
  // Whether `file` lies in the data folder or a drive root: never served, never run.
  bool isPrivate(const std::filesystem::path& file) const { return files_.isPrivate(file); }

  // global.asa, compiled; nullptr for a site without one. Raises its compile errors.
  std::shared_ptr<const CompiledPage> globalAsa();
  // Application_OnStart, once, before the first page; other first pages wait for it.
  void startApplication();
  // Session_OnEnd of an ended session; failures go to standard error.
  void endSession(const SessionStore::EntryRef& session);
  // Stores a new session a page used; at the cap the session idle longest ends, logged.
  void storeSession(const SessionStore::EntryRef& session);

 private:
  void endExpiredSessions();
  // Session_OnEnd of each on the executor, in the session's queue; later when it is full.
  void endOnExecutor(std::vector<SessionStore::EntryRef> ended);
  // A global.asa event outside any request; its failure goes to standard error.
  void runEvent(automation::TextView name, std::shared_ptr<asp::Session> session);

  SiteSettings settings_;
  automation::ClassRegistry registry_;
  ScriptEngines engines_;
  PageCache pages_;
  std::shared_ptr<asp::Application> application_;
  std::unique_ptr<SiteDatabase> database_;
  StaticFiles files_;
  KnownPages knownPages_;
  SessionStore sessions_;
  std::mutex globalMutex_;
  std::filesystem::file_time_type rootTime_;  // when global.asa was last found missing
  bool globalMissing_ = false;
  std::mutex startMutex_;
  std::atomic<bool> started_ = false;
  std::mutex evictionMutex_;
  std::size_t evictions_ = 0;  // sessions ended to keep within the cap
  SessionStore::Clock::time_point lastEvictionLog_;
  std::mutex endingMutex_;
  std::vector<SessionStore::EntryRef> endingLater_;  // refused by a busy executor
  bool shutDown_ = false;
  PageExecutor executor_;  // last: its workers stop before anything they use goes
};

}  // namespace host
