#include "page_context.h"

#include "automation/error.h"

namespace frame {

void PageContext::bind(const Variant& sc) {
  auto context = automation::objectAs<asp::ScriptingContext>(sc);
  response_ = context->Response();
  request_ = context->Request();
  server_ = context->Server();
  application_ = context->Application();
  session_ = context->Session();
}

void PageContext::release() {
  response_.reset();
  request_.reset();
  server_.reset();
  application_.reset();
  session_.reset();
}

namespace {
template <class T>
T& held(const std::shared_ptr<T>& p) {
  if (!p) automation::throwObjectNotSet();
  return *p;
}
}  // namespace

asp::Response& PageContext::response() const { return held(response_); }
asp::Request& PageContext::request() const { return held(request_); }
asp::Server& PageContext::server() const { return held(server_); }
asp::Application& PageContext::application() const { return held(application_); }
asp::Session& PageContext::session() const { return held(session_); }

void writeTrace(asp::Response& response, TextView text) {
  Text line = u"<span id=debugID style='display:none'>";
  line += text;
  line += u"</span>";
  response.write(line);
}

}  // namespace frame
