// The site: the request path (files at once, pages on the executor in their session), the
// application's and sessions' events from global.asa, and the orderly end of it all.
#include "site.h"

#include <cstdio>
#include <future>

#include "fso/drive_map.h"
#include "jscript/jscript_engine.h"
#include "request_run.h"
#include "site_paths.h"
#include "site_routes.h"
#include "vbscript/vbscript_engine.h"

namespace host {
namespace fs = std::filesystem;
using automation::TextView;

namespace {

SiteSettings completed(SiteSettings s) {
  s.root = fs::absolute(s.root);
  if (s.dataFolder.empty()) s.dataFolder = defaultDataFolder(s.root);
  return s;
}

// The executor queue of a session: its SessionID, which stays when Session.Renew changes the
// token, so that requests under the old and the new cookie still run one at a time.
std::string queueKey(const SessionStore::Entry& session) {
  return std::to_string(session.session->SessionID());
}

// Puts the default drive roots under the data folder and gives every folder that pages may
// write into: the data folder and each drive root, wherever the environment mapped it.
std::vector<fs::path> privateFolders(const fs::path& root, const fs::path& dataFolder) {
  fso::setDefaultDrivesFolder(dataFolder / "drives");
  std::vector<fs::path> folders{dataFolder};
  for (char16_t letter = u'a'; letter <= u'z'; ++letter) {
    folders.push_back(fs::absolute(fso::driveRoot(letter)));
  }
  for (const fs::path& folder : folders) {
    auto [end, _] = std::mismatch(folder.begin(), folder.end(), root.begin(), root.end());
    if (end == folder.end()) {
      std::fprintf(stderr, "balance-host: %s holds the site root, so no file of it is served\n",
                   folder.c_str());
    }
  }
  return folders;
}

void report(TextView event, const ScriptFailure& failure) {
  std::fprintf(stderr, "balance-host: global.asa %s: %s\n", automation::toUtf8(event).c_str(),
               failureSummary(failure).c_str());
}

// Collects a reply, parts and all, for whoever waits on it.
class WaitingChannel : public ReplyChannel {
 public:
  void sendPart(const HttpReply& head, std::string body) override {
    std::lock_guard lock(mutex_);
    if (!streamed_) {
      reply_ = head;
      reply_.body.clear();
      streamed_ = true;
    }
    reply_.body += body;
  }
  void finish(HttpReply reply) override {
    std::lock_guard lock(mutex_);
    if (streamed_) {
      reply_.body += reply.body;
      reply_.failure = std::move(reply.failure);
    } else {
      reply_ = std::move(reply);
    }
    done_.set_value(std::move(reply_));
  }
  std::future<HttpReply> reply() { return done_.get_future(); }

