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

// Columns whose text is a calendar date and is read back as a date.
bool isDateType(std::int32_t adoType);

}  // namespace ado
