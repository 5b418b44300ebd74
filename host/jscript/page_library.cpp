// The page library: a short script run once per heap (Enumerator, VBArray, getVarDate and the
// snapshot of script objects), the natives behind it, and the error hooks. The script keeps its
// own references to the built-ins it uses, so that a page replacing them changes nothing here.
#include "page_library.h"

#include <cstdio>
#include <cstdlib>

#include "duktape.h"
#include "duktape_heap.h"
#include "error_guard.h"
#include "heap_keys.h"
#include "jscript_run.h"
#include "member_proxy.h"
#include "script_object.h"
#include "value_conversion.h"

namespace host::jscript {
using automation::Variant;

namespace {

constexpr const char* kLibrary = R"JS(
(function (global, natives) {
  'use strict';
  var keys = Object.keys, toStr = Object.prototype.toString, define = Object.defineProperty,
      getTime = Date.prototype.getTime, setPrototypeOf = Object.setPrototypeOf, DateCtor = Date, ErrorCtor = Error, str = String,
      finite = isFinite, encode = Duktape.enc, state = Symbol('state');

  function hide(object, name, value) {
    define(object, name, { value: value, writable: true, configurable: true, enumerable: false });
  }
  function subscriptOutOfRange() {
    var e = new ErrorCtor('Subscript out of range');
    e.number = -2146828279;
    e.description = 'Subscript out of range';
    return e;
  }

  function Enumerator(collection) {
    if (!(this instanceof Enumerator)) return new Enumerator(collection);
    hide(this, state, { items: collection === undefined ? [] : natives.items(collection), at: 0 });
  }
  hide(Enumerator.prototype, 'atEnd', function () {
    var s = this[state];
    return s.at >= s.items.length;
  });
  hide(Enumerator.prototype, 'item', function () {
    var s = this[state];
    return s.at < s.items.length ? s.items[s.at] : undefined;
  });
  hide(Enumerator.prototype, 'moveFirst', function () { this[state].at = 0; });
  hide(Enumerator.prototype, 'moveNext', function () {
    var s = this[state];
    if (s.at < s.items.length) s.at++;
  });

  // bounds: lower bound and count of each dimension; items: first index varying fastest.
  function VBArray(safeArray) {
    if (!(this instanceof VBArray)) return new VBArray(safeArray);
    var info = natives.arrayInfo(safeArray);
    hide(this, state, { bounds: info[0], items: info[1] });
  }
  function dimension(s, d) {
    var n = d === undefined ? 1 : d;
    if (!(n >= 1 && n <= s.bounds.length / 2)) throw subscriptOutOfRange();
    return 2 * (n - 1);
  }
  hide(VBArray.prototype, 'dimensions', function () { return this[state].bounds.length / 2; });
  hide(VBArray.prototype, 'lbound', function (d) {
    var s = this[state];
    return s.bounds[dimension(s, d)];
  });
  hide(VBArray.prototype, 'ubound', function (d) {
    var s = this[state], i = dimension(s, d);
    return s.bounds[i] + s.bounds[i + 1] - 1;
  });
  hide(VBArray.prototype, 'getItem', function () {
    var s = this[state], b = s.bounds, offset = 0, stride = 1;
    if (arguments.length !== b.length / 2) throw subscriptOutOfRange();
    for (var d = 0; d < arguments.length; d++) {
      var i = arguments[d] - b[2 * d];
      if (!(i >= 0 && i < b[2 * d + 1])) throw subscriptOutOfRange();
      offset += i * stride;
      stride *= b[2 * d + 1];
    }
    return s.items[offset];
  });
  hide(VBArray.prototype, 'toArray', function () { return this[state].items.slice(0); });

  hide(DateCtor.prototype, 'getVarDate', function () { return new DateCtor(getTime.call(this)); });

  hide(global, 'Enumerator', Enumerator);
  hide(global, 'VBArray', VBArray);

  // A script value as a tree of [tag, ...] nodes, in JSON: z null, u undefined, b boolean,
  // n number, N other number (its text), s string, d date (ms), w wrapper (slot), m member
  // proxy (index), a array [a, text, elements...], o object [o, text, [name, node]...], x other
  // (its text). Functions are left out of objects; cycles and deep nesting end in text.
  function snapshot(value) {
    var seen = [];
    // Nodes have no prototype: a toJSON the page put on Object.prototype never sees them.
    function tuple(items) {
      setPrototypeOf(items, null);
      return items;
    }
    function node(x, depth) {
      if (x === null) return tuple(['z']);
      switch (typeof x) {
        case 'undefined': return tuple(['u']);
        case 'boolean': return tuple(['b', x]);
        case 'number': return finite(x) ? tuple(['n', x]) : tuple(['N', str(x)]);
        case 'string': return tuple(['s', x]);
      }
      var hosted = natives.slotOf(x);
      if (hosted >= 0) {
        return hosted % 2 === 0 ? tuple(['w', hosted / 2]) : tuple(['m', (hosted - 1) / 2]);
      }
      var kind = toStr.call(x);
      if (kind === '[object Date]') return tuple(['d', getTime.call(x)]);
      if ((kind !== '[object Array]' && kind !== '[object Object]') || depth > 32) {
        return tuple(['x', str(x)]);
      }
      for (var k = 0; k < seen.length; k++) if (seen[k] === x) return tuple(['x', str(x)]);
      seen[seen.length] = x;
      var out;
      if (kind === '[object Array]') {
        out = tuple(['a', str(x)]);
        for (var i = 0; i < x.length; i++) out[out.length] = node(x[i], depth + 1);
      } else {
        out = tuple(['o', str(x)]);
        var names = keys(x);
        for (var j = 0; j < names.length; j++) {
          var v = x[names[j]];
          if (typeof v !== 'function') out[out.length] = tuple([names[j], node(v, depth + 1)]);
        }
      }
      seen.length = seen.length - 1;
      return out;
    }
    return encode('jc', node(value, 0));
  }
  return snapshot;
})
)JS";

// JScript's numbers for the errors the engine raises; 0 for the rest, as JScript gives a plain
// Error the page makes.
struct EngineErrorNumber {
  const char* stashKey;
  const char* constructor;
  automation::HRESULT number;
};
constexpr EngineErrorNumber kEngineErrors[] = {
    {DUK_HIDDEN_SYMBOL("TypeError"), "TypeError", static_cast<automation::HRESULT>(0x800A01B6)},
    {DUK_HIDDEN_SYMBOL("ReferenceError"), "ReferenceError",
     static_cast<automation::HRESULT>(0x800A1391)},
    {DUK_HIDDEN_SYMBOL("SyntaxError"), "SyntaxError", static_cast<automation::HRESULT>(0x800A03EA)},
};

void fatal(const char* what) {
  std::fprintf(stderr, "balance-host: page library: %s\n", what);
  std::abort();
}

void defineHidden(duk_context* ctx, duk_idx_t object, const char* key) {
  duk_push_string(ctx, key);
  duk_insert(ctx, -2);
  duk_def_prop(ctx, object < 0 ? object - 1 : object,
               DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_SET_WRITABLE | DUK_DEFPROP_SET_CONFIGURABLE |
                   DUK_DEFPROP_CLEAR_ENUMERABLE);
}

// The value of `object`'s own data property `key` on top, or undefined: no getter runs.
void pushOwnValue(duk_context* ctx, duk_idx_t object, const char* key) {
  object = duk_normalize_index(ctx, object);
  duk_push_string(ctx, key);
  duk_get_prop_desc(ctx, object, 0);
  if (duk_is_object(ctx, -1)) {
    duk_get_prop_string(ctx, -1, "value");
    duk_remove(ctx, -2);
  }
}

// Duktape.errCreate: every error the engine or the page makes gets `number` and `description`.
// Reads nothing the page could have replaced.
duk_ret_t errorCreated(duk_context* ctx) {
  if (!duk_is_object(ctx, 0)) return 1;
  pushOwnValue(ctx, 0, "number");
  bool numbered = !duk_is_undefined(ctx, -1);
  duk_pop(ctx);
  if (!numbered) {
    automation::HRESULT number = 0;
    duk_get_prototype(ctx, 0);
    void* prototype = duk_get_heapptr(ctx, -1);
    duk_pop(ctx);
    duk_push_heap_stash(ctx);
    for (const EngineErrorNumber& e : kEngineErrors) {
      duk_get_prop_string(ctx, -1, e.stashKey);
      if (duk_get_heapptr(ctx, -1) == prototype) number = e.number;
      duk_pop(ctx);
    }
    duk_pop(ctx);
    duk_push_int(ctx, number);
    defineHidden(ctx, 0, "number");
  }
  pushOwnValue(ctx, 0, "description");
  bool described = !duk_is_undefined(ctx, -1);
  duk_pop(ctx);
  if (!described) {
    pushOwnValue(ctx, 0, "message");
    if (!duk_is_string(ctx, -1)) {
      duk_pop(ctx);
      duk_push_string(ctx, "");
    }
    defineHidden(ctx, 0, "description");
  }
  duk_dup(ctx, 0);
  return 1;
}

// Duktape.errThrow: remembers where a value was thrown, for values that carry no line.
duk_ret_t valueThrown(duk_context* ctx) {
  if (JScriptRun* run = DuktapeHeap::of(ctx).current()) run->noteThrow(callerLine(ctx));
  return 1;
}

// JScript's Error: new Error(number, description) besides new Error(message).
duk_ret_t scriptError(duk_context* ctx) {
  duk_idx_t n = duk_get_top(ctx);
  bool numbered = n >= 1 && duk_is_number(ctx, 0);
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, keys::kError);
  duk_remove(ctx, -2);
  if (numbered) {
    if (n >= 2 && !duk_is_undefined(ctx, 1)) {
      duk_dup(ctx, 1);
      duk_to_string(ctx, -1);
    } else {
      duk_push_string(ctx, "");
    }
    duk_new(ctx, 1);
    duk_dup(ctx, 0);
    defineHidden(ctx, -2, "number");
  } else {
    for (duk_idx_t i = 0; i < n; ++i) duk_dup(ctx, i);
    duk_new(ctx, n);
  }
  if (int line = callerLine(ctx); line > 0) {
    duk_push_int(ctx, line);
    defineHidden(ctx, -2, "lineNumber");
  }
  return 1;
}

