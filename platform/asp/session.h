// Session and Application: keyed values that outlive one request. Keys compare without
// regard to case, keep the spelling of their first writer and the order of first writing,
// which is the order Contents counts and enumerates them in.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "automation/object.h"

namespace asp {

using automation::Text;
using automation::TextView;
using automation::Variant;

class KeyedValues {
 public:
  Variant get(TextView key) const;  // empty variant when absent
  void set(TextView key, Variant value);
  void remove(TextView key);
  void clear() { values_.clear(); }
  std::size_t size() const { return values_.size(); }
  // (key as first written, value) pairs, in order of first writing.
  const std::vector<std::pair<Text, Variant>>& items() const { return values_; }

 private:
  std::vector<std::pair<Text, Variant>> values_;
};

// Session.Contents and Application.Contents: Count, Item by key or 1-based number, Key,
// Remove (by key or number), RemoveAll and enumeration of the keys, over the owner's values.
template <class Owner>
class Contents : public automation::Dispatch {
 public:
  explicit Contents(std::shared_ptr<Owner> owner) : owner_(std::move(owner)) {}
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;

 private:
  Text keyOf(const Variant& keyOrNumber) const;
  std::shared_ptr<Owner> owner_;
};

// What one session may keep, in heldBytes (keys counted too); 0: no limit.
struct SessionLimits {
  std::size_t maxValueBytes = 0;
  std::size_t maxBytes = 0;  // all its values together
};

class Session : public automation::Dispatch {
 public:
  Session();  // takes the next SessionID
  const automation::TypeInfo& typeInfo() const override;

  void setLimits(SessionLimits limits) { limits_ = limits; }
  Variant get(TextView key) const { return values_.get(key); }
  // Raises an error, and keeps the value the key had, for a value beyond the limits.
  void set(TextView key, Variant value);
  void remove(TextView key) { values_.remove(key); }
  void removeAll() { values_.clear(); }
  std::vector<std::pair<Text, Variant>> items() const { return values_.items(); }
  KeyedValues& contents() { return values_; }

  // A number as pages expect it, unique in this process; the host's session cookie carries
  // an unguessable token of its own.
  std::int32_t SessionID() const { return id_; }
  void Abandon() { abandoned_ = true; }
  bool abandoned() const { return abandoned_; }
  // Asks the host to carry on the session, values and all, under a new cookie token, the old
  // one ending: what a sign-in page calls so that a token known before the sign-in is worth
  // nothing after it.
  void Renew() { renewing_ = true; }
  bool renewing() const { return renewing_; }
  void renewed() { renewing_ = false; }
  std::int32_t Timeout = 20;  // minutes
  std::int32_t CodePage = 65001;
  std::int32_t LCID = 2052;

 private:
  std::int32_t id_;
  KeyedValues values_;
  SessionLimits limits_;
  bool abandoned_ = false;
  bool renewing_ = false;
};

// Shared by every page and thread of the host. Lock makes the calling page's thread the only
// writer until it calls Unlock as often, or its page ends (releaseLocks): writes of other
// pages wait meanwhile, reads do not. A page runs on one thread from start to end.
class Application : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  Variant get(TextView key) const;
  void set(TextView key, Variant value);
  void remove(TextView key);
  void removeAll();
  std::vector<std::pair<Text, Variant>> items() const;

  void Lock();
  void Unlock();        // an Unlock without a Lock of this thread does nothing
  void releaseLocks();  // every Lock of this thread; for the host, when a page ends

 private:
  // Waits until no other thread holds the page lock; returns with `mutex_` held.
  std::unique_lock<std::mutex> writable();

  mutable std::mutex mutex_;
  std::condition_variable unlocked_;
  std::thread::id owner_;
  int depth_ = 0;
  KeyedValues values_;
};

}  // namespace asp
