// Insert, update and delete statements for the current row of an updatable recordset.
#include "ado/record_writes.h"

#include <algorithm>

#include "ado/ado_errors.h"
#include "ado/sql_tokens.h"

namespace ado {
namespace {

Text bracketed(TextView name) {
  if (name.find(u']') != TextView::npos) throwNotUpdatable(errorSource::kRecordset);
  return u"[" + Text(name) + u"]";
}

Text columnList(const std::vector<Text>& columns) {
  Text list;
  for (const auto& c : columns) list += (list.empty() ? u"" : u", ") + bracketed(c);
  return list;
}

Text tableName(TextView table) {
  auto tokens = sql::tokenize(table);
  return tokens.size() == 1 ? sql::unquotedName(tokens[0]) : Text(table);
}

}  // namespace

std::optional<Text> updatableTable(TextView selectSql) {
  std::vector<sql::Token> tokens;
  for (const auto& t : sql::tokenize(selectSql)) {
    if (t.kind != sql::TokenKind::Blank && t.kind != sql::TokenKind::Comment) tokens.push_back(t);
  }
  if (tokens.empty() || !sql::isWord(tokens[0], u"select")) return std::nullopt;
  int depth = 0;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    if (sql::isSymbol(tokens[i], u"(")) ++depth;
    if (sql::isSymbol(tokens[i], u")")) --depth;
    if (depth != 0 || !sql::isWord(tokens[i], u"from")) continue;
    // The table: one name, possibly qualified ("dbo.person"), then the end or a clause.
    auto isName = [&](std::size_t k) {
      return k < tokens.size() && (tokens[k].kind == sql::TokenKind::Word ||
                                   tokens[k].kind == sql::TokenKind::QuotedName);
    };
    std::size_t j = i + 1;
    Text table;
    if (isName(j)) table = Text(tokens[j++].text);
    while (j + 1 < tokens.size() && sql::isSymbol(tokens[j], u".") && isName(j + 1)) {
      table += u"." + Text(tokens[j + 1].text);
      j += 2;
    }
    if (table.empty()) return std::nullopt;
    if (j == tokens.size()) return table;
    for (TextView clause : {u"where", u"order", u"group", u"having"}) {
      if (sql::isWord(tokens[j], clause)) return table;
    }
    return std::nullopt;  // joins, several tables, aliases
  }
  return std::nullopt;
}

RowWriter::RowWriter(std::shared_ptr<Provider> provider, TextView selectSql,
                     std::vector<Text> columns)
    : provider_(std::move(provider)), columns_(std::move(columns)) {
  auto table = updatableTable(selectSql);
  if (!table) throwNotUpdatable(errorSource::kRecordset);
  table_ = *table;
  for (const auto& key : provider_->keyColumns(tableName(table_))) {
    auto at = std::find_if(columns_.begin(), columns_.end(),
                           [&](const Text& c) { return automation::equalsIgnoreCase(c, key); });
    if (at == columns_.end()) {  // a key the recordset does not read: find rows by value
      keys_.clear();
      break;
    }
    keys_.push_back(static_cast<std::size_t>(at - columns_.begin()));
  }
}

Text RowWriter::criteria(const std::vector<Variant>& row, std::vector<Variant>& params) const {
  Text where;
  auto add = [&](std::size_t i) {
    where += where.empty() ? u" where " : u" and ";
    if (row[i].isNull()) {
      where += bracketed(columns_[i]) + u" is null";
    } else {
      where += bracketed(columns_[i]) + u" = ?";
      params.push_back(row[i]);
    }
  };
  if (keys_.empty()) {
    for (std::size_t i = 0; i < columns_.size(); ++i) add(i);
  } else {
    for (std::size_t i : keys_) add(i);
  }
  return where;
}

void RowWriter::runExpectingOneRow(const Text& sql, const std::vector<Variant>& params) {
  auto rows = provider_->query(sql, 0, params);
  if (rows->rowsAffected() == 0) throwRowNotFound(errorSource::kRecordset);
}

std::optional<std::vector<Variant>> RowWriter::reread(TextView condition,
                                                      std::vector<Variant> params) {
  auto rows = provider_->query(
      u"select " + columnList(columns_) + u" from " + table_ + Text(condition), 0, params);
  if (!rows->next()) return std::nullopt;
  std::vector<Variant> row;
  for (int i = 0; i < rows->columnCount(); ++i) row.push_back(rows->value(i));
  return row;
}

std::vector<Variant> RowWriter::insert(const std::vector<std::optional<Variant>>& edits) {
  std::vector<Text> names;
  std::vector<Variant> params;
  std::vector<Variant> given(columns_.size(), Variant::null());
  for (std::size_t i = 0; i < edits.size(); ++i) {
    if (!edits[i]) continue;
    names.push_back(columns_[i]);
    params.push_back(*edits[i]);
    given[i] = *edits[i];
  }
  Text sql = u"insert into " + table_;
  if (names.empty()) {
    sql += u" default values";
  } else {
    Text marks;
    for (std::size_t i = 0; i < names.size(); ++i) marks += i ? u", ?" : u"?";
    sql += u" (" + columnList(names) + u") values (" + marks + u")";
  }
  provider_->query(sql, 0, params);

  // Read the row back for what the database filled in: the new key, defaults.
  std::vector<Variant> keyParams;
  Text rowId = provider_->rowIdColumn();
  std::optional<std::vector<Variant>> stored;
  if (!rowId.empty()) {
    stored = reread(u" where " + rowId + u" = ?", {provider_->lastInsertId()});
  } else if (!keys_.empty()) {
    std::vector<Variant> keyRow = given;
    if (keys_.size() == 1 && !edits[keys_[0]]) keyRow[keys_[0]] = provider_->lastInsertId();
    std::vector<Variant> p;
    Text where = criteria(keyRow, p);
    stored = reread(where, p);
  }
  return stored ? *stored : given;
}

std::vector<Variant> RowWriter::update(const std::vector<Variant>& original,
                                       const std::vector<std::optional<Variant>>& edits) {
  std::vector<Variant> params;
  std::vector<Variant> merged = original;
  Text set;
  for (std::size_t i = 0; i < edits.size(); ++i) {
    if (!edits[i]) continue;
    set += (set.empty() ? u"" : u", ") + bracketed(columns_[i]) + u" = ?";
    params.push_back(*edits[i]);
    merged[i] = *edits[i];
  }
  if (set.empty()) return original;
  Text where = criteria(original, params);
  runExpectingOneRow(u"update " + table_ + u" set " + set + where, params);
  return merged;
}

void RowWriter::remove(const std::vector<Variant>& original) {
  std::vector<Variant> params;
  Text where = criteria(original, params);
  runExpectingOneRow(u"delete from " + table_ + where, params);
}

}  // namespace ado
