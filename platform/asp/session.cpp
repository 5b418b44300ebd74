// The keyed values of Session and Application, their Contents collections, the SessionID
// counter and the Application's page lock.
#include "session.h"

#include <atomic>
#include <random>

namespace asp {

using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::ObjectRef;
using automation::optionalByVal;
using automation::toText;

namespace {

std::int32_t nextSessionId() {
  // Starts anywhere, as the classic host's do, so that numbers of an earlier run are not
  // handed out again right away.
  static std::atomic<std::int32_t> next{static_cast<std::int32_t>(std::random_device{}() >> 2)};
  std::int32_t id = next.fetch_add(1) & 0x7fffffff;
  return id == 0 ? next.fetch_add(1) & 0x7fffffff : id;
}

// The members Session and Application share: the default member Value(key), Contents, which
// is the collection without a key and a value with one.
template <class T>
MemberTable<T> keyedValueMembers(Text interfaceName) {
  MemberTable<T> table(std::move(interfaceName), u"");
  auto get = [](T& o, Args a) { return o.get(toText(a[0])); };
  auto put = [](T& o, Args a, const Variant& v) { o.set(toText(a[0]), v); };
  table.property(u"Value", {byVal(u"bstrValue")}, get, put, u"pvar").asDefault();
  table.property(
      u"Contents", {optionalByVal(u"key")},
      [](T& o, Args a) {
        if (a[0].isMissing()) {
          auto self = std::static_pointer_cast<T>(o.shared_from_this());
          return Variant(ObjectRef(std::make_shared<Contents<T>>(std::move(self))));
        }
        return o.get(toText(a[0]));
      },
      put, u"value");
  return table;
}

}  // namespace

Variant KeyedValues::get(TextView key) const {
  for (const auto& [k, v] : values_) {
    if (automation::equalsIgnoreCase(k, key)) return v;
  }
  return {};
}

void KeyedValues::set(TextView key, Variant value) {
  for (auto& [k, v] : values_) {
    if (automation::equalsIgnoreCase(k, key)) {
      v = std::move(value);
      return;
    }
  }
  values_.emplace_back(Text(key), std::move(value));
}

void KeyedValues::remove(TextView key) {
  std::erase_if(values_,
                [&](const auto& item) { return automation::equalsIgnoreCase(item.first, key); });
}

template <class Owner>
Text Contents<Owner>::keyOf(const Variant& keyOrNumber) const {
  auto items = owner_->items();
  if (auto i = automation::ordinal(keyOrNumber, items.size())) return items[*i].first;
  return toText(keyOrNumber);
}

template <class Owner>
std::optional<std::vector<Variant>> Contents<Owner>::enumerate() {
  std::vector<Variant> keys;
  for (const auto& item : owner_->items()) keys.emplace_back(item.first);
  return keys;
}

template <class Owner>
const automation::TypeInfo& Contents<Owner>::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Contents>(u"IVariantDictionary", u"")
          .property(
              u"Item", {byVal(u"VarKey")},
              [](Contents& c, Args a) { return c.owner_->get(c.keyOf(a[0])); },
              [](Contents& c, Args a, const Variant& v) { c.owner_->set(c.keyOf(a[0]), v); },
              u"pvar")
          .asDefault()
          .property(u"Key", {byVal(u"VarKey")},
                    [](Contents& c, Args a) { return Variant(c.keyOf(a[0])); }, {})
          .readOnly(u"Count",
                    [](Contents& c, Args) {
                      return Variant(static_cast<std::int32_t>(c.owner_->items().size()));
                    })
          .sub(u"Remove", {byVal(u"varKey")},
               [](Contents& c, Args a) { c.owner_->remove(c.keyOf(a[0])); })
          .sub(u"RemoveAll", {}, [](Contents& c, Args) { c.owner_->removeAll(); })
          .build();
  return info;
}

Session::Session() : id_(nextSessionId()) {}

void Session::set(TextView key, Variant value) {
  auto bytesOf = [](TextView k, const Variant& v) {
    return 2 * k.size() + automation::heldBytes(v);
  };
  std::size_t bytes = bytesOf(key, value);
  auto refuse = [&](std::size_t limit, TextView what) {
    throw automation::AutomationError(automation::hr::kFail, u"Session",
                                      Text(u"Session(\"") + Text(key) + u"\") is not kept: " +
                                          Text(what) + u" may take " +
                                          automation::fromUtf8(std::to_string(limit)) + u" bytes");
  };
  if (limits_.maxValueBytes && bytes > limits_.maxValueBytes)
    refuse(limits_.maxValueBytes, u"one value");
  if (limits_.maxBytes) {
    std::size_t total = bytes;
    for (const auto& [k, v] : values_.items()) {
      if (!automation::equalsIgnoreCase(k, key)) total += bytesOf(k, v);
    }
    if (total > limits_.maxBytes) refuse(limits_.maxBytes, u"one session");
  }
  values_.set(key, std::move(value));
}

const automation::TypeInfo& Session::typeInfo() const {
  static const automation::TypeInfo info =
      keyedValueMembers<Session>(u"ISessionObject")
          .readOnly(u"SessionID", [](Session& s, Args) { return Variant(s.SessionID()); })
          .field(u"Timeout", &Session::Timeout)
          .field(u"CodePage", &Session::CodePage)
          .field(u"LCID", &Session::LCID)
          .sub(u"Abandon", {}, [](Session& s, Args) { s.Abandon(); })
          .sub(u"Renew", {}, [](Session& s, Args) { s.Renew(); })
          .build();
  return info;
}

Variant Application::get(TextView key) const {
  std::lock_guard lock(mutex_);
  return values_.get(key);
}

std::unique_lock<std::mutex> Application::writable() {
  std::unique_lock lock(mutex_);
  unlocked_.wait(lock, [&] { return depth_ == 0 || owner_ == std::this_thread::get_id(); });
  return lock;
}

void Application::set(TextView key, Variant value) {
  auto lock = writable();
  values_.set(key, std::move(value));
}

void Application::remove(TextView key) {
  auto lock = writable();
  values_.remove(key);
}

void Application::removeAll() {
  auto lock = writable();
  values_.clear();
}

std::vector<std::pair<Text, Variant>> Application::items() const {
  std::lock_guard lock(mutex_);
  return values_.items();
}

void Application::Lock() {
  auto lock = writable();
  owner_ = std::this_thread::get_id();
  ++depth_;
}

void Application::Unlock() {
  std::lock_guard lock(mutex_);
  if (depth_ == 0 || owner_ != std::this_thread::get_id()) return;
  if (--depth_ == 0) {
    owner_ = {};
    unlocked_.notify_all();
  }
}

void Application::releaseLocks() {
  std::lock_guard lock(mutex_);
  if (depth_ == 0 || owner_ != std::this_thread::get_id()) return;
  depth_ = 0;
  owner_ = {};
  unlocked_.notify_all();
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
