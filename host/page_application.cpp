#include "page_application.h"

namespace host {
using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::toText;
using automation::Variant;

void PageApplication::Lock() {
  application_->Lock();
  ++locks_;
}

void PageApplication::Unlock() {
  if (locks_ == 0) return;  // an Unlock without Lock must not release another page's lock
  --locks_;
  application_->Unlock();
}

void PageApplication::releaseLocks() {
  while (locks_ > 0) Unlock();
}

const automation::TypeInfo& PageApplication::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<PageApplication>(u"IApplicationObject", u"")
          .property(
              u"Value", {byVal(u"bstrValue")},
              [](PageApplication& a, Args v) { return a.application().get(toText(v[0])); },
              [](PageApplication& a, Args v, const Variant& value) {
                a.application().set(toText(v[0]), value);
              },
              u"pvar")
          .asDefault()
          .property(
              u"Contents", {byVal(u"key")},
              [](PageApplication& a, Args v) { return a.application().get(toText(v[0])); },
              [](PageApplication& a, Args v, const Variant& value) {
                a.application().set(toText(v[0]), value);
              },
              u"value")
          .sub(u"Lock", {}, [](PageApplication& a, Args) { a.Lock(); })
          .sub(u"Unlock", {}, [](PageApplication& a, Args) { a.Unlock(); })
          .build();
  return info;
}

}  // namespace host
