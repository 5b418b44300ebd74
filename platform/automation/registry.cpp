#include "registry.h"

namespace automation {

void ClassRegistry::add(ClassInfo info) { classes_.push_back(std::move(info)); }

const ClassInfo* ClassRegistry::find(TextView name) const {
  for (const auto& c : classes_) {
    if (equalsIgnoreCase(c.progId, name) || equalsIgnoreCase(c.clsid, name)) return &c;
  }
  return nullptr;
}

ObjectRef ClassRegistry::create(TextView name) const {
  const ClassInfo* c = find(name);
  if (!c || !c->create) throwInvalidClassString();
  return c->create();
}

}  // namespace automation
