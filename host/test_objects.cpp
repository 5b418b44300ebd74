#include "test_objects.h"

#include <atomic>
#include <condition_variable>
#include <map>

#include "asp/scripting_context.h"

namespace host_test {
using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::optionalByVal;
using automation::Text;
using automation::Variant;
using automation::VarType;

namespace {

std::mutex eventsMutex;
std::vector<std::string> events;
std::atomic<int> nextId = 0;  // pages on several threads make probes

void record(std::string event) {
  std::lock_guard lock(eventsMutex);
  events.push_back(std::move(event));
}

std::mutex meetMutex;
std::condition_variable meetChanged;
int inside = 0;
int meetings = 0;  // times that enough callers were inside together

}  // namespace

// A barrier that can be met again at once: the callers of one meeting leave it as a group, so a
// caller coming back does not count among the last meeting's.
bool rendezvous(int parties, int milliseconds) {
  std::unique_lock lock(meetMutex);
  int meeting = meetings;
  if (++inside >= parties) {
    inside = 0;
    ++meetings;
    meetChanged.notify_all();
    return true;
  }
  bool met = meetChanged.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                  [&] { return meetings != meeting; });
  if (!met) --inside;
  return met;
}

int insideRendezvous() {
  std::lock_guard lock(meetMutex);
  return inside;
}

namespace {

Variant make(const Text& kind) {
  if (kind == u"i2") return Variant(std::int16_t{7});
  if (kind == u"i4") return Variant(70000);
  if (kind == u"r8") return Variant(2.5);
  if (kind == u"bool") return Variant(true);
  if (kind == u"null") return Variant::null();
  if (kind == u"date") return Variant(automation::Date::fromParts(2024, 2, 29, 13, 45, 10));
  if (kind == u"text") return Variant(Text(u"文字"));
  if (kind == u"bytes") return Variant(Variant::Bytes{1, 2, 255});
  if (kind == u"array") return Variant(Variant::Array{Variant(1), Variant(u"b")});
  if (kind == u"matrix") {  // 2 x 3, first index fastest: (0,0) (1,0) (0,1) (1,1) (0,2) (1,2)
    return Variant(Variant::Array{Variant(1), Variant(u"a"), Variant(2), Variant(u"b"), Variant(3),
                                  Variant(u"c")},
                   {{0, 2}, {0, 3}});
  }
  return Variant();
}

class Plain : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override {
    static const automation::TypeInfo info =
        MemberTable<Plain>(u"_Plain", u"")
            .function(u"Echo", {byVal(u"v")}, [](Plain&, Args a) { return a[0]; })
            .build();
    return info;
  }
};

// A collection: Count, Item by 1-based number (the default member), enumeration.
class Bag : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override {
    static const automation::TypeInfo info =
        MemberTable<Bag>(u"_Bag", u"")
            .readOnly(u"Count",
                      [](Bag& b, Args) { return Variant(static_cast<int>(b.items_.size())); })
            .function(u"Item", {byVal(u"index")},
                      [](Bag& b, Args a) {
                        int i = automation::toInt32(a[0]);
                        if (i < 1 || i > static_cast<int>(b.items_.size())) {
                          automation::throwSubscriptOutOfRange();
                        }
                        return b.items_[static_cast<std::size_t>(i - 1)];
                      })
            .asDefault()
            .build();
    return info;
  }
  std::optional<std::vector<Variant>> enumerate() override { return items_; }

 private:
  std::vector<Variant> items_{Variant(u"a"), Variant(u"b"), Variant(3)};
};

