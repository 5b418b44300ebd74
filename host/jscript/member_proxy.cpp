// Object wrappers and member proxies: the Proxy traps and calls behind them, and the tables that
// tie wrappers to the objects of their run.
#include "member_proxy.h"

#include <algorithm>
#include <array>

#include "duktape.h"
#include "error_guard.h"
#include "heap_keys.h"
#include "jscript_run.h"
#include "script_rewrite.h"
#include "value_conversion.h"

namespace host::jscript {
using automation::InvokeKind;
using automation::MemberInfo;
using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

std::size_t WrapperTable::keep(const ObjectRef& object) {
  auto [it, added] = slots_.try_emplace(object.get(), objects_.size());
  if (added) {
    objects_.push_back(object);
    wrappers_.push_back(nullptr);
  }
  return it->second;
}

ObjectRef WrapperTable::object(std::size_t slot) const {
  if (slot >= objects_.size()) automation::throwObjectNotSet();
  return objects_[slot];
}

void WrapperTable::setWrapper(std::size_t slot, void* heapPointer) {
  wrappers_[slot] = heapPointer;
  wrapperSlots_[heapPointer] = slot;
}

std::optional<std::size_t> WrapperTable::slotOfWrapper(void* heapPointer) const {
  auto it = wrapperSlots_.find(heapPointer);
  if (it == wrapperSlots_.end()) return std::nullopt;
  return it->second;
}

std::size_t WrapperTable::memberIndex(std::size_t slot, const MemberInfo* member) {
  auto [it, added] = memberIndices_.try_emplace({slot, member}, members_.size());
  if (added) {
    members_.push_back({slot, member});
    memberProxies_.push_back(nullptr);
  }
  return it->second;
}

void WrapperTable::setMemberProxy(std::size_t index, void* heapPointer) {
  memberProxies_.at(index) = heapPointer;
  proxyMembers_[heapPointer] = index;
}

std::optional<std::size_t> WrapperTable::memberOfProxy(void* heapPointer) const {
  auto it = proxyMembers_.find(heapPointer);
  if (it == proxyMembers_.end()) return std::nullopt;
  return it->second;
}

void WrapperTable::clear() {
  proxyMembers_.clear();
  memberIndices_.clear();
  memberProxies_.clear();
  members_.clear();
  wrapperSlots_.clear();
  slots_.clear();
  wrappers_.clear();
  objects_.clear();
}

namespace {

InvokeKind readKind(const MemberInfo* m) {
  return m && m->kind == MemberInfo::Kind::Property ? InvokeKind::PropertyGet : InvokeKind::Method;
}

bool allOptional(const MemberInfo& m) {
  return std::all_of(m.params.begin(), m.params.end(),
                     [](const automation::ParamInfo& p) { return p.optional; });
}

// Names the engine and libraries probe on any object; absent members read as undefined.
bool isProbe(TextView name) {
  constexpr std::array<TextView, 9> probes = {u"toJSON", u"constructor", u"prototype",
                                              u"length", u"name",        u"then",
                                              u"call",   u"apply",       u"bind"};
  return std::find(probes.begin(), probes.end(), name) != probes.end();
}

// The number a hidden property of the native at `index` holds, checked against the run: a
// wrapper left behind by another page reaches nothing.
std::size_t hiddenNumber(duk_context* ctx, duk_idx_t index, const char* key, JScriptRun& run) {
  duk_get_prop_string(ctx, index, keys::kSerial);
  bool ours = duk_is_number(ctx, -1) && duk_get_uint(ctx, -1) == run.serial();
  duk_pop(ctx);
  duk_get_prop_string(ctx, index, key);
  bool present = duk_is_number(ctx, -1);
  std::size_t n = duk_get_uint(ctx, -1);
  duk_pop(ctx);
  if (!ours || !present) automation::throwObjectNotSet();
  return n;
}

struct Bound {
  ObjectRef object;
  const MemberInfo* member;  // null: the default member
};

Bound bound(JScriptRun& run, std::size_t index) {
  const WrapperTable::Member& m = run.objects().member(index);
  return {run.objects().object(m.slot), m.member};
}

Bound currentMember(duk_context* ctx, JScriptRun& run) {
  duk_push_current_function(ctx);
  std::size_t index = hiddenNumber(ctx, -1, keys::kMember, run);
  duk_pop(ctx);
  return bound(run, index);
}

Variant invoke(const Bound& b, InvokeKind kind, std::vector<Variant>& args) {
  return b.object->invoke(b.member ? TextView(b.member->name) : TextView(), kind, args);
}

// What reading `name` on the object in `slot` gives.
void resolve(JScriptRun& run, std::size_t slot, const Text& name) {
  WrapperTable& objects = run.objects();
  if (name == u"valueOf" || name == u"toString") {
    return run.returnMember(NativeReturn::Kind::Conversion, objects.memberIndex(slot, nullptr));
  }
  if (name == kPutMethod) {
    return run.returnMember(NativeReturn::Kind::Put, objects.memberIndex(slot, nullptr));
  }
  ObjectRef object = objects.object(slot);
  const MemberInfo* m = object->typeInfo().find(name);
  if (!m) {
    if (isProbe(name)) return;
    automation::throwUnknownName(name);
  }
  if (m->kind == MemberInfo::Kind::Property && m->params.empty()) {
    return run.returnValue(object->invoke(m->name, InvokeKind::PropertyGet));
  }
  run.returnMember(NativeReturn::Kind::Member, objects.memberIndex(slot, m));
}

void putProperty(const ObjectRef& object, const Text& name, Variant value) {
  const MemberInfo* m = object->typeInfo().find(name);
  if (!m) automation::throwUnknownName(name);
  std::vector<Variant> args{std::move(value)};
  object->invoke(m->name, InvokeKind::PropertyPut, args);
}

// The object a member proxy stands for when used as an object: the member's value.
ObjectRef memberObject(JScriptRun& run, std::size_t index) {
  Variant v = memberValue(run, index);
  if (!v.isObject() || !v.object()) return nullptr;
  return v.object();
}

// Object wrapper, get trap: (target, key, receiver).
void objectGet(duk_context* ctx, JScriptRun& run) {
  if (!duk_is_string(ctx, 1) || duk_is_symbol(ctx, 1)) return;
  std::size_t slot = hiddenNumber(ctx, 0, keys::kSlot, run);
  resolve(run, slot, textAt(ctx, 1));
}

// Object wrapper, set trap: (target, key, value, receiver).
void objectSet(duk_context* ctx, JScriptRun& run) {
  if (!duk_is_string(ctx, 1) || duk_is_symbol(ctx, 1)) automation::throwInvalidProcedureCall();
  ObjectRef object = run.objects().object(hiddenNumber(ctx, 0, keys::kSlot, run));
  putProperty(object, textAt(ctx, 1), toVariant(ctx, 2, run));
  run.returnValue(Variant(true));
}

// Member proxy, get trap.
void memberGet(duk_context* ctx, JScriptRun& run) {
  if (!duk_is_string(ctx, 1) || duk_is_symbol(ctx, 1)) return;
  std::size_t index = hiddenNumber(ctx, 0, keys::kMember, run);
  Text name = textAt(ctx, 1);
  if (name == u"valueOf" || name == u"toString") {
    return run.returnMember(NativeReturn::Kind::Conversion, index);
  }
  if (name == kPutMethod) return run.returnMember(NativeReturn::Kind::Put, index);
  if (isProbe(name)) return;
  ObjectRef object = memberObject(run, index);
  if (!object) return;
  resolve(run, run.objects().keep(object), name);
}

// Member proxy, set trap.
void memberSet(duk_context* ctx, JScriptRun& run) {
  if (!duk_is_string(ctx, 1) || duk_is_symbol(ctx, 1)) automation::throwInvalidProcedureCall();
  Text name = textAt(ctx, 1);
  ObjectRef object = memberObject(run, hiddenNumber(ctx, 0, keys::kMember, run));
  if (!object) automation::throwObjectNotSet();
  putProperty(object, name, toVariant(ctx, 2, run));
  run.returnValue(Variant(true));
}

// Calling a wrapper calls the object's default member.
void callDefault(duk_context* ctx, JScriptRun& run) {
  duk_push_current_function(ctx);
  std::size_t slot = hiddenNumber(ctx, -1, keys::kSlot, run);
  duk_pop(ctx);
  ObjectRef object = run.objects().object(slot);
  std::vector<Variant> args = arguments(ctx, run);
  Variant result = object->invoke(u"", readKind(object->typeInfo().defaultMember()), args);
  run.returnValue(std::move(result));
}

// Calling a member proxy calls the member.
void callMember(duk_context* ctx, JScriptRun& run) {
  Bound b = currentMember(ctx, run);
  std::vector<Variant> args = arguments(ctx, run);
  Variant result = invoke(b, readKind(b.member), args);
  run.returnValue(std::move(result));
}

// valueOf and toString: the member's value without arguments, as a primitive.
void primitiveValue(duk_context* ctx, JScriptRun& run) {
  Bound b = currentMember(ctx, run);
  const MemberInfo* m = b.member ? b.member : b.object->typeInfo().defaultMember();
  Variant v;
  if (m && allOptional(*m)) {
    std::vector<Variant> none;
    v = defaultValue(invoke(b, readKind(m), none));
  }
  run.returnValue(!m || v.isObject() ? Variant(u"[object Object]") : std::move(v));
}

// $$put(index..., value): the item assignment Session("key") = value, after the rewrite.
void putItem(duk_context* ctx, JScriptRun& run) {
  Bound b = currentMember(ctx, run);
  std::vector<Variant> args = arguments(ctx, run);
  if (args.empty()) automation::throwBadParamCount();
  invoke(b, InvokeKind::PropertyPut, args);
}

void pushHandler(duk_context* ctx, const char* key) {
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, key);
  duk_remove(ctx, -2);
}

// A native bound to this run and to `number` under `key`.
void pushBoundNative(duk_context* ctx, JScriptRun& run, duk_c_function fn, const char* key,
                     std::size_t number) {
  duk_push_c_function(ctx, fn, DUK_VARARGS);
  duk_push_uint(ctx, run.serial());
  duk_put_prop_string(ctx, -2, keys::kSerial);
  duk_push_uint(ctx, static_cast<duk_uint_t>(number));
  duk_put_prop_string(ctx, -2, key);
}

void addTrap(duk_context* ctx, const char* name, duk_c_function fn, duk_idx_t args) {
  duk_push_c_function(ctx, fn, args);
  duk_put_prop_string(ctx, -2, name);
}

}  // namespace

