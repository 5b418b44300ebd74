// Value conversion between Duktape and variants. Reading classifies a value with calls that
// cannot throw; a script object or array is copied through the library's snapshot, which runs in
// a safe call and gives its data as JSON. Pushing builds values with property definitions,
// which never call the page's setters.
#include "value_conversion.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <nlohmann/json.hpp>

#include "duktape.h"
#include "engine_text.h"
#include "heap_keys.h"
#include "jscript_run.h"
#include "member_proxy.h"
#include "script_object.h"

namespace host::jscript {
using automation::Text;
using automation::Variant;
using automation::VarType;
using nlohmann::json;

namespace {

Variant numberVariant(double d) {
  if (std::trunc(d) == d && d >= INT32_MIN && d <= INT32_MAX) return Variant(static_cast<int>(d));
  return Variant(d);
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

// In a safe call: [value] -> [JSON text of the value's snapshot tree].
duk_ret_t snapshot(duk_context* ctx, void*) {
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, keys::kSnapshot);
  duk_remove(ctx, -2);
  duk_dup(ctx, -2);
  duk_call(ctx, 1);
  return 1;
}

// The snapshot tree: [tag, ...] nodes (see the library's snapshot function).
Variant fromTree(const json& node, JScriptRun& run) {
  const std::string& tag = node.at(0).get_ref<const std::string&>();
  switch (tag.empty() ? ' ' : tag[0]) {
    case 'z':
      return Variant::null();
    case 'b':
      return Variant(node.at(1).get<bool>());
    case 's':
    case 'x':
      return Variant(automation::fromUtf8(node.at(1).get<std::string>()));
    case 'n':
      return numberVariant(node.at(1).get<double>());
    case 'N':
      return Variant(std::strtod(node.at(1).get<std::string>().c_str(), nullptr));
    case 'd':
      return millisecondsToDate(node.at(1).get<double>());
    case 'w':
      return Variant(run.objects().object(node.at(1).get<std::size_t>()));
    case 'm':
      return memberValue(run, node.at(1).get<std::size_t>());
    case 'a': {
      ScriptObject::Properties elements;
      for (std::size_t i = 2; i < node.size(); ++i) {
        elements.emplace_back(automation::fromUtf8(std::to_string(i - 2)), fromTree(node[i], run));
      }
      return Variant(automation::ObjectRef(
          std::make_shared<ScriptObject>(ScriptObject::Kind::Array, std::move(elements),
                                         automation::fromUtf8(node.at(1).get<std::string>()))));
    }
    case 'o': {
      ScriptObject::Properties properties;
      for (std::size_t i = 2; i < node.size(); ++i) {
        properties.emplace_back(automation::fromUtf8(node[i].at(0).get<std::string>()),
                                fromTree(node[i].at(1), run));
      }
      return Variant(automation::ObjectRef(
          std::make_shared<ScriptObject>(ScriptObject::Kind::Object, std::move(properties),
                                         automation::fromUtf8(node.at(1).get<std::string>()))));
    }
    default:
      return Variant();
  }
}

Variant scriptValue(duk_context* ctx, duk_idx_t index, JScriptRun& run) {
  duk_dup(ctx, index);
  bool ok =
      duk_safe_call(ctx, snapshot, nullptr, 1, 1) == DUK_EXEC_SUCCESS && duk_is_string(ctx, -1);
  std::string tree;
  if (ok) {
    duk_size_t length = 0;
    const char* s = duk_get_lstring(ctx, -1, &length);
    tree.assign(s, length);
  }
  duk_pop(ctx);
  if (ok) {
    try {
      return fromTree(json::parse(tree), run);
    } catch (const json::exception&) {
    }
  }
  duk_dup(ctx, index);
  duk_size_t length = 0;
  const char* s = duk_safe_to_lstring(ctx, -1, &length);
  Variant text(fromEngineString(std::string_view(s, length)));
  duk_pop(ctx);
  return text;
}

Variant objectToVariant(duk_context* ctx, duk_idx_t index, JScriptRun& run) {
  void* p = duk_get_heapptr(ctx, index);
  if (auto slot = run.objects().slotOfWrapper(p)) {
    automation::ObjectRef object = run.objects().object(*slot);
    if (auto* shaped = dynamic_cast<const VariantArrayObject*>(object.get()))
      return shaped->array();
    return Variant(std::move(object));
  }
  if (auto member = run.objects().memberOfProxy(p)) return memberValue(run, *member);
  if (duk_is_buffer_data(ctx, index)) {
    duk_size_t size = 0;
    auto* bytes = static_cast<const std::uint8_t*>(duk_get_buffer_data(ctx, index, &size));
    return Variant(Variant::Bytes(bytes, bytes + size));
  }
  return scriptValue(ctx, index, run);
}

void defineIndexed(duk_context* ctx, duk_uarridx_t i) {
  duk_push_uint(ctx, i);
  duk_insert(ctx, -2);
  duk_def_prop(ctx, -3,
               DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_SET_WRITABLE | DUK_DEFPROP_SET_ENUMERABLE |
                   DUK_DEFPROP_SET_CONFIGURABLE);
}

void pushScriptObject(duk_context* ctx, JScriptRun& run, const ScriptObject& object) {
  duk_require_stack(ctx, 4);
  if (object.kind() == ScriptObject::Kind::Array) {
    duk_push_array(ctx);
    duk_uarridx_t i = 0;
    for (const auto& [name, value] : object.properties()) {
      pushVariant(ctx, run, value);
      defineIndexed(ctx, i++);
    }
    return;
  }
  duk_push_object(ctx);
  for (const auto& [name, value] : object.properties()) {
    pushText(ctx, name);
    pushVariant(ctx, run, value);
    duk_def_prop(ctx, -3,
                 DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_SET_WRITABLE | DUK_DEFPROP_SET_ENUMERABLE |
                     DUK_DEFPROP_SET_CONFIGURABLE);
  }
}

}  // namespace

Text textAt(duk_context* ctx, int index) {
  duk_size_t length = 0;
  const char* s = duk_get_lstring(ctx, index, &length);
  return s ? fromEngineString(std::string_view(s, length)) : Text();
}

Variant toVariant(duk_context* ctx, int index, JScriptRun& run) {
  index = duk_normalize_index(ctx, index);
  switch (duk_get_type(ctx, index)) {
    case DUK_TYPE_NULL:
      return Variant::null();
    case DUK_TYPE_BOOLEAN:
      return Variant(static_cast<bool>(duk_get_boolean(ctx, index)));
    case DUK_TYPE_NUMBER:
      return numberVariant(duk_get_number(ctx, index));
    case DUK_TYPE_STRING:
      return Variant(textAt(ctx, index));
    case DUK_TYPE_OBJECT:
    case DUK_TYPE_BUFFER:
    case DUK_TYPE_LIGHTFUNC:
      return objectToVariant(ctx, index, run);
    default:
      return Variant();
  }
}

std::vector<Variant> arguments(duk_context* ctx, JScriptRun& run, int from) {
  std::vector<Variant> args;
  duk_idx_t n = duk_get_top(ctx);
  for (duk_idx_t i = from; i < n; ++i) args.push_back(toVariant(ctx, i, run));
  return args;
}

void pushText(duk_context* ctx, automation::TextView s) {
  std::size_t length = engineLength(s);
  char* p = static_cast<char*>(duk_push_fixed_buffer(ctx, length));
  writeEngineString(s, p);
  duk_buffer_to_string(ctx, -1);
}

void pushVariant(duk_context* ctx, JScriptRun& run, const Variant& v) {
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
      if (auto* script = dynamic_cast<const ScriptObject*>(v.object().get())) {
        pushScriptObject(ctx, run, *script);
      } else {
        pushObject(ctx, run, v.object());
      }
      return;
    case VarType::Date:
      duk_push_heap_stash(ctx);
      duk_get_prop_string(ctx, -1, keys::kDate);
      duk_remove(ctx, -2);
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
      if (v.arrayBounds().size() > 1) {
        pushObject(ctx, run, std::make_shared<VariantArrayObject>(v));
        return;
      }
      duk_require_stack(ctx, 4);
      duk_push_array(ctx);
      duk_uarridx_t i = 0;
      for (const Variant& item : v.array()) {
        pushVariant(ctx, run, item);
        defineIndexed(ctx, i++);
      }
      return;
    }
    default:
      duk_push_number(ctx, automation::toDouble(v));
      return;
  }
}

}  // namespace host::jscript
