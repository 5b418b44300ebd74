// balance-host serve: the HTTP host on a site root until SIGINT or SIGTERM.
//   serve [--root DIR] [--port 8080] [--bind 127.0.0.1] [--data DIR] [--threads N]
//         [--script-timeout SECONDS] [--max-request-bytes N] [--session-timeout MINUTES]
//         [--access-log FILE|-|off]
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "automation/registry.h"

namespace host {

int runServe(const std::vector<std::string>& args, const automation::ClassRegistry& registry,
             std::ostream& err);

}  // namespace host
