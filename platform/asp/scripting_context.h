// ScriptingContext: what a component receives at page start, giving it the page's objects.
// The getters are virtual so that a test can watch which objects are fetched, and in which order.
#pragma once

#include <memory>

#include "asp/request.h"
#include "asp/response.h"
#include "asp/server.h"
#include "asp/session.h"

namespace asp {

struct PageObjects {
  std::shared_ptr<Request> request;
  std::shared_ptr<Response> response;
  std::shared_ptr<Server> server;
  std::shared_ptr<Session> session;
  std::shared_ptr<Application> application;
};

class ScriptingContext : public automation::Dispatch {
 public:
  explicit ScriptingContext(PageObjects objects) : objects_(std::move(objects)) {}
  const automation::TypeInfo& typeInfo() const override;

  virtual std::shared_ptr<asp::Request> Request() { return objects_.request; }
  virtual std::shared_ptr<asp::Response> Response() { return objects_.response; }
  virtual std::shared_ptr<asp::Server> Server() { return objects_.server; }
  virtual std::shared_ptr<asp::Session> Session() { return objects_.session; }
  virtual std::shared_ptr<asp::Application> Application() { return objects_.application; }

 private:
  PageObjects objects_;
};

}  // namespace asp
