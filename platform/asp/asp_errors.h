// The errors the page objects raise themselves, with the texts pages and logs show for them.
#pragma once

#include "automation/error.h"

namespace asp {

// A header, status or cookie changed after the headers went out with flushed output.
[[noreturn]] void throwHeadersWritten();
// Flush or Clear of a response that does not buffer.
[[noreturn]] void throwBufferingOff();

}  // namespace asp
