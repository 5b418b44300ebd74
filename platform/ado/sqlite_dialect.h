// Rewrites the SQL Server statements the components send into what SQLite accepts, token by
// token, leaving quoted text, names and comments as they are:
//   select top n ...            -> select ... LIMIT n   (also in sub-selects; not in compounds)
//   insert T(...) values(...)   -> insert into T(...) values(...)
//   delete T where ...          -> delete from T where ...
//   select Alias=expr, ...      -> select expr AS Alias, ...   (select lists only)
// Dates: SQLite keeps datetime columns as 'yyyy-mm-dd hh:mm:ss' text, which sorts and compares
// chronologically as long as every value is in that one form. So a date literal written into
// a datetime column (insert values, update set) or compared with one (=, <, <=, >, >=, <>,
// between) is normalised to that form: '2001-5-7' becomes '2001-05-07 00:00:00', exactly the
// instant SQL Server would convert it to. Columns are recognised by name; a name declared as a
// date in any table counts as a date column everywhere.
// NULs: SQLite reads a statement's text only up to its first NUL and ignores the rest, whatever
// length it is given, so a NUL inside a quoted literal is spelled out: 'x<NUL>y' becomes
// ('x'||char(0)||'y'), the same value.
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_set>

#include "automation/text.h"

namespace ado::sql {

// Lower-case names of the columns declared datetime, smalldatetime or date.
using DateColumns = std::unordered_set<automation::Text>;

automation::Text toSqlite(automation::TextView sql, const DateColumns& dateColumns = {});

// The statement again from row `skip` on, and the statement counting its rows: SQLite runs
// both without keeping the rows before or between.
automation::Text fromRow(automation::TextView adapted, std::int64_t skip);
automation::Text countRows(automation::TextView adapted);

// False when text follows a ';' outside quotes: a request value must not be able to add a
// statement of its own, and the components never send more than one.
bool isSingleStatement(automation::TextView sql);

// True when an adapted statement still holds a NUL (one outside a literal): SQLite would run
// the text before it alone, so such a statement is refused instead.
bool endsEarlyForSqlite(automation::TextView adapted);

// 'yyyy-mm-dd hh:mm:ss' for a quoted literal holding a date in any accepted form; nullopt if
// it holds none.
std::optional<automation::Text> canonicalDateLiteral(automation::TextView quoted);

}  // namespace ado::sql
