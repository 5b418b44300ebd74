// The script face of automation objects.
//
// An object reaches the script as a Proxy over a native function: calling it calls the object's
// default member (rs("name"), Session("key")); reading a property without parameters reads it
// (rs.EOF); reading a method or a property with parameters gives a member proxy. Calling a
// member proxy calls the member (rs.MoveNext(), Request.Form("x")); reading a property of it
// reads that property of the member's value without arguments (Request.Form.Count,
// Session.Contents.Count); converting it to a primitive gives that value (Request.QueryString +
// ""). Assigning a property puts it. Names are looked up without regard to case, as script hosts
// do. `$$put(args..., value)` puts the default member (or the member): the item-assignment
// rewrite turns Session("key") = value into it.
//
// Every object given to the script keeps a slot in its run until the run ends, whatever the
// engine's garbage collector does; the same object always gets the same wrapper.
#pragma once

#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "automation/object.h"

struct duk_hthread;
typedef struct duk_hthread duk_context;

namespace host::jscript {

class JScriptRun;

class WrapperTable {
 public:
  // A member of a kept object; `member` is null for the default member.
  struct Member {
    std::size_t slot;
    const automation::MemberInfo* member;
  };

  std::size_t keep(const automation::ObjectRef& object);  // the same object keeps its slot
  automation::ObjectRef object(std::size_t slot) const;
  void* wrapper(std::size_t slot) const { return wrappers_[slot]; }
  void setWrapper(std::size_t slot, void* heapPointer);
  std::optional<std::size_t> slotOfWrapper(void* heapPointer) const;

  std::size_t memberIndex(std::size_t slot, const automation::MemberInfo* member);
  const Member& member(std::size_t index) const { return members_.at(index); }
  void* memberProxy(std::size_t index) const { return memberProxies_.at(index); }
  void setMemberProxy(std::size_t index, void* heapPointer);
  std::optional<std::size_t> memberOfProxy(void* heapPointer) const;

  void clear();

 private:
  std::vector<automation::ObjectRef> objects_;
  std::vector<void*> wrappers_;  // per slot; null until pushed
  std::unordered_map<const automation::Dispatch*, std::size_t> slots_;
  std::unordered_map<void*, std::size_t> wrapperSlots_;
  std::vector<Member> members_;
  std::vector<void*> memberProxies_;
  std::map<std::pair<std::size_t, const automation::MemberInfo*>, std::size_t> memberIndices_;
  std::unordered_map<void*, std::size_t> proxyMembers_;
};

// Creates the Proxy handlers in the heap stash.
void installProxyHandlers(duk_context* ctx);

// Push phase: the wrapper of `object` (null for none), a member proxy, or a bound conversion.
void pushObject(duk_context* ctx, JScriptRun& run, const automation::ObjectRef& object);
void pushMemberProxy(duk_context* ctx, JScriptRun& run, std::size_t member);
void pushConversion(duk_context* ctx, JScriptRun& run, std::size_t member);
void pushPut(duk_context* ctx, JScriptRun& run, std::size_t member);

// Work phase: the value of a member read without arguments (a member proxy used as a value).
automation::Variant memberValue(JScriptRun& run, std::size_t member);

// An object's value as a page writes it: objects give their default member's value.
automation::Variant defaultValue(automation::Variant v);

}  // namespace host::jscript
