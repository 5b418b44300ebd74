// balance-host serve: the HTTP host on a site root until SIGINT or SIGTERM.
//   serve [site options (site_options.h)] [--port 8080] [--bind 127.0.0.1] [--threads N]
//         [--io-threads N] [--max-pending N] [--max-request-bytes N] [--max-connections N]
//         [--max-body-bytes-in-flight N] [--detailed-errors] [--access-log FILE|-|off] [--help]
// --threads is the number of page workers; --max-pending bounds the pages running or waiting
// (503 beyond). --help writes the options to `out`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "automation/registry.h"

namespace host {

int runServe(const std::vector<std::string>& args, const automation::ClassRegistry& registry,
             std::ostream& out, std::ostream& err);

}  // namespace host
