// Text rules the class takes statements apart by, and the runtime's 16-bit loop. Keywords are
// found as plain text in the lower-cased statement and their positions are held in 16-bit
// Integers; a length that comes out negative is the runtime's invalid-procedure-call error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "ado/ado.h"
#include "automation/int16.h"
#include "automation/variant.h"

namespace dna {

// 1-based position of the first `keyword` in `lowered`, 0 when absent; overflow past 32767.
automation::Int16 keywordPosition(automation::TextView lowered, automation::TextView keyword);

// Mid(s, start, length) that refuses a negative length, as the runtime does.
automation::Text midChecked(automation::TextView s, int start, int length);

// The column list of a "select ... from" statement: what stands between the 7th character and
// "from" (at `fromPos`), or everything after the 7th character when "from" is not past it.
automation::Text columnText(automation::TextView sql, automation::Int16 fromPos);

// Decimal text of a number, as the runtime writes integers.
automation::Text decimal(std::int64_t n);

// The active-connection argument of a recordset opened on the instance's connection.
automation::Variant activeConnection(const std::shared_ptr<ado::Connection>& conn);

// For i = 0 To count - 1 with a 16-bit counter: a bound past 32767 overflows before the
// first round, and stepping past 32767 overflows after the last.
template <class Visit>
void forEach16(std::size_t count, Visit&& visit) {
  const auto last = automation::Int16::checked(static_cast<std::int64_t>(count) - 1);
  for (automation::Int16 i = 0; i <= last; ++i) {
    visit(static_cast<std::size_t>(i.value()));
  }
}

}  // namespace dna
