// The HTTP side of the host: Boost.Beast over Asio. A fixed pool of worker threads runs the
// I/O and the pages; the parser enforces the header and body limits; reads time out;
// connections are kept alive; TCP_NODELAY is on. Each request gives one access-log line.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "site_handler.h"

namespace host {

struct HttpSettings {
  std::string bind = "127.0.0.1";
  unsigned short port = 8080;  // 0: any free port
  int threads = 4;
  std::size_t maxRequestBytes = 32u << 20;
  std::size_t maxHeaderBytes = 64u << 10;
  std::chrono::seconds readTimeout{30};
  std::FILE* accessLog = stderr;  // nullptr: no access log
};

class HttpServer {
 public:
  HttpServer(HttpSettings settings, SiteHandler& site);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  void start();  // binds, listens and starts the workers; raises on a bind failure
  void stop();   // stops accepting and joins the workers
  unsigned short port() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace host
