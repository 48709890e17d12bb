#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "operations.h"
#include "vector_kernels.h"

namespace complexplot {

// An expression of z, read once and turned into a short list of
// instructions, each of which runs over a whole block of points before the
// next one starts. Evaluating it is thread-safe: each thread brings its own
// scratch space.
class CompiledExpression {
public:
    // Points are evaluated this many at a time: enough for the dispatch of
    // an instruction to cost little per point, few enough for the scratch
    // blocks to stay in the nearest cache.
    static constexpr std::size_t kBlockSize = kLargestSplitBlock;

    // Raises ExpressionError where the text cannot be read. The blocks run
    // on the vector kernels of `instructionSet` where this processor has
    // them, else on the scalar kernels.
    explicit CompiledExpression(std::string_view text,
                                InstructionSet instructionSet = bestInstructionSet());

    // out[k] = f(z[k]) for k < count. z and out may not overlap.
    void evaluate(const ComplexValue* z, ComplexValue* out, std::size_t count,
                  std::vector<ComplexValue>& scratch) const;

    // The same, for points given as their real and their imaginary parts.
    void evaluate(const double* real, const double* imaginary, ComplexValue* out, std::size_t count,
                  std::vector<ComplexValue>& scratch) const;

    // f at one point.
    ComplexValue operator()(ComplexValue z) const;

    const std::string& text() const { return text_; }

    // The set the blocks run on.
    InstructionSet instructionSet() const;

private:
    struct Operand {
        enum class Kind : std::uint8_t { variable, slot, output, real, complex };
        Kind kind = Kind::variable;
        int slot = 0;
        double real = 0.0;
        ComplexValue complex;
    };
    struct Instruction {
        Operation operation = Operation::negate;
        Operand left;
        Operand right;
        int exponent = 0;
        Operand target;
    };

    // A number operand as the scalar kernels take it; any other is left a
    // block for the caller to place.
    static BlockOperand numberOperand(const Operand& operand);

    void evaluateBlock(const ComplexValue* z, ComplexValue* out, std::size_t count,
                       ComplexValue* scratch) const;

    // The same, on split parts and vector kernels; scratch holds
    // splitScratchBlocks() blocks.
    void evaluateSplitBlock(const double* real, const double* imaginary, ComplexValue* out,
                            std::size_t count, double* scratch) const;
    std::size_t splitScratchBlocks() const;
    static double* splitScratch(std::vector<ComplexValue>& scratch, std::size_t blocks);

    std::string text_;
    std::vector<Instruction> instructions_;
    // Where the value is when no instruction makes it: z, or a constant.
    Operand result_;
    int slotCount_ = 0;
    const VectorKernels* kernels_ = nullptr;
};

}  // namespace complexplot
