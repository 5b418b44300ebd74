// What the tests of the forms, writes and search need beyond dna_fixture.h: rows read back
// from the database, the error an operation raises, and readable text comparisons.
#pragma once

#include <string>
#include <vector>

#include "dna/dna_fixture.h"

namespace dna_test {

inline std::string utf8(TextView text) { return automation::toUtf8(text); }

// Every row of `sql`, its fields' texts joined by "|" (a null shows as "NULL").
inline std::vector<std::string> rows(const FixtureDb& db, TextView sql) {
  auto rs = frame::openRecordset(sql, Variant(db.connStr()), ado::adOpenStatic);
  std::vector<std::string> result;
  const auto count = rs->Fields()->Count();
  for (; !rs->eof(); rs->MoveNext()) {
    std::string row;
    for (int i = 0; i < count; ++i) {
      const Variant v = rs->value(Variant(i));
      if (i > 0) row += "|";
      row += v.isNull() ? std::string("NULL") : utf8(automation::joinText(v));
    }
    result.push_back(row);
  }
  rs->Close();
  return result;
}

// The HRESULT of the automation error `action` raises, 0 when it raises none.
template <class Action>
automation::HRESULT errorOf(Action&& action) {
  try {
    action();
  } catch (const automation::AutomationError& e) {
    return e.code();
  }
  return 0;
}

}  // namespace dna_test
