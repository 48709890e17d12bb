#include "vector_kernels.h"

#include <atomic>

#include "operations.h"

namespace complexplot {

extern const VectorKernels kAvx2Kernels;
extern const VectorKernels kAvx512Kernels;

namespace {

std::atomic<std::uint64_t> fallbackCount{0};

bool supports(InstructionSet instructionSet) {
    // The compiler's check asks the processor and also whether the
    // operating system saves the wider registers. Its table is filled by a
    // constructor; this may run before it, from another one.
    __builtin_cpu_init();
    switch (instructionSet) {
        case InstructionSet::avx512:
            return __builtin_cpu_supports("avx512f");
        case InstructionSet::avx2:
            return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
        case InstructionSet::scalar:
            break;
    }
    return false;
}

BlockOperand blockOperandAt(const SplitOperand& operand, std::size_t index, ComplexValue& value) {
    BlockOperand block;
    switch (operand.kind) {
        case SplitOperand::Kind::block:
            value = ComplexValue(operand.real[index], operand.imaginary[index]);
            block.block = &value;
            break;
        case SplitOperand::Kind::real:
            block.kind = BlockOperand::Kind::real;
            block.real = operand.realValue;
            break;
        case SplitOperand::Kind::complex:
            block.kind = BlockOperand::Kind::complex;
            block.complex = ComplexValue(operand.realValue, operand.imaginaryValue);
            break;
    }
    return block;
}

void split(ComplexValue value, double* real, double* imaginary) {
    *real = value.real();
    *imaginary = value.imag();
}

}  // namespace

const VectorKernels* vectorKernelsFor(InstructionSet instructionSet) {
    if (!supports(instructionSet)) {
        return nullptr;
    }
    return instructionSet == InstructionSet::avx512 ? &kAvx512Kernels : &kAvx2Kernels;
}

InstructionSet bestInstructionSet() {
    static const InstructionSet best = supports(InstructionSet::avx512) ? InstructionSet::avx512
                                       : supports(InstructionSet::avx2) ? InstructionSet::avx2
                                                                        : InstructionSet::scalar;
    return best;
}

const char* nameOf(InstructionSet instructionSet) {
    switch (instructionSet) {
        case InstructionSet::avx512:
            return "AVX-512";
        case InstructionSet::avx2:
            return "AVX2";
        case InstructionSet::scalar:
            break;
    }
    return "scalar";
}

std::uint64_t scalarFallbackCount() {
    return fallbackCount.load(std::memory_order_relaxed);
}

void countScalarFallback(unsigned points) {
    fallbackCount.fetch_add(points, std::memory_order_relaxed);
}

void scalarUnary(Operation operation, double real, double imaginary, double* outReal,
                 double* outImaginary) {
    const ComplexValue in(real, imaginary);
    ComplexValue out;
    applyUnary(operation, &in, &out, 1);
    split(out, outReal, outImaginary);
}

void scalarIntegerPower(double real, double imaginary, int exponent, double* outReal,
                        double* outImaginary) {
    const ComplexValue in(real, imaginary);
    ComplexValue out;
    applyIntegerPower(&in, exponent, &out, 1);
    split(out, outReal, outImaginary);
}

void scalarBinary(Operation operation, const SplitOperand& left, const SplitOperand& right,
                  std::size_t index, double* outReal, double* outImaginary) {
    ComplexValue leftValue, rightValue, out;
    applyBinary(operation, blockOperandAt(left, index, leftValue),
                blockOperandAt(right, index, rightValue), &out, 1);
    split(out, outReal, outImaginary);
}

}  // namespace complexplot
