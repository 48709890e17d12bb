// The grey levels in vectors of eight doubles, for a file built with one
// instruction set's instructions enabled: the compiler lays the vectors out
// in that set's registers (two or one per vector). Internal linkage, so that
// each set's file has its own copy.

#include <cstring>

#include "grey_levels.h"

namespace complexplot {
namespace {

using Doubles = double __attribute__((vector_size(64)));
using Integers = long long __attribute__((vector_size(64)));
using Words = int __attribute__((vector_size(32)));
constexpr std::size_t kLanes = 8;

// greyLevel's operations on eight values: (v - low) / width, times 255,
// clamped, cut to an integer; 0 where `has` is not set.
Words levelsOf(Doubles v, double low, double width, Integers has) {
    const Doubles scaled = 255.0 * ((v - low) / width);
    // floor(s) < 0 exactly when s < 0, and floor(s) > 255 exactly when
    // s >= 256; in between, truncation is floor.
    const Doubles clamped = scaled >= 256 ? Doubles{} + 255 : scaled;
    const Integers keep = has & (scaled >= 0);
    // To 32-bit integers, which every set converts to in vectors.
    return __builtin_convertvector(keep ? clamped : Doubles{}, Words);
}

// `store` writes the eight levels of each part (0 to 255) as bytes: with
// the set's own instructions, since the compiler narrows such vectors one
// lane at a time.
template <void (*store)(Words real, Words imaginary, std::uint8_t* realGreys,
                        std::uint8_t* imaginaryGreys)>
std::size_t vectorGreyLevels(const ComplexValue* values, std::size_t count,
                             const GreyRange& realRange, const GreyRange& imaginaryRange,
                             std::uint8_t* real, std::uint8_t* imaginary) {
    const double realWidth = realRange.high - realRange.low;
    const double imaginaryWidth = imaginaryRange.high - imaginaryRange.low;
    std::size_t k = 0;
    Integers missing{};
    for (; k + kLanes <= count; k += kLanes) {
        // Eight complex values as sixteen doubles, parted.
        Doubles first, second;
        std::memcpy(&first, values + k, sizeof first);
        std::memcpy(&second, values + k + kLanes / 2, sizeof second);
        const Doubles re = __builtin_shuffle(first, second, Integers{0, 2, 4, 6, 8, 10, 12, 14});
        const Doubles im = __builtin_shuffle(first, second, Integers{1, 3, 5, 7, 9, 11, 13, 15});
        // x - x is 0 exactly when x is finite.
        const Integers has = ((re - re) == 0) & ((im - im) == 0);
        missing += has + 1;
        store(levelsOf(re, realRange.low, realWidth, has),
              levelsOf(im, imaginaryRange.low, imaginaryWidth, has), real + k, imaginary + k);
    }
    std::size_t without = greyLevels(InstructionSet::scalar, values + k, count - k, realRange,
                                     imaginaryRange, real + k, imaginary + k);
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        without += static_cast<std::size_t>(missing[lane]);
    }
    return without;
}

}  // namespace
}  // namespace complexplot