class Probe : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override {
    static const automation::TypeInfo info =
        MemberTable<Probe>(u"_Probe", u"")
            .function(u"OnStartPage", {byVal(u"sc")},
                      [](Probe& p, Args a) {
                        p.id_ = ++nextId;
                        p.context_ =
                            a[0].isObject()
                                ? std::dynamic_pointer_cast<asp::ScriptingContext>(a[0].object())
                                : nullptr;
                        bool ok = p.context_ != nullptr;
                        record("start " + std::to_string(p.id_));
                        record(std::string("context ") + (ok ? "ok" : "missing"));
                        return Variant();
                      })
            .function(u"OnEndPage", {},
                      [](Probe& p, Args) {
                        record("end " + std::to_string(p.id_));
                        if (p.failAtEnd_) {
                          throw automation::AutomationError(
                              static_cast<automation::HRESULT>(0x80040001), u"Probe",
                              u"end failed");
                        }
                        return Variant();
                      })
            .function(u"Echo", {byVal(u"v")}, [](Probe&, Args a) { return a[0]; })
            .function(u"TypeOf", {byVal(u"v")},
                      [](Probe&, Args a) { return Variant(static_cast<int>(a[0].type())); })
            .function(u"Make", {byVal(u"kind")},
                      [](Probe&, Args a) { return make(automation::toText(a[0])); })
            .function(u"Self", {}, [](Probe& p, Args) { return Variant(p.shared_from_this()); })
            .sub(u"Fail", {byVal(u"code"), byVal(u"description")},
                 [](Probe&, Args a) {
                   throw automation::AutomationError(automation::toInt32(a[0]), u"Probe",
                                                     automation::toText(a[1]));
                 })
            .sub(u"FailAtEnd", {}, [](Probe& p, Args) { p.failAtEnd_ = true; })
            .sub(u"Tidy", {automation::byRef(u"text")},
                 [](Probe&, Args a) { a[0] = Variant(automation::trim(automation::toText(a[0]))); })
            // Writes `text` to the page `times` times, as a component's list does, resting
            // `pauseMs` after each.
            .sub(u"WriteRows", {byVal(u"text"), byVal(u"times"), byVal(u"pauseMs")},
                 [](Probe& p, Args a) {
                   Text text = automation::toText(a[0]);
                   auto pause = std::chrono::milliseconds(automation::toInt32(a[2]));
                   for (int i = automation::toInt32(a[1]); i > 0; --i) {
                     p.context_->Response()->write(text);
                     if (pause.count()) std::this_thread::sleep_for(pause);
                   }
                 })
            .function(u"Count", {optionalByVal(u"extra")},
                      [](Probe& p, Args a) {
                        int extra = a[0].isMissing() ? 0 : automation::toInt32(a[0]);
                        return Variant(static_cast<int>(p.items_.size()) + extra);
                      })
            .function(
                u"Rendezvous", {byVal(u"parties"), byVal(u"ms")},
                [](Probe&, Args a) {
                  return Variant(rendezvous(automation::toInt32(a[0]), automation::toInt32(a[1])));
                })
            .property(u"Bag", {optionalByVal(u"index")},
                      [](Probe& p, Args a) {
                        if (a[0].isMissing()) return Variant(automation::ObjectRef(p.bag_));
                        return p.bag_->invoke(u"", automation::InvokeKind::Method, {a[0]});
                      },
                      {})
            .field(u"Name", &Probe::name_)
            .property(
                u"Item", {byVal(u"key")},
                [](Probe& p, Args a) { return p.items_[automation::toText(a[0])]; },
                [](Probe& p, Args a, const Variant& v) { p.items_[automation::toText(a[0])] = v; })
            .asDefault()
            .build();
    return info;
  }

 private:
  int id_ = 0;
  std::shared_ptr<asp::ScriptingContext> context_;
  bool failAtEnd_ = false;
  Text name_ = u"probe";
  std::map<Text, Variant> items_;
  std::shared_ptr<Bag> bag_ = std::make_shared<Bag>();
};

}  // namespace

std::vector<std::string> pageEvents() {
  std::lock_guard lock(eventsMutex);
  return events;
}

void clearPageEvents() {
  std::lock_guard lock(eventsMutex);
  events.clear();
  nextId = 0;
}

void resetRendezvous() {
  std::lock_guard lock(meetMutex);
  inside = 0;
  meetings = 0;
}

void registerTestClasses(automation::ClassRegistry& registry) {
  registry.add({u"test.Probe", u"{00000000-0000-0000-0000-000000000001}", u"_Probe", u"",
                [] { return std::make_shared<Probe>(); }});
  registry.add({u"test.Plain", u"{00000000-0000-0000-0000-000000000002}", u"_Plain", u"",
                [] { return std::make_shared<Plain>(); }});
}

}  // namespace host_test
