// Session and Application: keyed values that outlive one request. Keys compare without
// regard to case and keep the spelling of their first writer.
#pragma once

#include <map>
#include <mutex>

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
  // (key as first written, value) pairs, in key order.
  std::vector<std::pair<Text, Variant>> items() const;

 private:
  std::map<Text, std::pair<Text, Variant>> values_;  // folded key -> (key, value)
};

class Session : public automation::Dispatch {
 public:
  explicit Session(Text id = u"") : id_(std::move(id)) {}
  const automation::TypeInfo& typeInfo() const override;

  Variant get(TextView key) const { return values_.get(key); }
  void set(TextView key, Variant value) { values_.set(key, std::move(value)); }
  KeyedValues& contents() { return values_; }
  const Text& SessionID() const { return id_; }
  void Abandon() { abandoned_ = true; }
  bool abandoned() const { return abandoned_; }
  std::int32_t Timeout = 20;  // minutes

 private:
  Text id_;
  KeyedValues values_;
  bool abandoned_ = false;
};

// Shared by every page and thread of the host: each access takes the lock; Lock/Unlock let a
// page group several accesses.
class Application : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  Variant get(TextView key) const;
  void set(TextView key, Variant value);
  void Lock() { pageLock_.lock(); }
  void Unlock() { pageLock_.unlock(); }

 private:
  mutable std::mutex mutex_;
  std::recursive_mutex pageLock_;
  KeyedValues values_;
};

}  // namespace asp
