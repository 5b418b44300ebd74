#include "ado/connection_string.h"

#include "automation/error.h"

namespace ado {
namespace {

using Pairs = std::vector<std::pair<Text, Text>>;

constexpr TextView kSource = u"ADODB.Connection";

std::optional<Text> lookup(const Pairs& pairs, std::initializer_list<TextView> keys) {
  for (const auto& [key, value] : pairs) {
    for (TextView k : keys) {
      if (automation::equalsIgnoreCase(key, k)) return value;
    }
  }
  return std::nullopt;
}

bool startsWithIgnoreCase(TextView s, TextView prefix) {
  return s.size() >= prefix.size() &&
         automation::equalsIgnoreCase(s.substr(0, prefix.size()), prefix);
}

// A value that holds ';' or braces goes into braces, '}' doubled, as ODBC reads it.
Text odbcValue(const Text& v) {
  if (v.find_first_of(u";{}") == Text::npos &&
      (v.empty() || (v.front() != u' ' && v.back() != u' '))) {
    return v;
  }
  return u"{" + automation::replaceAll(v, u"}", u"}}") + u"}";
}

void addOdbcKey(Text& out, TextView key, const Text& value) {
  if (!out.empty()) out += u';';
  out += key;
  out += u'=';
  out += odbcValue(value);
}

Text odbcPassThrough(const Pairs& pairs, TextView userId, TextView password) {
  Text out;
  for (const auto& [key, value] : pairs) {
    if (automation::equalsIgnoreCase(key, u"Provider")) continue;
    if (!userId.empty() && (automation::equalsIgnoreCase(key, u"UID") ||
                            automation::equalsIgnoreCase(key, u"User ID"))) {
      continue;
    }
    if (!password.empty() && (automation::equalsIgnoreCase(key, u"PWD") ||
                              automation::equalsIgnoreCase(key, u"Password"))) {
      continue;
    }
    addOdbcKey(out, key, value);
  }
  if (!userId.empty()) addOdbcKey(out, u"UID", Text(userId));
  if (!password.empty()) addOdbcKey(out, u"PWD", Text(password));
  return out;
}

Text sqlServerOverOdbc(const Pairs& pairs, TextView userId, TextView password, TextView driver) {
  Text out;
  addOdbcKey(out, u"Driver", Text(driver));
  if (auto server = lookup(pairs, {u"Data Source", u"Server", u"Address", u"Addr"})) {
    // "host,port" is how SQL Server clients name a port; ODBC drivers take it apart.
    std::size_t comma = server->find(u',');
    addOdbcKey(out, u"Server", automation::trim(server->substr(0, comma)));
    if (comma != Text::npos) addOdbcKey(out, u"Port", automation::trim(server->substr(comma + 1)));
  }
  if (auto db = lookup(pairs, {u"Initial Catalog", u"Database"})) addOdbcKey(out, u"Database", *db);
  auto user = userId.empty() ? lookup(pairs, {u"User ID", u"UID"}) : Text(userId);
  if (user) addOdbcKey(out, u"UID", *user);
  auto pwd = password.empty() ? lookup(pairs, {u"Password", u"PWD"}) : Text(password);
  if (pwd) addOdbcKey(out, u"PWD", *pwd);
  return out;
}

}  // namespace

Pairs parseConnectionString(TextView s) {
  Pairs pairs;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t eq = s.find(u'=', i);
    std::size_t semi = s.find(u';', i);
    if (eq == TextView::npos || eq > semi) {  // a piece without '=' carries nothing
      i = semi == TextView::npos ? s.size() : semi + 1;
      continue;
    }
    Text key = automation::trim(s.substr(i, eq - i));
    std::size_t v = s.find_first_not_of(u' ', eq + 1);
    Text value;
    if (v != TextView::npos && (s[v] == u'{' || s[v] == u'"' || s[v] == u'\'')) {
      char16_t close = s[v] == u'{' ? u'}' : s[v];
      std::size_t k = v + 1;
      for (; k < s.size(); ++k) {
        if (s[k] != close) {
          value += s[k];
        } else if (k + 1 < s.size() && s[k + 1] == close) {
          value += s[k++];
        } else {
          break;
        }
      }
      semi = s.find(u';', k);
    } else {
      value = automation::trim(
          s.substr(eq + 1, semi == TextView::npos ? TextView::npos : semi - eq - 1));
    }
    if (!key.empty()) pairs.emplace_back(std::move(key), std::move(value));
    i = semi == TextView::npos ? s.size() : semi + 1;
  }
  return pairs;
}

ConnectionTarget resolveConnectionString(TextView s, TextView userId, TextView password,
                                         TextView sqlServerDriver) {
  Pairs pairs = parseConnectionString(s);
  Text provider = lookup(pairs, {u"Provider"}).value_or(u"");
  using Kind = ConnectionTarget::Kind;
  if (automation::equalsIgnoreCase(provider, u"SQLite")) {
    return {Kind::Sqlite, lookup(pairs, {u"Data Source", u"Database"}).value_or(u"")};
  }
  if (startsWithIgnoreCase(provider, u"SQLOLEDB") || startsWithIgnoreCase(provider, u"SQLNCLI") ||
      startsWithIgnoreCase(provider, u"MSOLEDBSQL")) {
    return {Kind::Odbc, sqlServerOverOdbc(pairs, userId, password, sqlServerDriver)};
  }
  bool odbcKeys = lookup(pairs, {u"Driver", u"DSN", u"FileDSN"}).has_value();
  if (startsWithIgnoreCase(provider, u"MSDASQL") || (provider.empty() && odbcKeys)) {
    return {Kind::Odbc, odbcPassThrough(pairs, userId, password)};
  }
  if (provider.empty()) {
    automation::throwProviderError(kSource,
                                   u"The connection string names no provider, driver or DSN.");
  }
  automation::throwProviderError(kSource,
                                 u"Provider cannot be found. It may not be properly installed.");
}

}  // namespace ado
