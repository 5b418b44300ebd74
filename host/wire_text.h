// UTF-8 for the wire: what a page writes in code page 65001 goes out through here. An unpaired
// surrogate becomes U+FFFD.
#pragma once

#include <string>

#include "automation/text.h"

namespace host {

std::string toWireUtf8(automation::TextView s);

}  // namespace host
