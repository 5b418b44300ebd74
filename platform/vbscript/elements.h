// Elements of arrays, and the default members that stand in for them on objects: a(i, j)
// reads or writes an element of an array of any rank, or calls an object's default member.
#pragma once

#include "automation/object.h"

namespace vbscript {

using automation::Args;
using automation::Variant;

// The flat position of an element; raises "subscript out of range" for a wrong count of
// indexes or an index outside its bounds.
std::size_t elementIndex(const std::vector<automation::ArrayBound>& bounds, Args indexes);

Variant elementOf(const Variant& container, Args indexes);
void assignElement(Variant& container, Args indexes, Variant value);

// ReDim: a new array with upper bounds `uppers` (lower bounds 0); with `preserve`, the
// elements of `old` are kept where only the last dimension changed.
Variant redimensioned(const Variant& old, const std::vector<std::int32_t>& uppers, bool preserve);

}  // namespace vbscript
