// Strings between the host and the script engine. The engine keeps strings as CESU-8: every
// UTF-16 code unit, surrogates included, is encoded on its own, which lets page text cross
// in both directions unchanged, unpaired surrogates too.
#pragma once

#include <string>
#include <string_view>

#include "automation/text.h"

namespace host::jscript {

// Bytes of `s` in the engine's encoding.
std::size_t engineLength(automation::TextView s);
// Writes `s` into `out`, which holds engineLength(s) bytes.
void writeEngineString(automation::TextView s, char* out);
std::string toEngineString(automation::TextView s);
// Also reads 4-byte UTF-8 sequences (source files may hold them), giving surrogate pairs.
automation::Text fromEngineString(std::string_view s);

}  // namespace host::jscript
