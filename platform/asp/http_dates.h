// The date forms of response headers: "Wed, 01 Jan 2025 00:00:00 GMT" for Expires, the
// dashed "Wed, 01-Jan-2025 00:00:00 GMT" of cookie expiry. Pages give dates in local time.
#pragma once

#include <ctime>

#include "automation/date.h"

namespace asp {

std::time_t fromLocalDate(automation::Date local);
automation::Text httpDate(std::time_t t);
automation::Text cookieDate(std::time_t t);

}  // namespace asp
