#include "session_json.h"

#include <iostream>
#include <nlohmann/json.hpp>

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
    auto date = automation::parseDate(fromUtf8(value["date"].get<std::string>()));
    if (date) return Variant(*date);
  }
  throw std::invalid_argument("session value " + key + " has no session form");
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
    std::string name = toUtf8(key);
    switch (value.type()) {
      case VarType::Empty:
      case VarType::Missing:
        break;
      case VarType::Null:
        document[name] = nullptr;
        break;
      case VarType::Bool:
        document[name] = automation::toBool(value);
        break;
      case VarType::I2:
      case VarType::I4:
      case VarType::I8:
        document[name] = automation::toInt64Rounded(value);
        break;
      case VarType::R4:
      case VarType::R8:
        document[name] = automation::toDouble(value);
        break;
      case VarType::Date:
        document[name] = {{"date", toUtf8(automation::toDate(value).text())}};
        break;
      case VarType::Text:
        document[name] = toUtf8(value.text());
        break;
      default:
        std::cerr << "balance-host: session value " << name << " is not kept (no JSON form)\n";
    }
  }
  return document.dump(2) + "\n";
}

}  // namespace host
