#include "expression_graph.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace complexplot {

int ExpressionGraph::add(const Node& node) {
    // Constants are told apart by their bits: -0 is not 0, and a NaN is
    // itself.
    const Key key{node.operation,
                  node.left,
                  node.right,
                  node.exponent,
                  std::bit_cast<std::uint64_t>(node.value.real()),
                  std::bit_cast<std::uint64_t>(node.value.imag()),
                  node.real};
    const auto [found, inserted] = known_.try_emplace(key, size());
    if (inserted) {
        nodes_.push_back(node);
    }
    return found->second;
}

int ExpressionGraph::variable() {
    Node node;
    node.operation = Operation::variable;
    return add(node);
}

int ExpressionGraph::constant(ComplexValue value, bool real) {
    Node node;
    node.value = value;
    node.real = real;
    return add(node);
}

int ExpressionGraph::operation(Operation operation, int left, int right, int exponent) {
    Node node;
    node.operation = operation;
    node.left = left;
    node.right = right;
    node.exponent = exponent;
    return add(node);
}

BlockOperand ExpressionGraph::constantOperand(int index) const {
    const Node& node = nodes_[index];
    BlockOperand operand;
    operand.kind = node.real ? BlockOperand::Kind::real : BlockOperand::Kind::complex;
    operand.real = node.value.real();
    operand.complex = node.value;
    return operand;
}

int ExpressionGraph::unary(Operation operation, int operand) {
    if (isConstant(operand)) {
        // A real number has no imaginary part to negate: -1 is -1 + 0i, so
        // that log(-1) is i pi, as for the double -1 in C++.
        if (operation == Operation::negate && nodes_[operand].real) {
            return constant(-nodes_[operand].value.real(), true);
        }
        ComplexValue result;
        applyUnary(operation, &nodes_[operand].value, &result, 1);
        return constant(result, false);
    }
    return this->operation(operation, operand, -1, 0);
}

int ExpressionGraph::binary(Operation operation, int left, int right) {
    if (isConstant(left) && isConstant(right)) {
        ComplexValue result;
        applyBinary(operation, constantOperand(left), constantOperand(right), &result, 1);
        const bool real = operation != Operation::power && nodes_[left].real && nodes_[right].real;
        return constant(result, real);
    }
    return this->operation(operation, left, right, 0);
}

int ExpressionGraph::power(int base, int exponent) {
    const Node& exponentNode = nodes_[exponent];
    const double n = exponentNode.value.real();
    const bool integer = isConstant(exponent) && exponentNode.value.imag() == 0.0 &&
                         n == std::trunc(n) && std::fabs(n) <= kLargestIntegerPower;
    if (!integer) {
        return binary(Operation::power, base, exponent);
    }
    const int times = static_cast<int>(n);
    if (isConstant(base)) {
        ComplexValue result;
        applyIntegerPower(&nodes_[base].value, times, &result, 1);
        return constant(result, nodes_[base].real);
    }
    return operation(Operation::integerPower, base, -1, times);
}

}  // namespace complexplot
