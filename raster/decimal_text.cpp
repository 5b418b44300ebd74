#include "decimal_text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

std::optional<int> readDecimal(const char*& cursor) {
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(cursor, &end, 10);
  if (end == cursor || errno == ERANGE || number < INT_MIN || number > INT_MAX) return std::nullopt;
  cursor = end;
  return static_cast<int>(number);
}
