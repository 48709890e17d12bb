#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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

// ln|f| of `count` values: half the logarithm of x^2 + y^2 where that sum
// is a normal double far from overflow, else the logarithm of hypot(x, y);
// -inf where f = 0, NaN where f has no value.
void logModuli(const ComplexValue* values, std::size_t count, double* logModuli);
void logModuli(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
               double* logModuli);

// The greys of |f| on the modulus's range, on a logarithmic scale: the
// operations of greyLevel on ln|f| (as logModuli gives it), ln LO and
// ln HI; 0 where f = 0 or has no value.
void modulusLevels(const ComplexValue* values, std::size_t count, const GreyRange& modulusRange,
                   std::uint8_t* modulus);
void modulusLevels(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                   const GreyRange& modulusRange, std::uint8_t* modulus);

// The decades the points are counted in, from the lowest slot on: those of
// every finite, non-zero |f| (4.9e-324 to 2.5e308) downward and upward;
// and how near a power of ten a percentile counts as that power (a
// billionth of a decade: ln|f| carries roundings, and |f| = 100 must not
// widen to 1000).
constexpr int kLowestDecade = -324;
constexpr int kHighestDecade = 309;
constexpr std::size_t kDecades = kHighestDecade - kLowestDecade + 1;
constexpr double kDecadeSlack = 1e-9;
constexpr double kLog10E = 0.4342944819032518;  // log10 e, as the double nearest it

// Counts the points with a finite, non-zero f by decade (slot 0 the
// lowest): `down` at floor(d + slack), `up` at floor(d - slack) + 1, with
// d = ln|f| log10 e and ln|f| as logModuli gives it.
void countDecades(const ComplexValue* values, std::size_t count, std::uint32_t* down,
                  std::uint32_t* up);
void countDecades(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                  std::uint32_t* down, std::uint32_t* up);

// The greys of arg f = atan2(y, x) from -pi (0) to pi (255); 0 for a value
// without one, whose number it returns.
std::size_t argumentLevels(const ComplexValue* values, std::size_t count, std::uint8_t* argument);
std::size_t argumentLevels(InstructionSet instructionSet, const ComplexValue* values,
                           std::size_t count, std::uint8_t* argument);

// The phase portrait's colours of `count` values, three bytes each;
// mid-grey for a value without one, whose number it returns.
std::size_t phaseColours(const ComplexValue* values, std::size_t count, std::uint8_t* rgb);
std::size_t phaseColours(InstructionSet instructionSet, const ComplexValue* values,
                         std::size_t count, std::uint8_t* rgb);

// The sizes |Re f| and |Im f| of the values with one, against a span
// low <= size <= high (low may be -inf and high inf): how many there are,
// how many lie below the span, and those within it, appended to `within`
// in the values' order, each value's real part before its imaginary.
struct SizeTally {
    std::size_t total = 0;
    std::size_t below = 0;
};
SizeTally tallySizes(const ComplexValue* values, std::size_t count, double low, double high,
                     std::vector<double>& within);
SizeTally tallySizes(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                     double low, double high, std::vector<double>& within);

void logModuliAvx2(const ComplexValue* values, std::size_t count, double* logModuli);
void logModuliAvx512(const ComplexValue* values, std::size_t count, double* logModuli);
void modulusLevelsAvx2(const ComplexValue* values, std::size_t count, double logLow,
                       double logWidth, std::uint8_t* modulus);
void modulusLevelsAvx512(const ComplexValue* values, std::size_t count, double logLow,
                         double logWidth, std::uint8_t* modulus);
void countDecadesAvx2(const ComplexValue* values, std::size_t count, std::uint32_t* down,
                      std::uint32_t* up);
void countDecadesAvx512(const ComplexValue* values, std::size_t count, std::uint32_t* down,
                        std::uint32_t* up);
std::size_t argumentLevelsAvx2(const ComplexValue* values, std::size_t count,
                               std::uint8_t* argument);
std::size_t argumentLevelsAvx512(const ComplexValue* values, std::size_t count,
                                 std::uint8_t* argument);
std::size_t phaseColoursAvx2(const ComplexValue* values, std::size_t count, std::uint8_t* rgb);
std::size_t phaseColoursAvx512(const ComplexValue* values, std::size_t count, std::uint8_t* rgb);
SizeTally tallySizesAvx2(const ComplexValue* values, std::size_t count, double low, double high,
                         std::vector<double>& within);
SizeTally tallySizesAvx512(const ComplexValue* values, std::size_t count, double low, double high,
                           std::vector<double>& within);

}  // namespace complexplot
