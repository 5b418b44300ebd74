// Strings between the host and the script engine. The engine keeps strings as CESU-8: every
// UTF-16 code unit, surrogates included, is encoded on its own, which lets page text cross
// in both directions unchanged, unpaired surrogates too.
#pragma once

#include <string>
#include <string_view>

#include "automation/text.h"

namespace host {

std::string toEngineString(automation::TextView s);
// Also reads 4-byte UTF-8 sequences (source files may hold them), giving surrogate pairs.
automation::Text fromEngineString(std::string_view s);

// UTF-8 for the wire, without a trip through iconv; an unpaired surrogate becomes U+FFFD.
std::string toWireUtf8(automation::TextView s);

}  // namespace host
