// The parser: tokens to the syntax tree, with VBScript's compilation errors (number and line).
#pragma once

#include "ast.h"

namespace vbscript {

Script parse(std::vector<Token> tokens);
// Parses one expression (Eval); the tokens must hold nothing else.
ExprPtr parseExpression(std::vector<Token> tokens);

}  // namespace vbscript
