#include "registration.h"

#include "dna/dna.h"
#include "frame/asp_http.h"
#include "frame/class_ids.h"
#include "permission/permission.h"
#include "scheduler/scheduler.h"
#include "upload/system_init.h"

namespace balance {

namespace {

template <class T>
void addClass(automation::ClassRegistry& registry, const frame::ClassId& id) {
  registry.add(
      {id.progId, id.clsid, id.interfaceName, id.iid, [] { return std::make_shared<T>(); }});
}

}  // namespace

void registerBalanceClasses(automation::ClassRegistry& registry) {
  registry.addTypeLibrary({frame::kTypeLibraryName, frame::kTypeLibraryGuid, 1, 0});
  addClass<dna::DNA>(registry, frame::kDNA);
  addClass<frame::AspHttp>(registry, frame::kAspHttp);
  addClass<permission::Permission>(registry, frame::kPermission);
  addClass<schedule::scheduler>(registry, frame::kScheduler);
  addClass<upload::SystemInit>(registry, frame::kSystemInit);
}

}  // namespace balance
