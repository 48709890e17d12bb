#pragma once

// The operations of the expression language and their kernels: each works
// on a block of values at once, so that the interpretation costs little
// beside the complex arithmetic. The complex functions are those of the C
// library, through std::complex, with the branch cuts of C99 Annex G.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "operation.h"

namespace complexplot {

using ComplexValue = std::complex<double>;

struct FunctionName {
    std::string_view name;
    Operation operation;
};

// The functions of one argument, in the order the help lists them.
std::span<const FunctionName> knownFunctions();

// The largest |n| for which w ^ n is repeated multiplication.
constexpr int kLargestIntegerPower = 64;

// One operand of a kernel: a block of values, a real number (which leaves
// the other operand's imaginary part alone, as in C++), or a complex one.
struct BlockOperand {
    enum class Kind : std::uint8_t { block, real, complex };
    Kind kind = Kind::block;
    const ComplexValue* block = nullptr;
    double real = 0.0;
    ComplexValue complex;
};

// out[k] = f(in[k]) for a function of one argument or a negation.
void applyUnary(Operation operation, const ComplexValue* in, ComplexValue* out, std::size_t count);

// w ^ exponent, |exponent| <= kLargestIntegerPower, within one unit in the
// last place of each part that is at least 2^-40 of the value's modulus.
ComplexValue integerPower(ComplexValue w, int exponent);

// out[k] = in[k] ^ exponent, |exponent| <= kLargestIntegerPower.
void applyIntegerPower(const ComplexValue* in, int exponent, ComplexValue* out, std::size_t count);

// out[k] = left[k] op right[k] for + - * / and the general power.
void applyBinary(Operation operation, const BlockOperand& left, const BlockOperand& right,
                 ComplexValue* out, std::size_t count);

}  // namespace complexplot
