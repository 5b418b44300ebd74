// PageContext: the page objects an instance holds between its page events. Every class but
// the upload receiver fetches Response, Request, Server, Application and Session, in that
// order, replacing what it held; page end releases them. Using an object that is not held
// raises the object-not-set error, as a component used before page start must.
#pragma once

#include <memory>

#include "asp/scripting_context.h"

namespace frame {

using automation::Text;
using automation::TextView;
using automation::Variant;

class PageContext {
 public:
  // `sc` holds the page's scripting context; anything else raises the type-mismatch error.
  void bind(const Variant& sc);
  void release();

  asp::Response& response() const;
  asp::Request& request() const;
  asp::Server& server() const;
  asp::Application& application() const;
  asp::Session& session() const;
  const std::shared_ptr<asp::Session>& sessionRef() const { return session_; }
  void setSession(std::shared_ptr<asp::Session> s) { session_ = std::move(s); }

 private:
  std::shared_ptr<asp::Response> response_;
  std::shared_ptr<asp::Request> request_;
  std::shared_ptr<asp::Server> server_;
  std::shared_ptr<asp::Application> application_;
  std::shared_ptr<asp::Session> session_;
};

// Writes one trace line, hidden until the page's debug switch shows every element with the
// id debugID.
void writeTrace(asp::Response& response, TextView text);

inline constexpr char16_t kCrLf[] = u"\r\n";

}  // namespace frame
