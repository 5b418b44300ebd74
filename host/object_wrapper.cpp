#include "object_wrapper.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <ctime>

#include "asp/response.h"
#include "duktape.h"
#include "script_rewrite.h"
#include "script_text.h"

namespace host {
using automation::AutomationError;
using automation::HRESULT;
using automation::InvokeKind;
using automation::MemberInfo;
using automation::ObjectRef;
using automation::Variant;
using automation::VarType;
namespace hr = automation::hr;

namespace {

constexpr int kThrow = -1000;
constexpr const char* kHolderKey = DUK_HIDDEN_SYMBOL("object");
constexpr const char* kTargetKey = DUK_HIDDEN_SYMBOL("target");
constexpr const char* kMemberKey = DUK_HIDDEN_SYMBOL("member");
constexpr const char* kHandlerKey = DUK_HIDDEN_SYMBOL("wrapperHandler");

// Owned by the wrapper's target function and freed by its finalizer.
struct Holder {
  ObjectRef object;
};

struct PageStopped {};

void pushText(duk_context* ctx, TextView s) {
  std::string e = toEngineString(s);
  duk_push_lstring(ctx, e.data(), e.size());
}

Text textAt(duk_context* ctx, duk_idx_t index) {
  duk_size_t length = 0;
  const char* s = duk_get_lstring(ctx, index, &length);
  return s ? fromEngineString(std::string_view(s, length)) : Text();
}

void pushError(duk_context* ctx, HRESULT code, TextView description, bool range = false) {
  std::string d = toEngineString(description);
  duk_push_error_object(ctx, range ? DUK_ERR_RANGE_ERROR : DUK_ERR_ERROR, "%s", d.c_str());
  duk_push_int(ctx, code);
  duk_put_prop_string(ctx, -2, "number");
  duk_push_lstring(ctx, d.data(), d.size());
  duk_put_prop_string(ctx, -2, "description");
  if (int line = callerLine(ctx); line > 0) {
    duk_push_string(ctx, "lineNumber");
    duk_push_int(ctx, line);
    duk_def_prop(ctx, -3,
                 DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_SET_WRITABLE | DUK_DEFPROP_SET_CONFIGURABLE);
  }
}

int runBody(duk_context* ctx, NativeBody body) {
  ScriptHeap& heap = ScriptHeap::of(ctx);
  try {
    if (heap.stopped()) throw PageStopped{};
    return body(ctx);
  } catch (const AutomationError& e) {
    pushError(ctx, e.code(), e.description());
  } catch (const asp::ResponseEnd&) {
    heap.endPage();
    pushError(ctx, hr::kFail, u"the response has ended");
  } catch (const PageStopped&) {
    if (heap.pastDeadline()) {
      pushError(ctx, hr::kFail, u"execution timeout", true);
    } else {
      pushError(ctx, hr::kFail, u"the response has ended");
    }
  } catch (const std::exception& e) {
    pushError(ctx, hr::kFail, automation::fromUtf8(e.what()));
  }
  return kThrow;
}

template <NativeBody Body>
duk_ret_t native(duk_context* ctx) {
  return callGuarded(ctx, Body);
}

Holder* holderOf(duk_context* ctx, duk_idx_t index) {
  duk_get_prop_string(ctx, index, kHolderKey);
  auto* h = static_cast<Holder*>(duk_get_pointer(ctx, -1));
  duk_pop(ctx);
  return h;
}

// The object and member name bound to the running native function.
struct Binding {
  ObjectRef object;
  Text member;  // "" for the default member
};

Binding currentBinding(duk_context* ctx) {
  duk_push_current_function(ctx);
  Binding b;
  if (Holder* h = holderOf(ctx, -1)) {
    b.object = h->object;  // the wrapper's own target
  } else {
    duk_get_prop_string(ctx, -1, kTargetKey);
    if (Holder* t = holderOf(ctx, -1)) b.object = t->object;
    duk_pop(ctx);
    duk_get_prop_string(ctx, -1, kMemberKey);
    b.member = textAt(ctx, -1);
    duk_pop(ctx);
  }
  duk_pop(ctx);
  if (!b.object) automation::throwObjectNotSet();
  return b;
}

std::vector<Variant> arguments(duk_context* ctx) {
  std::vector<Variant> args;
  duk_idx_t n = duk_get_top(ctx);
  args.reserve(static_cast<std::size_t>(n));
  for (duk_idx_t i = 0; i < n; ++i) args.push_back(toVariant(ctx, i));
  return args;
}

InvokeKind readKind(const MemberInfo* m) {
  return m && m->kind == MemberInfo::Kind::Property ? InvokeKind::PropertyGet : InvokeKind::Method;
}

int callMember(duk_context* ctx) {
  Binding b = currentBinding(ctx);
  std::vector<Variant> args = arguments(ctx);
  InvokeKind kind = readKind(b.object->typeInfo().find(b.member));
  pushVariant(ctx, b.object->invoke(b.member, kind, args));
  return 1;
}

int primitiveValue(duk_context* ctx) {
  Binding b = currentBinding(ctx);
  const MemberInfo* m = b.object->typeInfo().find(b.member);
  Variant v = m ? defaultValue(b.object->invoke(b.member, readKind(m))) : Variant();
  if (!m || v.isObject()) {
    duk_push_string(ctx, "[object Object]");
  } else {
    pushVariant(ctx, v);
  }
  return 1;
}

// $$put(index..., value): the item assignment Session("key") = value, after the rewrite.
int putItem(duk_context* ctx) {
  Binding b = currentBinding(ctx);
  std::vector<Variant> args = arguments(ctx);
  if (args.empty()) automation::throwBadParamCount();
  b.object->invoke(b.member, InvokeKind::PropertyPut, args);
  return 0;
}

// A function bound to the wrapper target at `target` and to `member` (none: default member).
void pushBound(duk_context* ctx, duk_c_function fn, duk_idx_t target, const Text* member) {
  duk_push_c_function(ctx, fn, DUK_VARARGS);
  duk_dup(ctx, target);
  duk_put_prop_string(ctx, -2, kTargetKey);
  if (member) {
    pushText(ctx, *member);
    duk_put_prop_string(ctx, -2, kMemberKey);
  }
}

// A member read without calling it (Request.QueryString + "") gives its value without arguments.
void addPrimitiveConversions(duk_context* ctx, duk_idx_t target, const Text* member) {
  for (const char* name : {"valueOf", "toString"}) {
    pushBound(ctx, native<primitiveValue>, target, member);
    duk_put_prop_string(ctx, -2, name);
  }
}

bool allOptional(const MemberInfo& m) {
  return std::all_of(m.params.begin(), m.params.end(),
                     [](const automation::ParamInfo& p) { return p.optional; });
}

// Names the engine and libraries probe on any object; absent members read as undefined.
bool isProbe(TextView name) {
  constexpr std::array<TextView, 6> probes = {u"toJSON", u"constructor", u"prototype",
                                              u"length", u"name",        u"then"};
  return std::find(probes.begin(), probes.end(), name) != probes.end();
}

// Proxy get trap: (target, key, receiver).
int getTrap(duk_context* ctx) {
  if (!duk_is_string(ctx, 1) || duk_is_symbol(ctx, 1)) return 0;
  Text name = textAt(ctx, 1);
  Holder* h = holderOf(ctx, 0);
  if (name == u"valueOf" || name == u"toString") {
    pushBound(ctx, native<primitiveValue>, 0, nullptr);
    return 1;
  }
  if (name == kPutMethod) {
    pushBound(ctx, native<putItem>, 0, nullptr);
    return 1;
  }
  const MemberInfo* m = h->object->typeInfo().find(name);
  if (!m) {
    if (isProbe(name)) return 0;
    automation::throwUnknownName(name);
  }
  if (m->kind == MemberInfo::Kind::Property && m->params.empty()) {
    pushVariant(ctx, h->object->invoke(m->name, InvokeKind::PropertyGet));
    return 1;
  }
  pushBound(ctx, native<callMember>, 0, &m->name);
  if (allOptional(*m)) addPrimitiveConversions(ctx, 0, &m->name);
  if (m->kind == MemberInfo::Kind::Property) {
    pushBound(ctx, native<putItem>, 0, &m->name);
    duk_put_prop_string(ctx, -2, "$$put");
  }
  return 1;
}

// Proxy set trap: (target, key, value, receiver).
int setTrap(duk_context* ctx) {
  if (!duk_is_string(ctx, 1) || duk_is_symbol(ctx, 1)) automation::throwInvalidProcedureCall();
  Text name = textAt(ctx, 1);
  Holder* h = holderOf(ctx, 0);
  const MemberInfo* m = h->object->typeInfo().find(name);
  if (!m) automation::throwUnknownName(name);
  std::vector<Variant> args{toVariant(ctx, 2)};
  h->object->invoke(m->name, InvokeKind::PropertyPut, args);
  duk_push_true(ctx);
  return 1;
}

// The wrapper target itself: calling the wrapper calls the default member.
int callDefault(duk_context* ctx) {
  duk_push_current_function(ctx);
  Holder* h = holderOf(ctx, -1);
  duk_pop(ctx);
  if (!h) automation::throwObjectNotSet();
  ObjectRef object = h->object;
  std::vector<Variant> args = arguments(ctx);
  InvokeKind kind = readKind(object->typeInfo().defaultMember());
  pushVariant(ctx, object->invoke(u"", kind, args));
  return 1;
}

duk_ret_t finalizeHolder(duk_context* ctx) {
  delete holderOf(ctx, 0);
  duk_push_pointer(ctx, nullptr);
  duk_put_prop_string(ctx, 0, kHolderKey);
  return 0;
}

// Calendar fields are kept as they are: the script's Date shows the variant's local time.
double dateToMilliseconds(automation::Date d) {
  std::tm tm{};
  tm.tm_year = d.year() - 1900;
  tm.tm_mon = d.month() - 1;
  tm.tm_mday = d.day();
  tm.tm_hour = d.hour();
  tm.tm_min = d.minute();
  tm.tm_sec = d.second();
  tm.tm_isdst = -1;
  return static_cast<double>(std::mktime(&tm)) * 1000.0;
}

Variant millisecondsToDate(double ms) {
  if (!std::isfinite(ms)) return Variant::null();
  std::time_t seconds = static_cast<std::time_t>(std::floor(ms / 1000.0));
  std::tm tm{};
  localtime_r(&seconds, &tm);
  return automation::Date::fromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                                     tm.tm_min, tm.tm_sec);
}

struct DateProbe {
  bool isDate = false;
  double ms = 0;
};

// In a safe call: the value on top is tested against the global Date; user code that throws
// (a Proxy, an odd prototype) only makes it no date.
duk_ret_t probeDate(duk_context* ctx, void* udata) {
  auto* probe = static_cast<DateProbe*>(udata);
  duk_get_global_string(ctx, "Date");
  if (!duk_instanceof(ctx, -2, -1)) return 0;
  duk_get_prop_string(ctx, -1, "prototype");
  duk_get_prop_string(ctx, -1, "getTime");
  duk_dup(ctx, -4);
  duk_call_method(ctx, 0);
  probe->ms = duk_get_number(ctx, -1);
  probe->isDate = true;
  return 0;
}

Variant objectToVariant(duk_context* ctx, duk_idx_t index) {
  if (Holder* h = holderOf(ctx, index)) return Variant(h->object);
  if (duk_is_buffer_data(ctx, index)) {
    duk_size_t size = 0;
    auto* p = static_cast<const std::uint8_t*>(duk_get_buffer_data(ctx, index, &size));
    return Variant(Variant::Bytes(p, p + size));
  }
  DateProbe probe;
  duk_dup(ctx, index);
  duk_safe_call(ctx, probeDate, &probe, 1, 1);
  duk_pop(ctx);
  if (probe.isDate) return millisecondsToDate(probe.ms);
  duk_dup(ctx, index);
  duk_size_t length = 0;
  const char* s = duk_safe_to_lstring(ctx, -1, &length);
  Variant v(fromEngineString(std::string_view(s, length)));
  duk_pop(ctx);
  return v;
}

}  // namespace

