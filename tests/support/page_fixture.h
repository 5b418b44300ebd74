// Test pages: a request, its response and the objects around it, built in memory the way the
// page host builds them from HTTP, plus temporary folders for file databases.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "asp/scripting_context.h"

namespace test_support {

using automation::Text;
using automation::Variant;

struct PageRequest {
  Text url = u"/list.asp";
  std::string query;  // raw query string, url-encoded
  std::string form;   // url-encoded POST body
  int codePage = 65001;
};

struct Page {
  std::shared_ptr<asp::Request> request;
  std::shared_ptr<asp::Response> response;
  std::shared_ptr<asp::Server> server;
  std::shared_ptr<asp::Session> session;
  std::shared_ptr<asp::Application> application;
  std::shared_ptr<asp::ScriptingContext> context;

  Variant contextVariant() const { return Variant(automation::ObjectRef(context)); }
  const Text& output() const { return response->text(); }
  std::string outputUtf8() const;
};

// A page of a new session, or of the given session (the next request of the same user).
Page makePage(const PageRequest& r = {}, std::shared_ptr<asp::Session> session = nullptr);

// A folder under the system's temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path file(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// "Provider=SQLite;Data Source=<file>"
Text sqliteConnectionString(const std::filesystem::path& file);

}  // namespace test_support
