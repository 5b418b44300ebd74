// Runs one page request: builds the page objects (Request, Response, Server, the scripting
// context) around the session and the application, gives them to the script as its globals,
// binds every object that Server.CreateObject makes (OnStartPage with the scripting context at
// once, OnEndPage when the page ends, failed or not), and turns the Response into what goes
// back to the client. An uncaught error keeps what the page wrote, adds an error block and
// gives status 500.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "asp/scripting_context.h"
#include "automation/registry.h"
#include "page_cache.h"

namespace host {

using Headers = std::vector<std::pair<std::string, std::string>>;

// One request as the host received it.
struct PageRequest {
  std::string method = "GET";
  std::string url;    // the page's URL path, Request.ServerVariables("URL")
  std::string query;  // raw, without "?"
  std::string body;
  std::string contentType;
  Headers headers;  // as sent; they become HTTP_* server variables and cookies
  std::string remoteAddress = "127.0.0.1";
  std::string serverName = "localhost";
  int serverPort = 80;
};

struct PageFailure {
  automation::HRESULT code = 0;
  Text description;
  SourceLocation where;  // line 0 when unknown

  std::string summary() const;  // "error 800A000D: description (page:line)"
};

struct PageResponse {
  int status = 200;
  std::string reason = "OK";
  Headers headers;  // Content-Type first
  std::string body;
  std::optional<PageFailure> failure;
};

struct SiteSettings {
  std::filesystem::path root;
  std::chrono::milliseconds scriptTimeout{std::chrono::seconds(90)};
};

class PageRunner {
 public:
  PageRunner(SiteSettings settings, const automation::ClassRegistry& registry,
             std::shared_ptr<asp::Application> application);

  // `page` is a normalized root-relative path of an .asp file. The caller serializes the
  // requests of one session.
  PageResponse run(const std::string& page, const PageRequest& request,
                   const std::shared_ptr<asp::Session>& session);

  const SiteSettings& settings() const { return settings_; }
  asp::Application& application() { return *application_; }

 private:
  SiteSettings settings_;
  const automation::ClassRegistry& registry_;
  std::shared_ptr<asp::Application> application_;
  PageCache cache_;
};

// The block that follows a page's output when the page failed.
Text errorBlock(const PageFailure& failure);

}  // namespace host
