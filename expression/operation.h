#pragma once

// The operations of the expression language, apart from their kernels, so
// that code built for one instruction set can name them without taking in
// the standard library's complex numbers.

#include <cstdint>

namespace complexplot {

enum class Operation : std::uint8_t {
    variable,
    constant,
    negate,
    add,
    subtract,
    multiply,
    divide,
    // w ^ n for an integer constant n: repeated multiplication.
    integerPower,
    // w ^ p otherwise: exp(p log w), with 0 ^ p = 0 for Re p > 0.
    power,
    sin,
    cos,
    tan,
    cot,
    sinh,
    cosh,
    tanh,
    asin,
    acos,
    atan,
    asinh,
    acosh,
    atanh,
    exp,
    log,
    sqrt,
    abs,
    arg,
    conj,
    re,
    im,
};

}  // namespace complexplot
