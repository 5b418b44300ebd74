#include "ado/column_types.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <unordered_map>

#include "ado/provider.h"

namespace ado {
namespace {

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

// The first word: "varchar(50)" -> "varchar", "int identity" -> "int".
std::string_view firstWord(std::string_view s) {
  std::size_t begin = s.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  std::size_t end = begin;
  while (end < s.size() && (std::isalnum(static_cast<unsigned char>(s[end])) || s[end] == '_')) {
    ++end;
  }
  return s.substr(begin, end - begin);
}

const std::unordered_map<std::string_view, std::int32_t>& namedTypes() {
  using namespace adoType;
  static const std::unordered_map<std::string_view, std::int32_t> types = {
      {"int", kInteger},
      {"integer", kInteger},
      {"smallint", kSmallInt},
      {"tinyint", kTinyInt},
      {"bit", kBoolean},
      {"boolean", kBoolean},
      {"bigint", kBigInt},
      {"real", kSingle},
      {"float", kDouble},
      {"double", kDouble},
      {"decimal", kNumeric},
      {"numeric", kNumeric},
      {"money", kCurrency},
      {"smallmoney", kCurrency},
      {"datetime", kDateTime},
      {"datetime2", kDateTime},
      {"smalldatetime", kDateTime},
      {"timestamp", kDateTime},
      {"date", kDate},
      {"char", kChar},
      {"character", kChar},
      {"varchar", kVarChar},
      {"text", kLongVarChar},
      {"nchar", kWChar},
      {"nvarchar", kVarWChar},
      {"sysname", kVarWChar},
      {"ntext", kLongVarWChar},
      {"binary", kBinary},
      {"varbinary", kVarBinary},
      {"image", kLongVarBinary},
      {"blob", kLongVarBinary},
      {"uniqueidentifier", kGuid},
  };
  return types;
}

// SQLite's affinity rules for names outside the list ("unsigned big int", "clob").
std::int32_t byAffinity(const std::string& name) {
  auto has = [&](std::string_view part) { return name.find(part) != std::string::npos; };
  if (has("int")) return adoType::kInteger;
  if (has("char") || has("clob") || has("text")) return adoType::kVarChar;
  if (has("blob")) return adoType::kLongVarBinary;
  if (has("real") || has("floa") || has("doub")) return adoType::kDouble;
  return adoType::kNumeric;
}

}  // namespace

std::optional<std::int32_t> adoTypeFromDeclared(std::string_view declared) {
  std::string name = lowerAscii(declared);
  std::string_view word = firstWord(name);
  if (word.empty()) return std::nullopt;
  auto it = namedTypes().find(word);
  if (it != namedTypes().end()) return it->second;
  return byAffinity(name);
}

bool isDateType(std::int32_t type) { return type == adoType::kDateTime || type == adoType::kDate; }

std::int32_t typeSize(std::int32_t type) {
  switch (type) {
    case adoType::kTinyInt:
      return 1;
    case adoType::kSmallInt:
    case adoType::kBoolean:
      return 2;
    case adoType::kInteger:
    case adoType::kSingle:
      return 4;
    case adoType::kBigInt:
    case adoType::kDouble:
    case adoType::kCurrency:
    case adoType::kDate:
      return 8;
    case adoType::kDateTime:
    case adoType::kGuid:
      return 16;
    case adoType::kNumeric:
      return 19;
    default:
      return 2147483647;
  }
}

std::int32_t definedSize(std::string_view declared, std::int32_t type) {
  std::size_t open = declared.find('(');
  if (open != std::string_view::npos && !isDateType(type)) {
    std::int64_t n = 0;
    std::size_t i = open + 1;
    while (i < declared.size() && declared[i] == ' ') ++i;
    for (; i < declared.size() && std::isdigit(static_cast<unsigned char>(declared[i])) &&
           n < 2147483647;
         ++i) {
      n = n * 10 + (declared[i] - '0');
    }
    if (n > 0 && type != adoType::kNumeric)
      return static_cast<std::int32_t>(std::min<std::int64_t>(n, 2147483647));
  }
  return typeSize(type);
}

Text storedDateText(automation::Date d) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(),
                d.day(), d.hour(), d.minute(), d.second());
  return automation::fromUtf8(buffer);
}

}  // namespace ado
