// The site options both commands take, read once from the command line:
//   --root DIR (default: the working folder)  --data DIR (default: DIR/data)
//   --default-language vbscript  --error-page PAGE  --script-timeout SECONDS
//   --session-timeout MINUTES  --max-form-bytes N  --max-response-bytes N  --max-sessions N
//   --max-session-value-bytes N  --max-session-bytes N  --session-cookie strict|lax
#pragma once

#include <set>
#include <string>

#include "command_line.h"
#include "site.h"

namespace host {

const std::set<std::string>& siteOptions();
// Adds `more` to the site options.
std::set<std::string> siteOptionsAnd(std::initializer_list<std::string> more);
// Raises std::invalid_argument for a value out of range.
SiteSettings siteSettings(const CommandLine& c);
// The lines of --help that describe the site options.
extern const char kSiteOptionsHelp[];

}  // namespace host
