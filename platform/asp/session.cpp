#include "session.h"

namespace asp {

using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::toText;

namespace {

Text fold(TextView key) { return automation::lower(key); }

// The keyed values of Session and Application, as scripts reach them: the default member
// Value(key) and its synonym Contents(key).
template <class T>
MemberTable<T> keyedValueMembers(Text interfaceName) {
  MemberTable<T> table(std::move(interfaceName), u"");
  auto get = [](T& o, Args a) { return o.get(toText(a[0])); };
  auto put = [](T& o, Args a, const Variant& v) { o.set(toText(a[0]), v); };
  table.property(u"Value", {byVal(u"bstrValue")}, get, put, u"pvar").asDefault();
  table.property(u"Contents", {byVal(u"key")}, get, put, u"value");
  return table;
}

}  // namespace

Variant KeyedValues::get(TextView key) const {
  auto it = values_.find(fold(key));
  return it == values_.end() ? Variant() : it->second.second;
}

void KeyedValues::set(TextView key, Variant value) {
  auto [it, inserted] = values_.try_emplace(fold(key), Text(key), Variant());
  it->second.second = std::move(value);
}

void KeyedValues::remove(TextView key) { values_.erase(fold(key)); }

std::vector<std::pair<Text, Variant>> KeyedValues::items() const {
  std::vector<std::pair<Text, Variant>> r;
  for (const auto& [folded, entry] : values_) r.push_back(entry);
  return r;
}

const automation::TypeInfo& Session::typeInfo() const {
  static const automation::TypeInfo info =
      keyedValueMembers<Session>(u"ISessionObject")
          .readOnly(u"SessionID", [](Session& s, Args) { return Variant(s.SessionID()); })
          .field(u"Timeout", &Session::Timeout)
          .sub(u"Abandon", {}, [](Session& s, Args) { s.Abandon(); })
          .build();
  return info;
}

Variant Application::get(TextView key) const {
  std::lock_guard lock(mutex_);
  return values_.get(key);
}

void Application::set(TextView key, Variant value) {
  std::lock_guard lock(mutex_);
  values_.set(key, std::move(value));
}

const automation::TypeInfo& Application::typeInfo() const {
  static const automation::TypeInfo info =
      keyedValueMembers<Application>(u"IApplicationObject")
          .sub(u"Lock", {}, [](Application& s, Args) { s.Lock(); })
          .sub(u"Unlock", {}, [](Application& s, Args) { s.Unlock(); })
          .build();
  return info;
}

}  // namespace asp
