#include "compiled_expression.h"

#include <algorithm>
#include <memory>

#include "parser.h"

namespace complexplot {

CompiledExpression::CompiledExpression(std::string_view text, InstructionSet instructionSet)
    : text_(text), kernels_(vectorKernelsFor(instructionSet)) {
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
    // An expression of operations that only the scalar kernels do, such as
    // atan(z), would only pay for splitting its values and joining them;
    // one with no operation at all (z, or a number) has nothing to run.
    if (kernels_ != nullptr &&
        std::none_of(instructions_.begin(), instructions_.end(),
                     [&](const Instruction& i) { return kernels_->handles(i.operation); })) {
        kernels_ = nullptr;
    }
}

BlockOperand CompiledExpression::numberOperand(const Operand& operand) {
    BlockOperand block;
    if (operand.kind == Operand::Kind::real) {
        block.kind = BlockOperand::Kind::real;
        block.real = operand.real;
    } else if (operand.kind == Operand::Kind::complex) {
        block.kind = BlockOperand::Kind::complex;
        block.complex = operand.complex;
    }
    return block;
}

// The split parts in the scratch space, from a 64-byte boundary: a vector
// of eight doubles that straddles two cache lines costs a load or a store
// more, and the heap gives 16-byte boundaries. A complex value is an array
// of two doubles, so the blocks hold the parts as well.
double* CompiledExpression::splitScratch(std::vector<ComplexValue>& scratch, std::size_t blocks) {
    constexpr std::size_t kAlignment = 64;
    scratch.resize(blocks * kBlockSize + kAlignment / sizeof(ComplexValue));
    void* start = scratch.data();
    std::size_t space = scratch.size() * sizeof(ComplexValue);
    return static_cast<double*>(
        std::align(kAlignment, blocks * kBlockSize * sizeof(ComplexValue), start, space));
}

InstructionSet CompiledExpression::instructionSet() const {
    return kernels_ != nullptr ? kernels_->instructionSet : InstructionSet::scalar;
}

void CompiledExpression::evaluate(const ComplexValue* z, ComplexValue* out, std::size_t count,
                                  std::vector<ComplexValue>& scratch) const {
    if (kernels_ != nullptr) {
        // The last block holds the points' parts.
        double* parts = splitScratch(scratch, splitScratchBlocks() + 1);
        double* real = parts + 2 * splitScratchBlocks() * kBlockSize;
        double* imaginary = real + kBlockSize;
        for (std::size_t start = 0; start < count; start += kBlockSize) {
            const std::size_t length = std::min(kBlockSize, count - start);
            for (std::size_t k = 0; k < length; ++k) {
                real[k] = z[start + k].real();
                imaginary[k] = z[start + k].imag();
            }
            evaluateSplitBlock(real, imaginary, out + start, length, parts);
        }
        return;
    }
    scratch.resize(static_cast<std::size_t>(slotCount_) * kBlockSize);
    for (std::size_t start = 0; start < count; start += kBlockSize) {
        evaluateBlock(z + start, out + start, std::min(kBlockSize, count - start), scratch.data());
    }
}

void CompiledExpression::evaluate(const double* real, const double* imaginary, ComplexValue* out,
                                  std::size_t count, std::vector<ComplexValue>& scratch) const {
    if (kernels_ != nullptr) {
        double* parts = splitScratch(scratch, splitScratchBlocks());
        for (std::size_t start = 0; start < count; start += kBlockSize) {
            evaluateSplitBlock(real + start, imaginary + start, out + start,
                               std::min(kBlockSize, count - start), parts);
        }
        return;
    }
    // The scalar kernels take whole complex values: a block of them after
    // the slots.
    const std::size_t slots = static_cast<std::size_t>(slotCount_) * kBlockSize;
    scratch.resize(slots + kBlockSize);
    ComplexValue* z = scratch.data() + slots;
    for (std::size_t start = 0; start < count; start += kBlockSize) {
        const std::size_t length = std::min(kBlockSize, count - start);
        for (std::size_t k = 0; k < length; ++k) {
            z[k] = ComplexValue(real[start + k], imaginary[start + k]);
        }
        evaluateBlock(z, out + start, length, scratch.data());
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
        BlockOperand block = numberOperand(operand);
        if (block.kind == BlockOperand::Kind::block) {
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

// The split scratch space, in blocks of kBlockSize complex values (each
// holding a block's real parts and its imaginary parts): z, the output,
// three blocks for operations that only the scalar kernels do, and the slots.
std::size_t CompiledExpression::splitScratchBlocks() const {
    return 5 + static_cast<std::size_t>(slotCount_);
}

void CompiledExpression::evaluateSplitBlock(const double* real, const double* imaginary,
                                            ComplexValue* out, std::size_t count,
                                            double* scratch) const {
    constexpr std::size_t kBlock = kBlockSize;
    double* const zParts = scratch;
    double* const outParts = scratch + 2 * kBlock;
    auto* const whole = reinterpret_cast<ComplexValue*>(scratch + 4 * kBlock);
    double* const slotParts = scratch + 10 * kBlock;

    // The output is most often far from the cache: its lines are asked for
    // now, to arrive while the block is computed.
    for (std::size_t k = 0; k < count; k += 64 / sizeof(ComplexValue)) {
        __builtin_prefetch(out + k, 1);
    }
    // The kernels work on whole vectors. A block that ends inside one is
    // copied, and the lanes past its points hold a harmless value; none of
    // them is ever handed to the scalar path.
    const std::size_t width = kernels_->width;
    const std::size_t padded = (count + width - 1) / width * width;
    const double* zReal = real;
    const double* zImaginary = imaginary;
    if (padded != count) {
        std::copy(real, real + count, zParts);
        std::copy(imaginary, imaginary + count, zParts + kBlock);
        std::fill(zParts + count, zParts + padded, 0.5);
        std::fill(zParts + kBlock + count, zParts + kBlock + padded, 0.5);
        zReal = zParts;
        zImaginary = zParts + kBlock;
    }

    auto partsOf = [&](const Operand& operand) -> double* {
        if (operand.kind == Operand::Kind::output) return outParts;
        return slotParts + 2 * kBlock * operand.slot;
    };
    auto splitOperand = [&](const Operand& operand) {
        SplitOperand split;
        if (operand.kind == Operand::Kind::real) {
            split.kind = SplitOperand::Kind::real;
            split.realValue = operand.real;
        } else if (operand.kind == Operand::Kind::complex) {
            split.kind = SplitOperand::Kind::complex;
            split.realValue = operand.complex.real();
            split.imaginaryValue = operand.complex.imag();
        } else if (operand.kind == Operand::Kind::variable) {
            split.real = zReal;
            split.imaginary = zImaginary;
        } else {
            split.real = partsOf(operand);
            split.imaginary = split.real + kBlock;
        }
        return split;
    };
    // For the scalar kernels: an operand as whole complex values in `place`.
    auto wholeOperand = [&](const Operand& operand, ComplexValue* place) {
        BlockOperand block = numberOperand(operand);
        if (block.kind == BlockOperand::Kind::block) {
            const SplitOperand parts = splitOperand(operand);
            for (std::size_t k = 0; k < count; ++k) {
                place[k] = ComplexValue(parts.real[k], parts.imaginary[k]);
            }
            block.block = place;
        }
        return block;
    };

    for (const Instruction& instruction : instructions_) {
        double* const target = partsOf(instruction.target);
        const Operation operation = instruction.operation;
        if (!kernels_->handles(operation)) {
            ComplexValue* const result = whole + 2 * kBlock;
            const BlockOperand left = wholeOperand(instruction.left, whole);
            if (operation == Operation::power) {
                applyBinary(operation, left, wholeOperand(instruction.right, whole + kBlock),
                            result, count);
            } else {
                applyUnary(operation, left.block, result, count);
            }
            for (std::size_t k = 0; k < count; ++k) {
                target[k] = result[k].real();
                target[kBlock + k] = result[k].imag();
            }
            continue;
        }
        const SplitOperand left = splitOperand(instruction.left);
        switch (operation) {
            case Operation::add:
            case Operation::subtract:
            case Operation::multiply:
            case Operation::divide:
                kernels_->binary(operation, left, splitOperand(instruction.right), target,
                                 target + kBlock, count);
                break;
            case Operation::integerPower:
                kernels_->integerPower(left.real, left.imaginary, instruction.exponent, target,
                                       target + kBlock, count);
                break;
            default:
                kernels_->unary(operation, left.real, left.imaginary, target, target + kBlock,
                                count);
                break;
        }
    }
    kernels_->interleave(outParts, outParts + kBlock, reinterpret_cast<double*>(out), count);
}

}  // namespace complexplot
