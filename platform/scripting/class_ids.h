// The identifiers scripts and type listings know the scripting runtime's classes by.
#pragma once

#include "automation/text.h"

namespace scripting {

inline const automation::Text kDictionaryClsid = u"{EE09B103-97E0-11CF-978F-00A02463E06F}";
inline const automation::Text kDictionaryIid = u"{42C642C1-97E1-11CF-978F-00A02463E06F}";
inline const automation::Text kFileSystemObjectClsid = u"{0D43FE01-F093-11CF-8940-00A0C9054228}";
inline const automation::Text kFileSystemIid = u"{0AB5A3D0-E5B6-11D0-ABF5-00A0C90FFFC0}";

}  // namespace scripting
