// Reads a decimal integer the way "%d" does (leading white space, optional sign, digits), but
// reports numbers outside int instead of leaving them undefined.
#ifndef RASTER_DECIMAL_TEXT_H
#define RASTER_DECIMAL_TEXT_H

#include <optional>

// The number at *cursor, moving *cursor past it; nullopt, cursor unchanged, when there is no
// number there or it does not fit an int.
std::optional<int> readDecimal(const char*& cursor);

#endif
