// Dataset header files are JSON:
//   {"kind": 2, "extent": [rows, columns], "bands": 3, "reverse_bands": false,
//    "regions": [{"kind": 1, "name": "...",
//                 "stats": {"lower": [...], "upper": [...], "centre": [...]}}]}
// "kind", "extent" (two integers of at least 1) and "bands" (at least 1) are required;
// "reverse_bands" (boolean or integer) and "regions" may be left out. In a region "kind" and
// "name" are required; "stats" absent or null gives no statistics record, and a value array that
// is absent, null or shorter than the band count is stored as a null array, so nobody indexing
// by band reads past its end. Anything else out of shape makes the whole file malformed.
#ifndef GRIDLOOM_HEADER_JSON_H
#define GRIDLOOM_HEADER_JSON_H

#include <string_view>

#include "gridloom/gridloom.h"

namespace gridloom {

// The header described by text, or null when text is malformed.
GlmDatasetHeader* parseDatasetHeader(std::string_view text);

}  // namespace gridloom

#endif