int callerLine(duk_context* ctx) {
  for (duk_int_t level = -2; level > -16; --level) {
    duk_inspect_callstack_entry(ctx, level);
    if (duk_is_undefined(ctx, -1)) {
      duk_pop(ctx);
      return 0;
    }
    duk_get_prop_string(ctx, -1, "lineNumber");
    int line = duk_get_int(ctx, -1);
    duk_pop_2(ctx);
    if (line > 0) return line;
  }
  return 0;
}

int callGuarded(duk_context* ctx, NativeBody body) {
  int rc = runBody(ctx, body);
  if (rc == kThrow) return duk_throw(ctx);  // only plain C++ frames are left to unwind
  return rc;
}

void installObjectWrappers(duk_context* ctx) {
  duk_push_heap_stash(ctx);
  duk_push_object(ctx);
  duk_push_c_function(ctx, native<getTrap>, 3);
  duk_put_prop_string(ctx, -2, "get");
  duk_push_c_function(ctx, native<setTrap>, 4);
  duk_put_prop_string(ctx, -2, "set");
  duk_put_prop_string(ctx, -2, kHandlerKey);
  duk_pop(ctx);
}

void pushObject(duk_context* ctx, const ObjectRef& object) {
  if (!object) {
    duk_push_null(ctx);
    return;
  }
  duk_push_c_function(ctx, native<callDefault>, DUK_VARARGS);
  duk_push_pointer(ctx, new Holder{object});
  duk_put_prop_string(ctx, -2, kHolderKey);
  duk_push_c_function(ctx, finalizeHolder, 1);
  duk_set_finalizer(ctx, -2);
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, kHandlerKey);
  duk_remove(ctx, -2);
  duk_push_proxy(ctx, 0);
}

