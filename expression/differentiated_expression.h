#pragma once

#include <optional>
#include <string_view>

#include "expression_graph.h"

namespace complexplot {

struct ValueAndDerivative {
    ComplexValue value;
    ComplexValue derivative;
};

// An expression of z with its derivative, computed exactly rather than by
// differences: each operation runs on a dual number (w, w'), the value as
// the scalar kernels compute it and the derivative by that operation's rule.
// Slow beside the blocks, and meant for the few points a root finder asks
// about.
class DifferentiatedExpression {
public:
    // Raises ExpressionError where the text cannot be read.
    explicit DifferentiatedExpression(std::string_view text);

    // f(z) and f'(z). The derivative has no meaning where the expression
    // uses an operation of nonAnalyticOperation().
    ValueAndDerivative operator()(ComplexValue z) const;

    // The name of the first operation the value depends on that has no
    // complex derivative (abs, arg, conj, re, im), if any.
    std::optional<std::string_view> nonAnalyticOperation() const;

private:
    ExpressionGraph graph_;
    int root_ = -1;
};

}  // namespace complexplot
