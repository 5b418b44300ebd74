// The Application object as one page sees it: the shared application values, and a count of
// the page's Lock calls, so that a page that ends (or fails) while holding the lock releases
// it instead of blocking every other page for good.
#pragma once

#include <memory>

#include "asp/session.h"

namespace host {

class PageApplication : public automation::Dispatch {
 public:
  explicit PageApplication(std::shared_ptr<asp::Application> application)
      : application_(std::move(application)) {}
  ~PageApplication() override { releaseLocks(); }
  const automation::TypeInfo& typeInfo() const override;

  void Lock();
  void Unlock();
  // Called by the page's own thread when the page ends.
  void releaseLocks();
  asp::Application& application() { return *application_; }

 private:
  std::shared_ptr<asp::Application> application_;
  int locks_ = 0;
};

}  // namespace host
