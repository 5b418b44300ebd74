// One page request on a page worker, from the request's objects to the reply: the application's
// start (global.asa) if it is the first, Session_OnStart for a new session, the page, the custom
// error page after an uncaught error, the reply with the session cookie when the page used a
// new session, and Session_OnEnd once an abandoned session's reply is out. Pages that the page
// runs through Server.Execute and Server.Transfer run inside it, on the same objects.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "exchange.h"
#include "page_run.h"
#include "session_store.h"

namespace host {

class Site;

class RequestRun {
 public:
  // `url` is what the page sees as its URL; `session` is the session the request's cookie
  // named (held since the request was accepted), or null for a new one.
  RequestRun(Site& site, PageRequest request, std::string page, std::string url,
             SessionStore::EntryRef session, std::shared_ptr<ReplyChannel> reply);
  ~RequestRun();
  RequestRun(const RequestRun&) = delete;
  RequestRun& operator=(const RequestRun&) = delete;

  void run();

  // Server.Execute (`transfer`: Server.Transfer) from page `from`: runs the page at `path`;
  // raises its uncaught error in the caller, or ends the caller as Response.End does.
  void execute(const std::string& from, automation::TextView path, bool transfer);
  // Server.GetLastError: the error being handled by the error page.
  automation::ObjectRef lastError() const;

 private:
  HttpReply respond();
  std::optional<ScriptFailure> startSession(bool& ended);
  std::optional<ScriptFailure> runPage(std::shared_ptr<const CompiledPage> compiled);
  std::optional<ScriptFailure> runErrorPage(const ScriptFailure& failure);
  std::shared_ptr<const CompiledPage> compile(const std::string& page,
                                              std::optional<ScriptFailure>& failure);
  HttpReply buildReply(const std::optional<ScriptFailure>& failure);
  // Response.Flush: the head (first time) and the flushed body go out at once.
  void flush(asp::Response& response, Text text, std::string binary);
  // Stores a new session the page used (or, when `flushing`, any new session), or gives a
  // renewed session its new token, and puts the cookie into `head`.
  void keepSession(HttpReply& head, bool flushing);

  Site& site_;
  PageRequest request_;
  std::string page_;
  std::string url_;
  SessionStore::EntryRef session_;
  bool newSession_;
  bool sessionWatched_ = false;  // global.asa has events for the new session
  bool streamed_ = false;        // the head went out with a flushed part
  std::shared_ptr<ReplyChannel> reply_;
  std::unique_ptr<PageEnvironment> environment_;
  int codePage_ = 65001;  // of the page: decodes the request; the reply uses Response.CodePage
  int depth_ = 0;         // pages running inside the page
  std::optional<ScriptFailure> nested_;    // the last failure of a page run inside the page
  std::optional<ScriptFailure> handling_;  // the error the error page handles
};

// The Request of a page request: query, body, cookies and server variables.
std::shared_ptr<asp::Request> buildRequest(const PageRequest& request, const std::string& url,
                                           const std::filesystem::path& file,
                                           const std::filesystem::path& root, int codePage);

// The session token a request's cookie carries; empty when none.
std::string sessionToken(const Headers& headers);

// The block that follows a page's output when the page failed; without `detailed` it names no
// detail of the error (the log has them).
Text errorBlock(const ScriptFailure& failure, bool detailed = true);

// Whether `address` is the host's own (127.0.0.0/8, ::1).
bool isLoopback(std::string_view address);

}  // namespace host
