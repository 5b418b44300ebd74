// Late-bound objects: the stand-in for IDispatch. A class describes its members once, in a
// MemberTable (name, kind, parameter names, by value or by reference, optional or not, in
// interface order); the same table serves scripts, which invoke members by name, and the
// type listing. C++ callers use the typed methods of the class directly.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "variant.h"

namespace automation {

enum class InvokeKind { Method, PropertyGet, PropertyPut };

struct ParamInfo {
  Text name;
  bool byRef = true;
  bool optional = false;
};

inline ParamInfo byRef(Text name) { return {std::move(name), true, false}; }
inline ParamInfo byVal(Text name) { return {std::move(name), false, false}; }
inline ParamInfo optionalByVal(Text name) { return {std::move(name), false, true}; }
inline ParamInfo optionalByRef(Text name) { return {std::move(name), true, true}; }

class Dispatch;

struct MemberInfo {
  enum class Kind { Sub, Function, Property };
  Text name;
  Kind kind = Kind::Function;
  // Parameters of a method; for a property, its index parameters (the assigned value of a
  // put is passed after them and is not listed).
  std::vector<ParamInfo> params;
  Text valueName;  // name of a property's assigned value, for the type listing
  bool isDefault = false;
  std::function<Variant(Dispatch&, Args)> get;               // method call or property get
  std::function<void(Dispatch&, Args, const Variant&)> put;  // property put, if writable
};

class TypeInfo {
 public:
  TypeInfo(Text interfaceName, Text iid, std::vector<MemberInfo> members);
  const Text& name() const { return name_; }
  const Text& iid() const { return iid_; }
  const std::vector<MemberInfo>& members() const { return members_; }
  const MemberInfo* find(TextView name) const;  // case-insensitive, as script hosts look up
  const MemberInfo* defaultMember() const;

 private:
  Text name_;
  Text iid_;
  std::vector<MemberInfo> members_;
};

class Dispatch : public std::enable_shared_from_this<Dispatch> {
 public:
  virtual ~Dispatch() = default;
  virtual const TypeInfo& typeInfo() const = 0;

  // Invokes a member by name; an empty name is the default member. Arguments of by-reference
  // parameters are updated in place; trailing optional arguments may be left out.
  Variant invoke(TextView member, InvokeKind kind, Args args);
  Variant invoke(TextView member, InvokeKind kind, std::vector<Variant> args = {});
  bool hasMember(TextView name) const { return typeInfo().find(name) != nullptr; }

  // The items For Each visits, in order (COM's _NewEnum), taken when the loop starts;
  // nullopt for an object that is no collection.
  virtual std::optional<std::vector<Variant>> enumerate() { return std::nullopt; }

  // The bytes of data the object keeps of its own (a script's object copied into the host),
  // for the limits on what a session may keep; 0 for an object that is a handle on something.
  virtual std::size_t heldBytes() const { return 0; }
};

// Roughly the memory a value keeps: texts at two bytes a code unit, arrays element by element,
// objects by what they hold. Limits on what outlives a request are counted in it.
std::size_t heldBytes(const Variant& value);

// Builds the member table of class T. Handlers receive the object as T&.
template <class T>
class MemberTable {
 public:
  using Handler = std::function<Variant(T&, Args)>;
  using SubHandler = std::function<void(T&, Args)>;
  using Putter = std::function<void(T&, Args, const Variant&)>;

  MemberTable(Text interfaceName, Text iid)
      : name_(std::move(interfaceName)), iid_(std::move(iid)) {}

  MemberTable& function(Text name, std::vector<ParamInfo> params, Handler h) {
    return add(std::move(name), MemberInfo::Kind::Function, std::move(params), std::move(h), {});
  }
  MemberTable& sub(Text name, std::vector<ParamInfo> params, SubHandler h) {
    return add(std::move(name), MemberInfo::Kind::Sub, std::move(params),
               [h = std::move(h)](T& self, Args a) {
                 h(self, a);
                 return Variant();
               },
               {});
  }
  MemberTable& property(Text name, std::vector<ParamInfo> indexParams, Handler get, Putter put,
                        Text valueName = u"") {
    add(std::move(name), MemberInfo::Kind::Property, std::move(indexParams), std::move(get),
        std::move(put));
    members_.back().valueName = std::move(valueName);
    return *this;
  }
  MemberTable& readOnly(Text name, Handler get) {
    return property(std::move(name), {}, std::move(get), {});
  }
  MemberTable& writeOnly(Text name, Text valueName, Putter put) {
    return property(std::move(name), {}, {}, std::move(put), std::move(valueName));
  }
  // A public field: read as it is, assigned through the field type's conversion.
  template <class F>
  MemberTable& field(Text name, F T::*member) {
    return property(
        std::move(name), {}, [member](T& self, Args) { return Variant(self.*member); },
        [member](T& self, Args, const Variant& v) { assignConverted(self.*member, v); });
  }
  // Marks the last added member as the default member (DISPID_VALUE).
  MemberTable& asDefault() {
    members_.back().isDefault = true;
    return *this;
  }

  TypeInfo build() { return TypeInfo(std::move(name_), std::move(iid_), std::move(members_)); }

 private:
  static void assignConverted(Text& f, const Variant& v) { f = toText(v); }
  static void assignConverted(Int16& f, const Variant& v) { f = toInt16(v); }
  static void assignConverted(std::int16_t& f, const Variant& v) { f = toInt16(v); }
  static void assignConverted(std::int32_t& f, const Variant& v) { f = toInt32(v); }
  static void assignConverted(bool& f, const Variant& v) { f = toBool(v); }
  static void assignConverted(Variant& f, const Variant& v) { f = v; }

  MemberTable& add(Text name, MemberInfo::Kind kind, std::vector<ParamInfo> params, Handler get,
                   Putter put) {
    MemberInfo m;
    m.name = std::move(name);
    m.kind = kind;
    m.params = std::move(params);
    if (get) m.get = [g = std::move(get)](Dispatch& d, Args a) { return g(static_cast<T&>(d), a); };
    if (put) {
      m.put = [p = std::move(put)](Dispatch& d, Args a, const Variant& v) {
        p(static_cast<T&>(d), a, v);
      };
    }
    members_.push_back(std::move(m));
    return *this;
  }

  Text name_;
  Text iid_;
  std::vector<MemberInfo> members_;
};

// The 0-based position that a number names in a collection of `count` items counted from
// `base` (1 for the page objects' collections, 0 for ADO's); nullopt when `index` is no number.
// A number outside the collection raises "subscript out of range".
std::optional<std::size_t> ordinal(const Variant& index, std::size_t count, int base = 1);

// Casts an object argument to the class a member expects, or raises the type-mismatch error.
template <class T>
std::shared_ptr<T> objectAs(const Variant& v) {
  if (!v.isObject()) throwTypeMismatch();
  auto p = std::dynamic_pointer_cast<T>(v.object());
  if (!p) throwTypeMismatch();
  return p;
}

}  // namespace automation
