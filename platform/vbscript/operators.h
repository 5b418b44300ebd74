// VBScript's operators on variants, with the runtime's rules for the type of the result:
// the wider operand decides (Byte < Integer < Long < Single < Currency < Double), an integer
// result that overflows moves up to the next wider type, Null propagates (with the logical
// operators' three-valued exceptions), Empty counts as 0 or "", and comparisons of a text
// with a number follow the literal the script wrote.
#pragma once

#include <optional>

#include "ast.h"

namespace vbscript {

// An object stands for its default member's value; Nothing raises 91, an object without a
// default member 438.
Variant valueOf(const Variant& v);

Variant binaryOp(BinOp op, const Variant& a, const Variant& b, bool aLiteral = false,
                 bool bLiteral = false);
Variant unaryOp(UnOp op, const Variant& a);
Variant concat(const Variant& a, const Variant& b);

// -1, 0 or 1; nullopt when either side is Null.
std::optional<int> compare(const Variant& a, const Variant& b, bool aLiteral = false,
                           bool bLiteral = false);
// The truth of a condition (If, While): Null counts as False.
bool truth(const Variant& v);

}  // namespace vbscript