void writeLiteral(duk_context* ctx, JScriptRun& run) {
  run.site().writeLiteral(duk_get_uint(ctx, 0));
}

void writeValue(duk_context* ctx, JScriptRun& run) {
  run.site().writeValue(defaultValue(toVariant(ctx, 0, run)));
}

// The items an Enumerator visits.
void enumerationItems(duk_context* ctx, JScriptRun& run) {
  Variant v = toVariant(ctx, 0, run);
  if (v.type() == automation::VarType::VariantArray) return run.returnValue(std::move(v));
  std::optional<std::vector<Variant>> items;
  if (v.isObject() && v.object()) items = v.object()->enumerate();
  if (!items) {
    throw automation::AutomationError(static_cast<automation::HRESULT>(0x800A01B6), u"JScript",
                                      u"Object doesn't support this property or method");
  }
  run.returnValue(Variant(std::move(*items)));
}

// [bounds, items] of a variant array, or of a script array, for VBArray: a lower bound and a
// count per dimension.
void arrayInfo(duk_context* ctx, JScriptRun& run) {
  Variant v = toVariant(ctx, 0, run);
  std::vector<Variant> items;
  Variant::Array bounds;
  if (v.type() == automation::VarType::VariantArray) {
    items = v.array();
    for (const automation::ArrayBound& b : v.arrayBounds()) {
      bounds.push_back(Variant(b.lower));
      bounds.push_back(Variant(b.count));
    }
  } else if (auto* script = v.isObject() ? dynamic_cast<ScriptObject*>(v.object().get()) : nullptr;
             script && script->kind() == ScriptObject::Kind::Array) {
    items = *script->enumerate();
    bounds = {Variant(0), Variant(static_cast<int>(items.size()))};
  } else {
    automation::throwTypeMismatch();
  }
  run.returnValue(Variant(Variant::Array{Variant(std::move(bounds)), Variant(std::move(items))}));
}

