#include "asp_http.h"

#include "class_ids.h"

namespace frame {

const automation::TypeInfo& AspHttp::typeInfo() const {
  static const automation::TypeInfo info(kAspHttp.interfaceName, kAspHttp.iid, {});
  return info;
}

}  // namespace frame
