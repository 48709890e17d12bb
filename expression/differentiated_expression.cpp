#include "differentiated_expression.h"

#include <cmath>
#include <vector>

#include "parser.h"

namespace complexplot {

namespace {

using C = ComplexValue;

// 1 - w and 1 + w part by part: w's imaginary part, and so the sign of a
// zero one, passes through, where the arithmetic of a complex number would
// turn -0 into +0 and move a point on a branch cut to the other side.
C oneMinus(C w) {
    return {1.0 - w.real(), -w.imag()};
}
C onePlus(C w) {
    return {1.0 + w.real(), w.imag()};
}
C timesI(C w) {
    return {-w.imag(), w.real()};
}

// The derivative of a function of one argument at w, whose value there is
// `value`. Where a rule has a form without cancellation, it is used:
// 1 - w^2 as (1 - w)(1 + w), exact near w = +-1; 1 + tan^2 w as 1 / cos^2 w,
// which keeps its precision where tan w is close to +-i. The square roots
// are taken of the factors apart, so that each has the branch cut of the
// function it differentiates.
C unaryDerivative(Operation operation, C w, C value) {
    switch (operation) {
        case Operation::negate:
            return -1.0;
        case Operation::sin:
            return std::cos(w);
        case Operation::cos:
            return -std::sin(w);
        case Operation::tan: {
            const C cosine = std::cos(w);
            return 1.0 / (cosine * cosine);
        }
        case Operation::cot: {
            const C sine = std::sin(w);
            return -1.0 / (sine * sine);
        }
        case Operation::sinh:
            return std::cosh(w);
        case Operation::cosh:
            return std::sinh(w);
        case Operation::tanh: {
            const C cosine = std::cosh(w);
            return 1.0 / (cosine * cosine);
        }
        case Operation::asin:
            return 1.0 / (std::sqrt(oneMinus(w)) * std::sqrt(onePlus(w)));
        case Operation::acos:
            return -1.0 / (std::sqrt(oneMinus(w)) * std::sqrt(onePlus(w)));
        case Operation::atan:
            return 1.0 / (onePlus(timesI(w)) * oneMinus(timesI(w)));
        case Operation::asinh:
            return 1.0 / (std::sqrt(onePlus(timesI(w))) * std::sqrt(oneMinus(timesI(w))));
        case Operation::acosh:
            return 1.0 / (std::sqrt(C(w.real() - 1.0, w.imag())) *
                          std::sqrt(C(w.real() + 1.0, w.imag())));
        case Operation::atanh:
            return 1.0 / (oneMinus(w) * onePlus(w));
        case Operation::exp:
            return value;
        case Operation::log:
            return 1.0 / w;
        case Operation::sqrt:
            return 1.0 / (2.0 * value);
        default:
            return std::nan("");
    }
}

bool isAnalytic(Operation operation) {
    switch (operation) {
        case Operation::abs:
        case Operation::arg:
        case Operation::conj:
        case Operation::re:
        case Operation::im:
            return false;
        default:
            return true;
    }
}

std::string_view nameOf(Operation operation) {
    for (const FunctionName& function : knownFunctions()) {
        if (function.operation == operation) {
            return function.name;
        }
    }
    return {};
}

BlockOperand operandOf(const ExpressionGraph::Node& node, const C& value) {
    BlockOperand operand;
    if (node.operation == Operation::constant && node.real) {
        // A real number stays real, as in the blocks.
        operand.kind = BlockOperand::Kind::real;
        operand.real = node.value.real();
    } else {
        operand.block = &value;
    }
    return operand;
}

}  // namespace

DifferentiatedExpression::DifferentiatedExpression(std::string_view text) {
    ParsedExpression parsed = parseExpression(text);
    graph_ = std::move(parsed.graph);
    root_ = parsed.root;
}

ValueAndDerivative DifferentiatedExpression::operator()(ComplexValue z) const {
    // Operands come before the nodes that use them, so one pass in order
    // evaluates every node; those the root does not need cost little.
    std::vector<C> value(root_ + 1);
    std::vector<C> derivative(root_ + 1);
    for (int index = 0; index <= root_; ++index) {
        const ExpressionGraph::Node& node = graph_.node(index);
        C& v = value[index];
        C& d = derivative[index];
        if (node.operation == Operation::variable) {
            v = z;
            d = 1.0;
            continue;
        }
        if (node.operation == Operation::constant) {
            v = node.value;
            d = 0.0;
            continue;
        }
        const C l = value[node.left];
        const C dl = derivative[node.left];
        switch (node.operation) {
            case Operation::add:
            case Operation::subtract:
            case Operation::multiply:
            case Operation::divide:
            case Operation::power: {
                const C r = value[node.right];
                const C dr = derivative[node.right];
                applyBinary(node.operation, operandOf(graph_.node(node.left), value[node.left]),
                            operandOf(graph_.node(node.right), value[node.right]), &v, 1);
                if (node.operation == Operation::add) {
                    d = dl + dr;
                } else if (node.operation == Operation::subtract) {
                    d = dl - dr;
                } else if (node.operation == Operation::multiply) {
                    d = dl * r + l * dr;
                } else if (node.operation == Operation::divide) {
                    d = (dl - v * dr) / r;
                } else if (l == 0.0) {
                    // 0 ^ p: flat where p is a constant of real part above
                    // 1, else without a derivative.
                    d = dr == 0.0 && r.real() > 1.0 ? C(0.0) : C(std::nan(""), std::nan(""));
                } else {
                    // d(exp(p log w)) = w^p (p' log w + p w' / w)
                    d = v * (dr * std::log(l) + r * dl / l);
                }
                break;
            }
            case Operation::integerPower: {
                v = integerPower(l, node.exponent);
                const int n = node.exponent;
                d = n == 0 ? C(0.0) : double(n) * integerPower(l, n - 1) * dl;
                break;
            }
            default:
                applyUnary(node.operation, &value[node.left], &v, 1);
                d = unaryDerivative(node.operation, l, v) * dl;
                break;
        }
    }
    return {value[root_], derivative[root_]};
}

std::optional<std::string_view> DifferentiatedExpression::nonAnalyticOperation() const {
    // Only the nodes the value depends on: a constant part such as abs(2)
    // was worked out when the expression was read.
    std::vector<bool> needed(root_ + 1, false);
    needed[root_] = true;
    std::optional<std::string_view> first;
    for (int index = root_; index >= 0; --index) {
        if (!needed[index]) {
            continue;
        }
        const ExpressionGraph::Node& node = graph_.node(index);
        if (!isAnalytic(node.operation)) {
            first = nameOf(node.operation);
        }
        for (const int operand : {node.left, node.right}) {
            if (operand >= 0) {
                needed[operand] = true;
            }
        }
    }
    return first;
}

}  // namespace complexplot
