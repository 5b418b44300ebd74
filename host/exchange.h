// One request and its reply as the site sees them, apart from the wire: the HTTP edge and
// `render` fill a PageRequest and hand the site a ReplyChannel, which the site answers through
// once (finish), or in parts when a page flushes its output while it runs.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "script_engine.h"

namespace host {

using Headers = std::vector<std::pair<std::string, std::string>>;

struct PageRequest {
  std::string method = "GET";
  std::string target;  // the raw request target: path and query, percent-encoded
  // A root-relative page to run whatever the target says (render); empty: route the target.
  std::string page;
  std::string body;
  std::string contentType;
  Headers headers;  // as sent; they become HTTP_* server variables and cookies
  std::string remoteAddress = "127.0.0.1";
  int remotePort = 0;
  std::string localAddress = "127.0.0.1";
  std::string serverName = "localhost";  // from the Host header
  int serverPort = 80;
  bool secure = false;
  int httpVersion = 11;  // 10 or 11
};

struct HttpReply {
  int status = 200;
  std::string reason = "OK";
  Headers headers;  // Content-Type first
  std::string body;
  std::optional<ScriptFailure> failure;  // an uncaught error of the page, for the log
};

class ReplyChannel {
 public:
  virtual ~ReplyChannel() = default;
  // Output a page flushed while it runs: the first call carries the status and headers of
  // `head`, every call a piece of the body. Called from the page's worker.
  virtual void sendPart(const HttpReply& head, std::string body) = 0;
  // The whole reply, or (after sendPart) the rest of its body and its failure. Called once.
  virtual void finish(HttpReply reply) = 0;
  // Whether the client is still there (Response.IsClientConnected).
  virtual bool clientConnected() const { return true; }
};

// "error 800A000D: description (page:line)", as the log and render's standard error show it.
std::string failureSummary(const ScriptFailure& failure);

HttpReply plainReply(int status, std::string reason);

// Whether a body of `contentType` is a URL-encoded form, read whole into Request.Form.
bool isUrlEncodedForm(std::string_view contentType);

}  // namespace host
