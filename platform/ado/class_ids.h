// The identifiers scripts and type listings know the creatable classes by.
#pragma once

#include "automation/text.h"

namespace ado {

inline const automation::Text kConnectionClsid = u"{00000514-0000-0010-8000-00AA006D2EA4}";
inline const automation::Text kConnectionIid = u"{00000550-0000-0010-8000-00AA006D2EA4}";
inline const automation::Text kRecordsetClsid = u"{00000535-0000-0010-8000-00AA006D2EA4}";
inline const automation::Text kRecordsetIid = u"{0000054F-0000-0010-8000-00AA006D2EA4}";
inline const automation::Text kCommandClsid = u"{00000507-0000-0010-8000-00AA006D2EA4}";
inline const automation::Text kCommandIid = u"{0000054E-0000-0010-8000-00AA006D2EA4}";
inline const automation::Text kStreamClsid = u"{00000566-0000-0010-8000-00AA006D2EA4}";
inline const automation::Text kStreamIid = u"{00000565-0000-0010-8000-00AA006D2EA4}";

}  // namespace ado
