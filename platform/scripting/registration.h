// Registers the scripting runtime's classes. ANSI text files are read and written in
// `ansiCodePage` (936 for the application's pages), a setting the host reads at its edge.
#pragma once

#include "automation/registry.h"

namespace scripting {

void registerClasses(automation::ClassRegistry& registry, int ansiCodePage);

}  // namespace scripting
