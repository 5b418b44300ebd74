// The errors ADO itself raises (as opposed to the database's, which go through
// automation::throwProviderError), with the numbers and descriptions scripts test for.
#pragma once

#include "automation/error.h"

namespace ado {

[[noreturn]] void throwArgumentOutOfRange(automation::TextView source);  // 3001
[[noreturn]] void throwFileNotOpened(automation::TextView source);       // 3002
[[noreturn]] void throwNoCurrentRecord(automation::TextView source);     // 3021
[[noreturn]] void throwNotCapable(automation::TextView source);          // 3251
[[noreturn]] void throwItemNotFound(automation::TextView source);        // 3265
[[noreturn]] void throwNotAllowedInContext(automation::TextView source);  // 3219
[[noreturn]] void throwObjectClosed(automation::TextView source);        // 3704
[[noreturn]] void throwObjectOpen(automation::TextView source);          // 3705
[[noreturn]] void throwConnectionUnusable(automation::TextView source);  // 3709
[[noreturn]] void throwInTransaction(automation::TextView source);       // 3246
// What the data sources report for transactions.
[[noreturn]] void throwNoTransaction(automation::TextView source);      // none is active
[[noreturn]] void throwTransactionExists(automation::TextView source);  // cannot nest
[[noreturn]] void throwNotUpdatable(automation::TextView source);       // 3251, for writes
[[noreturn]] void throwRowNotFound(automation::TextView source);        // 0x80040E38

namespace errorSource {
inline constexpr automation::TextView kConnection = u"ADODB.Connection";
inline constexpr automation::TextView kRecordset = u"ADODB.Recordset";
inline constexpr automation::TextView kFields = u"ADODB.Fields";
inline constexpr automation::TextView kField = u"ADODB.Field";
}  // namespace errorSource

}  // namespace ado
