// ASPError: what Server.GetLastError gives a custom error page, the error that ended the page
// being handled. Read-only; all members empty (Number 0) when there is none.
#pragma once

#include "automation/object.h"

namespace asp {

using automation::Text;

class ASPError : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  Text ASPCode;
  std::int32_t Number = 0;  // the HRESULT
  Text Source;              // the line of code, when known
  Text Category;            // who raised it: the script runtime, a component, the page compiler
  Text File;                // the virtual path of the page or include
  std::int32_t Line = 0;
  std::int32_t Column = -1;
  Text Description;
  Text ASPDescription;
};

}  // namespace asp