// Slot of a wrapper (2 * slot) or a member proxy (2 * index + 1); -1 for a script value.
duk_ret_t hostedSlot(duk_context* ctx) {
  double answer = -1;
  JScriptRun* run = DuktapeHeap::of(ctx).current();
  void* p = duk_get_heapptr(ctx, 0);
  if (run && p) {
    if (auto slot = run->objects().slotOfWrapper(p)) {
      answer = 2.0 * static_cast<double>(*slot);
    } else if (auto member = run->objects().memberOfProxy(p)) {
      answer = 2.0 * static_cast<double>(*member) + 1;
    }
  }
  duk_push_number(ctx, answer);
  return 1;
}

void addFunction(duk_context* ctx, const char* name, duk_c_function fn, duk_idx_t args) {
  duk_push_c_function(ctx, fn, args);
  defineHidden(ctx, -2, name);
}

void stashBuiltins(duk_context* ctx) {
  duk_push_heap_stash(ctx);
  duk_push_bare_object(ctx);
  duk_put_prop_string(ctx, -2, keys::kRuns);
  duk_get_global_string(ctx, "Date");
  duk_put_prop_string(ctx, -2, keys::kDate);
  duk_get_global_string(ctx, "Error");
  duk_put_prop_string(ctx, -2, keys::kError);
  for (const EngineErrorNumber& e : kEngineErrors) {
    duk_get_global_string(ctx, e.constructor);
    duk_get_prop_string(ctx, -1, "prototype");
    duk_put_prop_string(ctx, -3, e.stashKey);
    duk_pop(ctx);
  }
  duk_pop(ctx);
}

