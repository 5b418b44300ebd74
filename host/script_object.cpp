// Script objects kept by the host: one member per property (read and written by name), the
// length of an array, and the default value; and the opaque holder of a shaped variant array.
#include "script_object.h"

namespace host {
using automation::Args;
using automation::MemberInfo;
using automation::Text;
using automation::Variant;

ScriptObject::ScriptObject(Kind kind, Properties properties, Text text)
    : kind_(kind), properties_(std::move(properties)), text_(std::move(text)), info_(describe()) {}

std::shared_ptr<ScriptObject> ScriptObject::array(std::vector<Variant> elements) {
  Properties properties;
  properties.reserve(elements.size());
  Text joined;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) joined += u',';
    joined += elements[i].isObject() ? Text(u"[object Object]") : automation::joinText(elements[i]);
    properties.emplace_back(automation::fromUtf8(std::to_string(i)), std::move(elements[i]));
  }
  return std::make_shared<ScriptObject>(Kind::Array, std::move(properties), std::move(joined));
}

std::shared_ptr<ScriptObject> ScriptObject::object(Properties properties) {
  return std::make_shared<ScriptObject>(Kind::Object, std::move(properties), u"[object Object]");
}

std::optional<std::vector<Variant>> ScriptObject::enumerate() {
  std::vector<Variant> items;
  for (const auto& [name, value] : properties_) {
    items.push_back(kind_ == Kind::Array ? value : Variant(name));
  }
  return items;
}

std::size_t ScriptObject::heldBytes() const {
  std::size_t total = 2 * text_.size();
  for (const auto& [name, value] : properties_)
    total += 2 * name.size() + automation::heldBytes(value);
  return total;
}

automation::TypeInfo ScriptObject::describe() const {
  std::vector<MemberInfo> members;
  for (std::size_t i = 0; i < properties_.size(); ++i) {
    MemberInfo m;
    m.name = properties_[i].first;
    m.kind = MemberInfo::Kind::Property;
    m.get = [i](automation::Dispatch& d, Args) {
      return static_cast<ScriptObject&>(d).properties_[i].second;
    };
    m.put = [i](automation::Dispatch& d, Args, const Variant& v) {
      static_cast<ScriptObject&>(d).properties_[i].second = v;
    };
    members.push_back(std::move(m));
  }
  if (kind_ == Kind::Array) {
    MemberInfo length;
    length.name = u"length";
    length.kind = MemberInfo::Kind::Property;
    length.get = [](automation::Dispatch& d, Args) {
      return Variant(static_cast<int>(static_cast<ScriptObject&>(d).properties_.size()));
    };
    members.push_back(std::move(length));
  }
  MemberInfo value;  // no name: reachable only as the default member
  value.kind = MemberInfo::Kind::Property;
  value.isDefault = true;
  value.get = [](automation::Dispatch& d, Args) {
    return Variant(static_cast<ScriptObject&>(d).text());
  };
  members.push_back(std::move(value));
  return automation::TypeInfo(kind_ == Kind::Array ? u"JScriptArray" : u"JScriptObject", u"",
                              std::move(members));
}

const automation::TypeInfo& VariantArrayObject::typeInfo() const {
  static const automation::TypeInfo info(u"SafeArray", u"", {});
  return info;
}

}  // namespace host
