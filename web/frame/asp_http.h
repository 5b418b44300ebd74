// aspHttp: registered and creatable, without members.
#pragma once

#include "automation/object.h"

namespace frame {

class AspHttp : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;
};

}  // namespace frame
