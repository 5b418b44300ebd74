// Insert, Update and Delete: one statement each, built from the table description and the
// request's values, run on the instance's connection. Integer columns and the key stand
// unquoted, so their values must be plain integers (sql_literal.h); every other column is
// written between single quotes. Update shows its statement in the page, its values encoded
// as element text.
#include "dna/dna.h"
#include "dna/statement_text.h"
#include "frame/database.h"
#include "frame/html_encoding.h"
#include "frame/sql_literal.h"

namespace dna {

namespace {

constexpr std::int32_t kAdInteger = 3;

ado::Connection& openConnection(const std::shared_ptr<ado::Connection>& conn) {
  if (!conn) automation::throwObjectNotSet();
  return *conn;
}

}  // namespace

std::vector<std::size_t> DNA::takingPartColumns() const {
  std::vector<std::size_t> columns;
  forEach16(aFields.size(), [&](std::size_t i) {
    if (aFields[i] != strItemKeyName &&
        !automation::trim(automation::joinText(aValues[i])).empty()) {
      columns.push_back(i);
    }
  });
  return columns;
}

bool DNA::isIntegerColumn(std::size_t i) const {
  return automation::equals(aTypes[i], Variant(kAdInteger));
}

Text DNA::keyCondition() const {
  const Text key = frame::integerLiteral(nItemKeyValue);
  const Text start = strWhere.empty() ? Text(u" where ") : u" " + strWhere + u" and ";
  return start + strItemKeyName + u" = " + key;
}

Variant DNA::Insert() {
  GetFieldTypes();
  Text cols;
  Text vals;
  for (const auto i : takingPartColumns()) {
    cols += aFields[i] + u",";
    vals += isIntegerColumn(i)
                ? frame::integerLiteral(aValues[i]) + u","
                : u"'" + frame::doubleApostrophes(automation::joinText(aValues[i])) + u"',";
  }
  auto& response = page_.response();
  if (cols.empty()) {
    response.write(u"输入为空");
    return {};
  }
  cols.pop_back();
  vals.pop_back();
  frame::execute(openConnection(conn),
                 u" insert " + strTable + u"(" + cols + u")" + u" values(" + vals + u")");
  response.write(u"插入成功");
  return {};
}

Variant DNA::Update() {
  GetFieldTypes();
  Text statement = u" update " + strTable + u" set ";
  Text shown = statement;
  for (const auto i : takingPartColumns()) {
    const Text value =
        isIntegerColumn(i)
            ? frame::integerLiteral(aValues[i])
            : u"'" + frame::doubleApostrophes(automation::joinText(aValues[i])) + u"'";
    statement += aFields[i] + u"=" + value + u",";
    shown += aFields[i] + u"=" + frame::htmlText(value) + u",";
  }
  statement.pop_back();
  shown.pop_back();
  statement += keyCondition();
  trace(shown + keyCondition());
  frame::execute(openConnection(conn), statement);
  return {};
}

Variant DNA::Delete() {
  const Text statement = u" delete " + strTable + u" " + keyCondition();
  frame::execute(openConnection(conn), statement);
  return Variant(true);
}

}  // namespace dna
