#pragma once

#include <string>
#include <string_view>

#include "expression_error.h"
#include "expression_graph.h"

namespace complexplot {

// An expression read into its graph; root is the node of its value.
struct ParsedExpression {
    ExpressionGraph graph;
    int root = -1;
};

// Reads an expression of z: numbers (2, .5, 1e-3, and 2i for an imaginary
// one), z, i, pi, e, + - * / ^ with the usual precedence (^ binds tighter
// than a unary minus and groups to the right), parentheses, and the
// functions of knownFunctions() applied to one parenthesised argument.
// Raises ExpressionError at the first place that cannot be read.
ParsedExpression parseExpression(std::string_view text);

// "sin cos tan ...": the functions' names, for messages.
std::string knownFunctionNames();

}  // namespace complexplot
