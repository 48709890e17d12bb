#pragma once

// The kernels of the expression language on vectors of doubles, one set per
// instruction set, picked when the program starts by what the processor
// reports. Values are held split, real parts apart from imaginary parts, so
// that a vector holds one part of consecutive points.
//
// This header is read by code built for one instruction set: it may name
// nothing that the standard library defines inline, or one build's copy of
// it could serve the whole program on a processor without that set.

#include <cstddef>
#include <cstdint>

#include "operation.h"

namespace complexplot {

// The most points a kernel is given at once.
constexpr std::size_t kLargestSplitBlock = 256;

enum class InstructionSet : std::uint8_t { scalar, avx2, avx512 };

// One operand of a vector kernel: split parts, or one number for every
// point. A real number leaves the other operand's imaginary part alone, as
// the scalar kernels do.
struct SplitOperand {
    enum class Kind : std::uint8_t { block, real, complex };
    Kind kind = Kind::block;
    const double* real = nullptr;
    const double* imaginary = nullptr;
    double realValue = 0.0;
    double imaginaryValue = 0.0;
};

// Each kernel reads and writes whole vectors: every array holds `count`
// values rounded up to a multiple of `width`. Only the first `count` are
// points; the others are computed but never handed to the scalar path.
// Output may be the same array as an input.
struct VectorKernels {
    InstructionSet instructionSet = InstructionSet::scalar;
    std::size_t width = 1;
    // Whether the set has a vector kernel for this operation; the others
    // are left to the scalar kernels.
    bool (*handles)(Operation operation) = nullptr;
    void (*unary)(Operation operation, const double* inReal, const double* inImaginary,
                  double* outReal, double* outImaginary, std::size_t count) = nullptr;
    void (*integerPower)(const double* inReal, const double* inImaginary, int exponent,
                         double* outReal, double* outImaginary, std::size_t count) = nullptr;
    void (*binary)(Operation operation, const SplitOperand& left, const SplitOperand& right,
                   double* outReal, double* outImaginary, std::size_t count) = nullptr;
    // out[2k] = real[k], out[2k + 1] = imaginary[k] for k < count: the
    // split parts put back together as complex values.
    void (*interleave)(const double* real, const double* imaginary, double* out,
                       std::size_t count) = nullptr;
};

// The kernels for a set, or nullptr for the scalar set and for a set this
// processor (or its operating system) does not support.
const VectorKernels* vectorKernelsFor(InstructionSet instructionSet);

// The widest set this processor supports.
InstructionSet bestInstructionSet();

const char* nameOf(InstructionSet instructionSet);

// How many points the vector kernels have handed to the scalar kernels
// since the program started, over all threads: a point counts once for
// each operation that could not vouch for it.
std::uint64_t scalarFallbackCount();

// The scalar path for one point whose lane a vector kernel could not vouch
// for. Defined with the scalar kernels, so that the point's value is
// exactly what the scalar path gives.
void scalarUnary(Operation operation, double real, double imaginary, double* outReal,
                 double* outImaginary);
void scalarIntegerPower(double real, double imaginary, int exponent, double* outReal,
                        double* outImaginary);
void scalarBinary(Operation operation, const SplitOperand& left, const SplitOperand& right,
                  std::size_t index, double* outReal, double* outImaginary);
void countScalarFallback(unsigned points);

}  // namespace complexplot
