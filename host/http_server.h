// The HTTP edge of the host: Boost.Beast's parser over Asio. Its I/O threads only read requests
// and write replies; pages run on the site's page executor and hand their reply back here,
// whole or in parts (a page that flushes is sent chunked while it runs). The parser enforces
// the header and body limits (a URL-encoded body has the site's smaller form limit); a request
// whose framing is in doubt (a final transfer coding other than chunked, HTTP/1.1 without Host)
// is refused with 400 and its connection closed. Connections beyond their cap, and bodies that
// would take the bytes being received at once beyond theirs, are refused with 503. Reads and
// writes time out; connections are kept alive; TCP_NODELAY is on. Each request gives one
// access-log line.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "site.h"

namespace host {

struct HttpSettings {
  std::string bind = "127.0.0.1";
  unsigned short port = 8080;  // 0: any free port
  int ioThreads = 2;
  std::size_t maxRequestBytes = 32u << 20;
  std::size_t maxHeaderBytes = 64u << 10;
  std::size_t maxConnections = 1024;
  std::size_t maxBodyBytesInFlight = 256u << 20;  // of all bodies being received at once
  std::chrono::seconds readTimeout{30};
  std::FILE* accessLog = stderr;  // nullptr: no access log
};

class HttpServer {
 public:
  HttpServer(HttpSettings settings, Site& site);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  void start();  // binds, listens and starts the I/O threads; raises on a bind failure
  void stop();   // stops accepting and joins the I/O threads
  unsigned short port() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace host
