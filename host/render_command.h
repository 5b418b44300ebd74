// balance-host render: one request without a network, through the same request path as HTTP;
// the body goes to standard output exactly as it would go over HTTP.
//   render [site options (site_options.h)] [--url URL] [--query QS] [--form QS]
//          [--body FILE --content-type TYPE] [--session FILE] [--headers] PAGE
// Exit status: 0 the page completed, 3 it ended with an uncaught error (reported on standard
// error as "error XXXXXXXX: description (page:line)"), 2 bad arguments or no such page.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "automation/registry.h"

namespace host {

inline constexpr int kExitPageFailed = 3;
inline constexpr int kExitUsage = 2;

int runRender(const std::vector<std::string>& args, const automation::ClassRegistry& registry,
              std::ostream& out, std::ostream& err);

}  // namespace host
