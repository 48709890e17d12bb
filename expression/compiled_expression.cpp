#include "compiled_expression.h"

#include <algorithm>

#include "parser.h"

namespace complexplot {

CompiledExpression::CompiledExpression(std::string_view text) : text_(text) {
    const ParsedExpression parsed = parseExpression(text);
    const ExpressionGraph& graph = parsed.graph;

    // Which nodes the value needs, and the last node that uses each.
    std::vector<bool> needed(graph.size(), false);
    std::vector<int> lastUse(graph.size(), -1);
    needed[parsed.root] = true;
    for (int index = parsed.root; index >= 0; --index) {
        if (!needed[index]) {
            continue;
        }
        for (const int operand : {graph.node(index).left, graph.node(index).right}) {
            if (operand >= 0) {
                needed[operand] = true;
                lastUse[operand] = std::max(lastUse[operand], index);
            }
        }
    }

    auto operandOf = [&](int index, const std::vector<Operand>& placed) {
        const ExpressionGraph::Node& node = graph.node(index);
        Operand operand;
        if (node.operation == Operation::variable) {
            operand.kind = Operand::Kind::variable;
        } else if (node.operation == Operation::constant) {
            operand.kind = node.real ? Operand::Kind::real : Operand::Kind::complex;
            operand.real = node.value.real();
            operand.complex = node.value;
        } else {
            operand = placed[index];
        }
        return operand;
    };

    // Each value gets a scratch slot of its own until its last use frees it;
    // the root's value goes straight to the output.
    std::vector<Operand> placed(graph.size());
    std::vector<int> freeSlots;
    for (int index = 0; index <= parsed.root; ++index) {
        const ExpressionGraph::Node& node = graph.node(index);
        if (!needed[index] || node.operation == Operation::variable ||
            node.operation == Operation::constant) {
            continue;
        }
        Instruction instruction;
        instruction.operation = node.operation;
        instruction.left = operandOf(node.left, placed);
        if (node.right >= 0) {
            instruction.right = operandOf(node.right, placed);
        }
        instruction.exponent = node.exponent;
        // Operands used for the last time free their slots first: each
        // point is read before it is written, so a slot may be its own target.
        // An operand on both sides, as in w*w, is freed once.
        for (const int operand : {node.left, node.right == node.left ? -1 : node.right}) {
            if (operand >= 0 && lastUse[operand] == index &&
                placed[operand].kind == Operand::Kind::slot) {
                freeSlots.push_back(placed[operand].slot);
            }
        }
        if (index == parsed.root) {
            instruction.target.kind = Operand::Kind::output;
        } else {
            instruction.target.kind = Operand::Kind::slot;
            if (freeSlots.empty()) {
                freeSlots.push_back(slotCount_++);
            }
            instruction.target.slot = freeSlots.back();
            freeSlots.pop_back();
        }
        placed[index] = instruction.target;
        instructions_.push_back(instruction);
    }
    if (instructions_.empty()) {
        result_ = operandOf(parsed.root, placed);
    } else {
        result_.kind = Operand::Kind::output;
    }
}

void CompiledExpression::evaluate(const ComplexValue* z, ComplexValue* out, std::size_t count,
                                  std::vector<ComplexValue>& scratch) const {
    scratch.resize(static_cast<std::size_t>(slotCount_) * kBlockSize);
    for (std::size_t start = 0; start < count; start += kBlockSize) {
        evaluateBlock(z + start, out + start, std::min(kBlockSize, count - start), scratch.data());
    }
}

ComplexValue CompiledExpression::operator()(ComplexValue z) const {
    std::vector<ComplexValue> scratch;
    ComplexValue value;
    evaluate(&z, &value, 1, scratch);
    return value;
}

void CompiledExpression::evaluateBlock(const ComplexValue* z, ComplexValue* out, std::size_t count,
                                       ComplexValue* scratch) const {
    switch (result_.kind) {
        case Operand::Kind::variable:
            std::copy(z, z + count, out);
            return;
        case Operand::Kind::real:
            std::fill(out, out + count, ComplexValue(result_.real));
            return;
        case Operand::Kind::complex:
            std::fill(out, out + count, result_.complex);
            return;
        default:
            break;
    }
    auto blockOf = [&](const Operand& operand) -> ComplexValue* {
        if (operand.kind == Operand::Kind::output) return out;
        if (operand.kind == Operand::Kind::slot) return scratch + operand.slot * kBlockSize;
        return const_cast<ComplexValue*>(z);
    };
    auto blockOperand = [&](const Operand& operand) {
        BlockOperand block;
        if (operand.kind == Operand::Kind::real) {
            block.kind = BlockOperand::Kind::real;
            block.real = operand.real;
        } else if (operand.kind == Operand::Kind::complex) {
            block.kind = BlockOperand::Kind::complex;
            block.complex = operand.complex;
        } else {
            block.block = blockOf(operand);
        }
        return block;
    };
    for (const Instruction& instruction : instructions_) {
        ComplexValue* target = blockOf(instruction.target);
        switch (instruction.operation) {
            case Operation::add:
            case Operation::subtract:
            case Operation::multiply:
            case Operation::divide:
            case Operation::power:
                applyBinary(instruction.operation, blockOperand(instruction.left),
                            blockOperand(instruction.right), target, count);
                break;
            case Operation::integerPower:
                applyIntegerPower(blockOf(instruction.left), instruction.exponent, target, count);
                break;
            default:
                applyUnary(instruction.operation, blockOf(instruction.left), target, count);
                break;
        }
    }
}

}  // namespace complexplot