void installErrors(duk_context* ctx) {
  duk_get_global_string(ctx, "Duktape");
  duk_push_c_function(ctx, errorCreated, 1);
  duk_put_prop_string(ctx, -2, "errCreate");
  duk_push_c_function(ctx, valueThrown, 1);
  duk_put_prop_string(ctx, -2, "errThrow");
  duk_pop(ctx);
  duk_push_global_object(ctx);
  duk_push_c_function(ctx, scriptError, DUK_VARARGS);
  duk_push_heap_stash(ctx);
  duk_get_prop_string(ctx, -1, keys::kError);
  duk_remove(ctx, -2);
  duk_get_prop_string(ctx, -1, "prototype");
  duk_remove(ctx, -2);
  duk_push_string(ctx, "prototype");
  duk_insert(ctx, -2);
  duk_def_prop(ctx, -3, DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_CLEAR_WRITABLE);
  defineHidden(ctx, -2, "Error");
  duk_pop(ctx);
}

void runLibrary(duk_context* ctx) {
  duk_push_string(ctx, "page library");
  if (duk_pcompile_string_filename(ctx, DUK_COMPILE_EVAL, kLibrary) != 0) {
    fatal(duk_safe_to_string(ctx, -1));
  }
  if (duk_pcall(ctx, 0) != 0) fatal(duk_safe_to_string(ctx, -1));
  duk_push_global_object(ctx);
  duk_push_bare_object(ctx);
  addFunction(ctx, "items", native<enumerationItems>, 1);
  addFunction(ctx, "arrayInfo", native<arrayInfo>, 1);
  addFunction(ctx, "slotOf", hostedSlot, 1);
  if (duk_pcall(ctx, 2) != 0) fatal(duk_safe_to_string(ctx, -1));
  duk_push_heap_stash(ctx);
  duk_insert(ctx, -2);
  duk_put_prop_string(ctx, -2, keys::kSnapshot);
  duk_pop(ctx);
}

}  // namespace

void installPageLibrary(duk_context* ctx) {
  stashBuiltins(ctx);
  installProxyHandlers(ctx);
  installErrors(ctx);
  duk_push_global_object(ctx);
  addFunction(ctx, "$$text", native<writeLiteral>, 1);
  addFunction(ctx, "$$write", native<writeValue>, 1);
  duk_pop(ctx);
  runLibrary(ctx);
  // Classic pages have no Duktape object; the engine keeps its own reference to it.
  duk_push_global_object(ctx);
  duk_del_prop_string(ctx, -1, "Duktape");
  duk_pop(ctx);
}

}  // namespace host::jscript
