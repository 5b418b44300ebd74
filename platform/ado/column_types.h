// ADO type numbers from the type names databases declare ("int", "varchar(50)", "money",
// "int identity", "datetime"), shared by both providers so that a column reports the same
// number whichever way it is reached.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ado {

// nullopt for an empty name: the column has no declared type.
std::optional<std::int32_t> adoTypeFromDeclared(std::string_view declared);

// ADO's DefinedSize of a column of a declared type: the size in parentheses ("varchar(50)"
// gives 50), else the size of the type's values (4 for int, 16 for a date and time), and the
// largest size for text and binary of unbounded length.
std::int32_t definedSize(std::string_view declared, std::int32_t adoType);
// The same from the ADO type alone, for a column without a declared size.
std::int32_t typeSize(std::int32_t adoType);

// Columns whose text is a calendar date and is read back as a date.
bool isDateType(std::int32_t adoType);

}  // namespace ado
