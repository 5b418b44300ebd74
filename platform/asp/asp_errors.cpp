// The page objects' own errors; the host shows the source and description with the page line.
#include "asp_errors.h"

namespace asp {

void throwHeadersWritten() {
  throw automation::AutomationError(
      automation::hr::kFail, u"Response object",
      u"The HTTP headers are already written to the client browser. HTTP header modifications "
      u"must be made before writing page content.");
}

void throwBufferingOff() {
  throw automation::AutomationError(automation::hr::kFail, u"Response object",
                                    u"Buffering must be on.");
}

}  // namespace asp
