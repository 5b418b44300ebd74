// Registration of the component library: its type library and its creatable classes.
#pragma once

#include "automation/registry.h"

namespace balance {

void registerBalanceClasses(automation::ClassRegistry& registry);

}  // namespace balance
