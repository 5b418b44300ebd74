// Session contents to and from JSON.
#include "session_json.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "script_object.h"

namespace host {
using automation::fromUtf8;
using automation::toUtf8;
using automation::Variant;
using automation::VarType;
using nlohmann::json;

namespace {

Variant fromJson(const std::string& key, const json& value) {
  if (value.is_string()) return Variant(fromUtf8(value.get<std::string>()));
  if (value.is_boolean()) return Variant(value.get<bool>());
  if (value.is_null()) return Variant::null();
  if (value.is_number_integer()) {
    auto n = value.get<std::int64_t>();
    if (n >= INT16_MIN && n <= INT16_MAX) return Variant(static_cast<std::int16_t>(n));
    if (n >= INT32_MIN && n <= INT32_MAX) return Variant(static_cast<int>(n));
    return Variant(static_cast<double>(n));
  }
  if (value.is_number()) return Variant(value.get<double>());
  if (value.is_object() && value.size() == 1 && value.contains("date") &&
      value["date"].is_string()) {
    if (auto date = automation::parseDate(fromUtf8(value["date"].get<std::string>()))) {
      return Variant(*date);
    }
  }
  if (value.is_array()) {
    std::vector<Variant> elements;
    for (const json& element : value) elements.push_back(fromJson(key, element));
    return Variant(automation::ObjectRef(ScriptObject::array(std::move(elements))));
  }
  if (value.is_object()) {
    ScriptObject::Properties properties;
    for (const auto& [name, v] : value.items())
      properties.emplace_back(fromUtf8(name), fromJson(key, v));
    return Variant(automation::ObjectRef(ScriptObject::object(std::move(properties))));
  }
  throw std::invalid_argument("session value " + key + " has no session form");
}

// nullopt for a value without a lasting form.
std::optional<json> toJson(const Variant& value) {
  switch (value.type()) {
    case VarType::Null:
      return json(nullptr);
    case VarType::Bool:
      return json(automation::toBool(value));
    case VarType::I2:
    case VarType::I4:
    case VarType::I8:
      return json(automation::toInt64Rounded(value));
    case VarType::R4:
    case VarType::R8:
      return json(automation::toDouble(value));
    case VarType::Date:
      return json{{"date", toUtf8(automation::toDate(value).text())}};
    case VarType::Text:
      return json(toUtf8(value.text()));
    case VarType::Object:
      if (auto* script = dynamic_cast<const ScriptObject*>(value.object().get())) {
        bool array = script->kind() == ScriptObject::Kind::Array;
        json out = array ? json::array() : json::object();
        for (const auto& [name, v] : script->properties()) {
          std::optional<json> element = v.isEmpty() ? std::optional<json>() : toJson(v);
          if (array) {
            out.push_back(element ? *element : json(nullptr));
          } else if (element) {
            out[toUtf8(name)] = *element;
          }
        }
        return out;
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace

void readSessionJson(const std::string& text, asp::KeyedValues& into) {
  json document;
  try {
    document = json::parse(text);
  } catch (const json::parse_error& e) {
    throw std::invalid_argument(e.what());
  }
  if (!document.is_object()) throw std::invalid_argument("the session file holds no JSON object");
  for (const auto& [key, value] : document.items()) into.set(fromUtf8(key), fromJson(key, value));
}

std::string writeSessionJson(const asp::KeyedValues& values) {
  json document = json::object();
  for (const auto& [key, value] : values.items()) {
    if (value.isEmpty() || value.isMissing()) continue;
    std::string name = toUtf8(key);
    if (auto v = toJson(value)) {
      document[name] = std::move(*v);
    } else {
      std::cerr << "balance-host: session value " << name << " is not kept (no JSON form)\n";
    }
  }
  return document.dump(2) + "\n";
}

}  // namespace host
