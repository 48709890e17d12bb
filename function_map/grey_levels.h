#pragma once

#include <cstddef>
#include <cstdint>

#include "grey_scale.h"
#include "vector_kernels.h"

namespace complexplot {

// The grey levels of both parts of `count` values, each part on its own
// range; 0 for a value without one. Every instruction set gives greyLevel's
// bits: the same operations in the same order, in vectors where the set
// has them. Runs on the widest set the processor supports unless told.
// Returns the number of values without one.
std::size_t greyLevels(const ComplexValue* values, std::size_t count, const GreyRange& realRange,
                       const GreyRange& imaginaryRange, std::uint8_t* real,
                       std::uint8_t* imaginary);
std::size_t greyLevels(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                       const GreyRange& realRange, const GreyRange& imaginaryRange,
                       std::uint8_t* real, std::uint8_t* imaginary);

// The same for one set, built with its instructions; call only where the
// processor supports them.
std::size_t greyLevelsAvx2(const ComplexValue* values, std::size_t count,
                           const GreyRange& realRange, const GreyRange& imaginaryRange,
                           std::uint8_t* real, std::uint8_t* imaginary);
std::size_t greyLevelsAvx512(const ComplexValue* values, std::size_t count,
                             const GreyRange& realRange, const GreyRange& imaginaryRange,
                             std::uint8_t* real, std::uint8_t* imaginary);

}  // namespace complexplot