 private:
  std::mutex mutex_;
  bool streamed_ = false;
  HttpReply reply_;
  std::promise<HttpReply> done_;
};

}  // namespace

Site::Site(SiteSettings settings, automation::ClassRegistry registry)
    : settings_(completed(std::move(settings))),
      registry_(std::move(registry)),
      pages_(settings_.root, engines_, settings_.defaultLanguage),
      application_(std::make_shared<asp::Application>()),
      database_(SiteDatabase::open(settings_.root, settings_.dataFolder, *application_)),
      files_(settings_.root, privateFolders(settings_.root, settings_.dataFolder)),
      sessions_(settings_.sessionTimeoutMinutes, {settings_.maxSessions, settings_.sessionLimits}),
      executor_(settings_.executor) {
  engines_.add(std::make_shared<jscript::JScriptEngine>());
  engines_.add(std::make_shared<vbscript::VBScriptEngine>());
}

Site::~Site() { shutdown(); }

void Site::submit(PageRequest request, std::shared_ptr<ReplyChannel> reply) {
  if (targetQuery(request.target).size() > settings_.maxFormBytes ||
      (isUrlEncodedForm(request.contentType) && request.body.size() > settings_.maxFormBytes)) {
    return reply->finish(plainReply(413, "Payload Too Large"));
  }
  std::string page = request.page;
  std::string url;
  if (page.empty()) {
    std::string_view rawPath = targetPath(request.target);
    bool read = request.method == "GET" || request.method == "HEAD";
    if (read) {
      if (auto kept = files_.cached(rawPath)) return reply->finish(std::move(*kept));
    }
    if (auto known = read || request.method == "POST" ? knownPages_.find(rawPath) : std::nullopt) {
      page = std::move(*known);
    } else {
      Route route = routeRequest(settings_.root, request);
      if (route.kind != Route::Kind::Reply && files_.isPrivate(route.file)) {
        return reply->finish(plainReply(404, "Not Found"));
      }
      if (route.kind == Route::Kind::File) return reply->finish(files_.reply(route.file, rawPath));
      if (route.kind == Route::Kind::Reply) return reply->finish(std::move(route.reply));
      knownPages_.remember(rawPath, route);
      page = route.page;
    }
    url = "/" + page;
  } else {
    url = request.target.empty() ? "/" + page : std::string(targetPath(request.target));
  }
  endExpiredSessions();
  SessionStore::EntryRef session = sessions_.find(sessionToken(request.headers));
  std::string key = session ? queueKey(*session) : std::string();
  bool accepted = executor_.submit(
      key, [this, request = std::move(request), page, url, session, reply]() mutable {
        RequestRun(*this, std::move(request), std::move(page), std::move(url), std::move(session),
                   std::move(reply))
            .run();
      });
  if (!accepted) {
    if (session) sessions_.release(session);
    HttpReply busy = plainReply(503, "Service Unavailable");
    busy.headers.emplace_back("Retry-After", "1");
    reply->finish(std::move(busy));
  }
}

HttpReply Site::handle(PageRequest request) {
  auto channel = std::make_shared<WaitingChannel>();
  auto reply = channel->reply();
  submit(std::move(request), channel);
  return reply.get();
}

std::shared_ptr<const CompiledPage> Site::globalAsa() {
  // Asked for every new session. Adding or removing global.asa changes the root folder's time,
  // so while that stands a missing file needs no search of the folder.
  std::error_code ec;
  fs::file_time_type rootTime = fs::last_write_time(settings_.root, ec);
  {
    std::lock_guard lock(globalMutex_);
    if (globalMissing_ && rootTime == rootTime_) return nullptr;
  }
  auto file = resolveSitePath(settings_.root, "global.asa");
  bool missing = !file || !fs::is_regular_file(*file);
  {
    std::lock_guard lock(globalMutex_);
    globalMissing_ = missing;
    rootTime_ = rootTime;
  }
  if (missing) return nullptr;
  return pages_.get("global.asa", PageKind::GlobalAsa);
}

void Site::startApplication() {
  if (started_.load(std::memory_order_acquire)) return;
  std::lock_guard lock(startMutex_);
  if (started_) return;
  runEvent(u"Application_OnStart", nullptr);
  started_ = true;
}

void Site::endSession(const SessionStore::EntryRef& session) {
  runEvent(u"Session_OnEnd", session->session);
}

void Site::runEvent(TextView name, std::shared_ptr<asp::Session> session) {
  std::optional<ScriptFailure> failure;
  try {
    auto global = globalAsa();
    if (!global) return;
    PageEnvironment environment{*this,
                                {nullptr, nullptr, nullptr, std::move(session), application_},
                                std::chrono::steady_clock::now() + settings_.scriptTimeout,
                                nullptr};
    PageRun run(environment, "global.asa", global);
    ScriptOutcome outcome = run.runEvent(name);
    failure = run.end();
    if (outcome.kind == ScriptOutcome::Kind::Failed) failure = outcome.failure;
    application_->releaseLocks();
  } catch (const ScriptCompileError& e) {
    failure = e.failure();
  } catch (const PageCompileError& e) {
    failure = ScriptFailure{automation::hr::kFail, u"Page compiler", automation::fromUtf8(e.what()),
                            e.where()};
  }
  if (failure) report(name, *failure);
}

void Site::storeSession(const SessionStore::EntryRef& session) {
  SessionStore::EntryRef evicted = sessions_.store(session);
  if (!evicted) return;
  auto now = SessionStore::Clock::now();
  auto idle = std::chrono::duration_cast<std::chrono::seconds>(now - evicted->lastUsed);
  {
    // A flood of new sessions would flood the log: one line a minute says how many ended.
    std::lock_guard lock(evictionMutex_);
    ++evictions_;
    if (evictions_ == 1 || now - lastEvictionLog_ >= std::chrono::minutes(1)) {
      std::fprintf(stderr,
                   "balance-host: %zu sessions are kept, the most there may be; %zu ended early "
                   "so far, the last idle for %lld s\n",
                   settings_.maxSessions, evictions_, static_cast<long long>(idle.count()));
      lastEvictionLog_ = now;
    }
  }
  endOnExecutor({evicted});
}

void Site::endExpiredSessions() {
  endOnExecutor(sessions_.takeExpired(SessionStore::Clock::now()));
}

void Site::endOnExecutor(std::vector<SessionStore::EntryRef> ended) {
  std::lock_guard lock(endingMutex_);
  if (ended.empty() && endingLater_.empty()) return;
  ended.insert(ended.end(), endingLater_.begin(), endingLater_.end());
  endingLater_.clear();
  for (const auto& session : ended) {
    if (!executor_.submit(queueKey(*session), [this, session] { endSession(session); })) {
      endingLater_.push_back(session);
    }
  }
}

void Site::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  executor_.stop();
  if (!started_) return;
  std::vector<SessionStore::EntryRef> ending = sessions_.takeAll();
  {
    std::lock_guard lock(endingMutex_);  // the edge may still be refusing requests meanwhile
    ending.insert(ending.end(), endingLater_.begin(), endingLater_.end());
    endingLater_.clear();
  }
  for (const auto& session : ending) endSession(session);
  runEvent(u"Application_OnEnd", nullptr);
}

}  // namespace host
