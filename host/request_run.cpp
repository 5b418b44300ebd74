// A page request from start to reply, and the objects built for it.
#include "request_run.h"

#include <cstdio>

#include "asp/asp_error.h"
#include "automation/deadline.h"
#include "site.h"
#include "site_paths.h"
#include "site_routes.h"
#include "wire_text.h"

namespace host {
namespace fs = std::filesystem;
using automation::fromUtf8;
using automation::toUtf8;
using automation::Variant;

namespace {

constexpr int kMaxNestedPages = 8;

std::string charsetName(int codePage) {
  switch (codePage) {
    case 65001:
      return "utf-8";
    case 936:
      return "gbk";
    default:
      return "windows-" + std::to_string(codePage);
  }
}

void parseStatus(const Text& status, HttpReply& out) {
  std::string s = toUtf8(status);
  try {
    std::size_t used = 0;
    out.status = std::stoi(s, &used);
    out.reason = used < s.size() ? s.substr(used + 1) : std::string();
  } catch (const std::exception&) {
    out.status = 200;
    out.reason = "OK";
  }
}

// The status line and header fields of the page's reply, as the response holds them now.
HttpReply replyHead(const asp::Response& response) {
  HttpReply out;
  parseStatus(response.Status, out);
  std::string contentType = toUtf8(response.ContentType);
  if (contentType.starts_with("text/")) {
    std::string charset =
        response.Charset.empty() ? charsetName(response.CodePage) : toUtf8(response.Charset);
    contentType += "; charset=" + charset;
  }
  out.headers.emplace_back("Content-Type", contentType);
  for (const auto& [name, value] : response.headers()) {
    out.headers.emplace_back(toUtf8(name), toUtf8(value));
  }
  return out;
}

// Written text in the response's code page, then BinaryWrite's bytes.
std::string replyBody(const Text& text, const std::string& binary, int codePage) {
  std::string body =
      codePage == 65001 ? toWireUtf8(text) : automation::encodeCodePage(text, codePage);
  body += binary;
  return body;
}

std::string cookieValue(const Headers& headers, std::string_view name) {
  for (const auto& [key, value] : headers) {
    if (lowerAscii(key) != "cookie") continue;
    std::string_view rest = value;
    while (!rest.empty()) {
      std::size_t semicolon = rest.find(';');
      std::string_view pair = rest.substr(0, semicolon);
      rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
      while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
      if (pair.starts_with(name) && pair.size() > name.size() && pair[name.size()] == '=') {
        return std::string(pair.substr(name.size() + 1));
      }
    }
  }
  return {};
}

}  // namespace

std::string sessionToken(const Headers& headers) { return cookieValue(headers, kSessionCookie); }

Text errorBlock(const ScriptFailure& failure, bool detailed) {
  Text text = detailed ? asp::Server::HTMLEncode(fromUtf8(failureSummary(failure)))
                       : Text(u"The page failed; the server's log says why.");
  return u"\r\n<div class=hostError style='border:1px solid #c00;color:#c00;background:#fff;"
         u"padding:4px;margin:4px;font:12px monospace'>" +
         text + u"</div>\r\n";
}

bool isLoopback(std::string_view address) {
  if (address.starts_with("::ffff:")) address.remove_prefix(7);
  return address.starts_with("127.") || address == "::1";
}

std::shared_ptr<asp::Request> buildRequest(const PageRequest& r, const std::string& url,
                                           const fs::path& file, const fs::path& root,
                                           int codePage) {
  auto request = std::make_shared<asp::Request>();
  std::string query(targetQuery(r.target));
  request->setCodePage(codePage);
  request->setQueryString(query);
  request->setBody(r.body, r.contentType);
  asp::HttpRequestInfo info;
  info.method = r.method;
  info.path = url;
  info.query = query;
  info.protocol = r.httpVersion == 10 ? "HTTP/1.0" : "HTTP/1.1";
  info.https = r.secure;
  info.serverName = r.serverName;
  info.serverPort = r.serverPort;
  info.localAddress = r.localAddress;
  info.remoteAddress = r.remoteAddress;
  info.remotePort = r.remotePort;
  info.pageFile = file.string();
  info.applicationFolder = root.string() + "/";
  info.contentType = r.contentType;
  info.contentLength = r.body.size();
  info.headers = r.headers;
  request->describe(std::move(info));
  return request;
}

RequestRun::RequestRun(Site& site, PageRequest request, std::string page, std::string url,
                       SessionStore::EntryRef session, std::shared_ptr<ReplyChannel> reply)
    : site_(site),
      request_(std::move(request)),
      page_(std::move(page)),
      url_(std::move(url)),
      session_(std::move(session)),
      newSession_(!session_),
      reply_(std::move(reply)) {}

RequestRun::~RequestRun() = default;

std::shared_ptr<const CompiledPage> RequestRun::compile(const std::string& page,
                                                        std::optional<ScriptFailure>& failure) {
  try {
    return site_.pages().get(page);
  } catch (const PageCompileError& e) {
    failure = ScriptFailure{automation::hr::kFail, u"Page compiler", fromUtf8(e.what()), e.where()};
  } catch (const ScriptCompileError& e) {
    failure = e.failure();
  }
  return nullptr;
}

void RequestRun::run() {
  HttpReply reply;
  try {
    reply = respond();
  } catch (const std::exception& e) {
    reply = plainReply(500, "Internal Server Error");
    reply.failure =
        ScriptFailure{automation::hr::kFail, u"balance-host", fromUtf8(e.what()), {page_, 0}};
  }
  site_.application()->releaseLocks();
  bool abandoned = false;
  if (session_) {
    if (!streamed_) keepSession(reply, false);
    asp::Session& session = *session_->session;
    // A renewal asked for after the head went out cannot send its cookie: the old token must
    // not stay signed in, so the session ends.
    if (session.renewing()) session.Abandon();
    abandoned = session.abandoned() && (!newSession_ || sessionWatched_);
    site_.sessions().release(session_);
  }
  reply_->finish(std::move(reply));
  if (abandoned) site_.endSession(session_);
}

void RequestRun::keepSession(HttpReply& head, bool flushing) {
  asp::Session& session = *session_->session;
  if (session.abandoned()) return;
  if (newSession_) {
    bool used = flushing || sessionWatched_ || !session.contents().items().empty() ||
                session.Timeout != site_.settings().sessionTimeoutMinutes;
    if (!used) return;
    site_.storeSession(session_);  // with a token of its own: nothing to renew
  } else if (session.renewing()) {
    site_.sessions().renew(session_);
  } else {
    return;
  }
  session.renewed();
  head.headers.emplace_back(
      "Set-Cookie",
      std::string(kSessionCookie) + "=" + session_->token +
          "; Path=/; HttpOnly; SameSite=" + (site_.settings().laxSessionCookie ? "Lax" : "Strict"));
}

void RequestRun::flush(asp::Response& response, Text text, std::string binary) {
  HttpReply head;
  if (!streamed_) {
    head = replyHead(response);
    // A new or renewed session goes out with the first part or never: the headers are sent now.
    keepSession(head, true);
    streamed_ = true;
  }
  reply_->sendPart(head, replyBody(text, binary, response.CodePage));
}

HttpReply RequestRun::respond() {
  site_.startApplication();
  // Accepted under a token that a renewal has replaced while this request waited its turn:
  // the old token no longer names the session, so the request runs without it. (No other
  // request of the session runs now, so its token holds still.)
  if (session_ && session_->token != sessionToken(request_.headers)) {
    site_.sessions().release(session_);
    session_ = nullptr;
    newSession_ = true;
  }
  std::optional<ScriptFailure> failure;
  auto compiled = compile(page_, failure);
  if (compiled) codePage_ = compiled->source.codePage;
  if (newSession_) session_ = site_.sessions().create();
  fs::path file = compiled ? compiled->source.dependencies.front().first : fs::path();
  const SiteSettings& settings = site_.settings();
  auto response = std::make_shared<asp::Response>();
  response->CodePage = codePage_;
  response->setFlushSink([this](asp::Response& r, Text text, std::string binary) {
    flush(r, std::move(text), std::move(binary));
  });
  response->setClientConnected([reply = reply_] { return reply->clientConnected(); });
  response->setWriteCheck([max = settings.maxResponseBytes](std::size_t bytes) {
    if (bytes > max) {
      throw automation::AutomationError(automation::hr::kFail, u"Response",
                                        u"The reply would pass " + fromUtf8(std::to_string(max)) +
                                            u" bytes, the most a page may send");
    }
    automation::checkDeadline();
  });
  environment_.reset(
      new PageEnvironment{site_,
                          {buildRequest(request_, url_, file, settings.root, codePage_),
                           std::move(response), nullptr, session_->session, site_.application()},
                          std::chrono::steady_clock::now() + settings.scriptTimeout,
                          this});

  bool ended = false;
  if (compiled && newSession_) failure = startSession(ended);
  if (compiled && !failure && !ended) failure = runPage(compiled);

  std::optional<ScriptFailure> shown = failure;
  if (failure && !settings.errorPage.empty()) shown = runErrorPage(*failure);
  HttpReply reply = buildReply(shown);
  if (failure) {
    reply.status = 500;
    reply.reason = "Internal Server Error";
    reply.failure = failure;
  }
  return reply;
}

std::optional<ScriptFailure> RequestRun::startSession(bool& ended) {
  try {
    auto global = site_.globalAsa();
    if (!global) return std::nullopt;
    PageRun event(*environment_, "global.asa", global);
    ScriptOutcome outcome = event.runEvent(u"Session_OnStart");
    // A session whose start or end the application watches is kept, used or not.
    sessionWatched_ = event.defines(u"Session_OnStart") || event.defines(u"Session_OnEnd");
    std::optional<ScriptFailure> endFailure = event.end();
    ended = outcome.kind == ScriptOutcome::Kind::Ended;
    return outcome.kind == ScriptOutcome::Kind::Failed ? outcome.failure : endFailure;
  } catch (const ScriptCompileError& e) {
    return e.failure();
  } catch (const PageCompileError& e) {
    return ScriptFailure{automation::hr::kFail, u"Page compiler", fromUtf8(e.what()), e.where()};
  }
}

std::optional<ScriptFailure> RequestRun::runPage(std::shared_ptr<const CompiledPage> compiled) {
  PageRun page(*environment_, page_, compiled);
  ScriptOutcome outcome = page.run();
  std::optional<ScriptFailure> endFailure = page.end();
  if (outcome.kind != ScriptOutcome::Kind::Failed) return endFailure;
  ScriptFailure& f = outcome.failure;
  // An error a page run inside this one raised: named where it happened.
  if (nested_ && nested_->code == f.code && nested_->description == f.description) return nested_;
  return f;
}

std::optional<ScriptFailure> RequestRun::runErrorPage(const ScriptFailure& failure) {
  handling_ = failure;
  asp::Response& response = *environment_->objects.response;
  response.Clear();
  response.Status = u"500 Internal Server Error";
  std::optional<ScriptFailure> pageFailure;
  const std::string& errorPage = site_.settings().errorPage;
  auto compiled = compile(errorPage, pageFailure);
  if (!compiled) return pageFailure;
  PageRun page(*environment_, errorPage, compiled);
  ScriptOutcome outcome = page.run();
  pageFailure = page.end();
  if (outcome.kind == ScriptOutcome::Kind::Failed) pageFailure = outcome.failure;
  return pageFailure;
}

void RequestRun::execute(const std::string& from, automation::TextView path, bool transfer) {
  auto target = normalizeSitePath(siteFolder(from), toUtf8(path));
  auto file = target ? resolveSitePath(site_.settings().root, *target) : std::nullopt;
  if (!target || !lowerAscii(*target).ends_with(".asp") || (file && site_.isPrivate(*file))) {
    throw automation::AutomationError(automation::hr::kFail,
                                      transfer ? u"Server.Transfer" : u"Server.Execute",
                                      u"Invalid path: " + Text(path));
  }
  if (depth_ >= kMaxNestedPages) {
    throw automation::AutomationError(automation::hr::kFail,
                                      transfer ? u"Server.Transfer" : u"Server.Execute",
                                      u"Too many pages run inside one another");
  }
  std::optional<ScriptFailure> failure;
  bool ended = false;
  if (auto compiled = compile(*target, failure)) {
    ++depth_;
    PageRun page(*environment_, *target, compiled);
    ScriptOutcome outcome = page.run();
    std::optional<ScriptFailure> endFailure = page.end();
    --depth_;
    ended = outcome.kind == ScriptOutcome::Kind::Ended;
    failure = outcome.kind == ScriptOutcome::Kind::Failed ? outcome.failure : endFailure;
  }
  if (failure) {
    nested_ = failure;
    throw automation::AutomationError(failure->code, failure->category, failure->description);
  }
  if (ended || transfer) throw asp::ResponseEnd{};
}

automation::ObjectRef RequestRun::lastError() const {
  auto error = std::make_shared<asp::ASPError>();
  if (handling_) {
    error->Number = handling_->code;
    error->Category = handling_->category;
    error->Description = handling_->description;
    error->File = fromUtf8("/" + handling_->where.file);
    error->Line = handling_->where.line;
  }
  return error;
}

HttpReply RequestRun::buildReply(const std::optional<ScriptFailure>& shown) {
  asp::Response& response = *environment_->objects.response;
  if (shown) {
    response.setWriteCheck(nullptr);  // the block goes out whatever stopped the page
    Text block =
        errorBlock(*shown, site_.settings().detailedErrors || isLoopback(request_.remoteAddress));
    response.write(block);
  }
  // After a flush only the rest of the body is sent: the head went with the first part.
  HttpReply reply = streamed_ ? HttpReply() : replyHead(response);
  reply.body = replyBody(response.text(), response.binary(), response.CodePage);
  return reply;
}

}  // namespace host