Variant memberValue(JScriptRun& run, std::size_t index) {
  Bound b = bound(run, index);
  std::vector<Variant> none;
  return invoke(b, readKind(b.member), none);
}

Variant defaultValue(Variant v) {
  for (int depth = 0; depth < 8 && v.isObject() && v.object(); ++depth) {
    const ObjectRef& object = v.object();
    const MemberInfo* m = object->typeInfo().defaultMember();
    if (!m || !allOptional(*m)) break;
    v = object->invoke(u"", readKind(m));
  }
  return v;
}

void installProxyHandlers(duk_context* ctx) {
  duk_push_heap_stash(ctx);
  duk_push_bare_object(ctx);
  addTrap(ctx, "get", native<objectGet>, 3);
  addTrap(ctx, "set", native<objectSet>, 4);
  duk_put_prop_string(ctx, -2, keys::kObjectHandler);
  duk_push_bare_object(ctx);
  addTrap(ctx, "get", native<memberGet>, 3);
  addTrap(ctx, "set", native<memberSet>, 4);
  duk_put_prop_string(ctx, -2, keys::kMemberHandler);
  duk_pop(ctx);
}

void pushObject(duk_context* ctx, JScriptRun& run, const ObjectRef& object) {
  if (!object) {
    duk_push_null(ctx);
    return;
  }
  std::size_t slot = run.objects().keep(object);
  if (void* wrapper = run.objects().wrapper(slot)) {
    duk_push_heapptr(ctx, wrapper);
    return;
  }
  pushBoundNative(ctx, run, native<callDefault>, keys::kSlot, slot);
  pushHandler(ctx, keys::kObjectHandler);
  duk_push_proxy(ctx, 0);
  run.keepAlive(ctx, -1);
  run.objects().setWrapper(slot, duk_get_heapptr(ctx, -1));
}

void pushMemberProxy(duk_context* ctx, JScriptRun& run, std::size_t member) {
  if (void* proxy = run.objects().memberProxy(member)) {
    duk_push_heapptr(ctx, proxy);
    return;
  }
  pushBoundNative(ctx, run, native<callMember>, keys::kMember, member);
  pushHandler(ctx, keys::kMemberHandler);
  duk_push_proxy(ctx, 0);
  run.keepAlive(ctx, -1);
  run.objects().setMemberProxy(member, duk_get_heapptr(ctx, -1));
}

void pushConversion(duk_context* ctx, JScriptRun& run, std::size_t member) {
  pushBoundNative(ctx, run, native<primitiveValue>, keys::kMember, member);
}

void pushPut(duk_context* ctx, JScriptRun& run, std::size_t member) {
  pushBoundNative(ctx, run, native<putItem>, keys::kMember, member);
}

}  // namespace host::jscript
