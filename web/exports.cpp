// The entry point by which a page host that loads libbalance.so registers its classes.
#include "registration.h"

extern "C" __attribute__((visibility("default"))) void balance_register_classes(
    automation::ClassRegistry* registry) {
  balance::registerBalanceClasses(*registry);
}