void pushVariant(duk_context* ctx, const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Missing:
      duk_push_undefined(ctx);
      return;
    case VarType::Null:
      duk_push_null(ctx);
      return;
    case VarType::Bool:
      duk_push_boolean(ctx, automation::toBool(v));
      return;
    case VarType::Text:
      pushText(ctx, v.text());
      return;
    case VarType::Object:
      pushObject(ctx, v.object());
      return;
    case VarType::Date:
      duk_get_global_string(ctx, "Date");
      duk_push_number(ctx, dateToMilliseconds(automation::toDate(v)));
      duk_new(ctx, 1);
      return;
    case VarType::ByteArray: {
      const Variant::Bytes& bytes = v.bytes();
      void* p = duk_push_fixed_buffer(ctx, bytes.size());
      if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
      duk_push_buffer_object(ctx, -1, 0, bytes.size(), DUK_BUFOBJ_UINT8ARRAY);
      duk_remove(ctx, -2);
      return;
    }
    case VarType::VariantArray: {
      duk_idx_t array = duk_push_array(ctx);
      duk_uarridx_t i = 0;
      for (const Variant& item : v.array()) {
        pushVariant(ctx, item);
        duk_put_prop_index(ctx, array, i++);
      }
      return;
    }
    default:
      duk_push_number(ctx, automation::toDouble(v));
      return;
  }
}

Variant toVariant(duk_context* ctx, int index) {
  switch (duk_get_type(ctx, index)) {
    case DUK_TYPE_NULL:
      return Variant::null();
    case DUK_TYPE_BOOLEAN:
      return Variant(static_cast<bool>(duk_get_boolean(ctx, index)));
    case DUK_TYPE_NUMBER: {
      double d = duk_get_number(ctx, index);
      if (std::trunc(d) == d && d >= INT32_MIN && d <= INT32_MAX) {
        return Variant(static_cast<int>(d));
      }
      return Variant(d);
    }
    case DUK_TYPE_STRING:
      return Variant(textAt(ctx, index));
    case DUK_TYPE_OBJECT:
    case DUK_TYPE_BUFFER:
      return objectToVariant(ctx, index);
    default:
      return Variant();
  }
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

}  // namespace host
