#pragma once

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "operations.h"

namespace complexplot {

// An expression as a graph of nodes, each made once: a node whose operands
// are all constants is worked out at once (with the same arithmetic the
// blocks would use, so nothing changes but the time), and a node equal to
// an earlier one is that node, so that z^2 in (z^2+1)/(z^2-1) is computed
// once. Operands always come before the nodes that use them.
class ExpressionGraph {
public:
    struct Node {
        Operation operation = Operation::constant;
        int left = -1;
        int right = -1;
        int exponent = 0;
        ComplexValue value;
        // A constant with no imaginary part at all, as a number written
        // without i is: it takes part in arithmetic as a real number.
        bool real = false;
    };

    int variable();
    int constant(ComplexValue value, bool real);
    int unary(Operation operation, int operand);
    int binary(Operation operation, int left, int right);
    // base ^ exponent: repeated multiplication when the exponent is a real
    // integer constant of at most kLargestIntegerPower, else the general power.
    int power(int base, int exponent);

    const Node& node(int index) const { return nodes_[index]; }
    int size() const { return static_cast<int>(nodes_.size()); }
    bool isConstant(int index) const { return nodes_[index].operation == Operation::constant; }

private:
    int add(const Node& node);
    int operation(Operation operation, int left, int right, int exponent);
    BlockOperand constantOperand(int index) const;

    std::vector<Node> nodes_;
    // Each node by what makes it: operation, operands, exponent, and the
    // bits of a constant.
    using Key = std::tuple<Operation, int, int, int, std::uint64_t, std::uint64_t, bool>;
    std::map<Key, int> known_;
};

}  // namespace complexplot
