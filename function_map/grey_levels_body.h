// The grey levels in vectors of doubles as wide as one register of the
// instruction set that the including file is built for (GREY_LEVELS_LANES
// doubles: eight with AVX-512, four with AVX2). Wider vectors than the
// registers are no faster: GCC 12 compares them, and chooses by their
// masks, a lane at a time in scalar code. Internal linkage, so that each
// set's file has its own copy.

#include <cstring>

#include "grey_levels.h"

namespace complexplot {
namespace {

constexpr std::size_t kLanes = GREY_LEVELS_LANES;
using Doubles = double __attribute__((vector_size(8 * GREY_LEVELS_LANES)));
using Integers = long long __attribute__((vector_size(8 * GREY_LEVELS_LANES)));
using Words = int __attribute__((vector_size(4 * GREY_LEVELS_LANES)));

// kLanes complex values as their parts, parted.
void partsOf(const ComplexValue* values, Doubles& re, Doubles& im) {
    Doubles first, second;
    std::memcpy(&first, values, sizeof first);
    std::memcpy(&second, values + kLanes / 2, sizeof second);
#if GREY_LEVELS_LANES == 8
    re = __builtin_shuffle(first, second, Integers{0, 2, 4, 6, 8, 10, 12, 14});
    im = __builtin_shuffle(first, second, Integers{1, 3, 5, 7, 9, 11, 13, 15});
#else
    re = __builtin_shuffle(first, second, Integers{0, 2, 4, 6});
    im = __builtin_shuffle(first, second, Integers{1, 3, 5, 7});
#endif
}

// x - x is 0 exactly when x is finite.
Integers finite(Doubles re, Doubles im) {
    return ((re - re) == 0) & ((im - im) == 0);
}

// greyLevel's operations on a vector of values: (v - low) / width, times 255,
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

// `store` writes the levels of each part (0 to 255) as bytes: with
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
        Doubles re, im;
        partsOf(values + k, re, im);
        const Integers has = finite(re, im);
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

Doubles clampedUnit(Doubles v) {
    const Doubles above = v < 0 ? Doubles{} : v;
    return above > 1 ? Doubles{} + 1 : above;
}

Doubles absolute(Doubles v) {
    return v < 0 ? -v : v;
}

// The count of points without a value, from the lanes' counts; the padding
// of a last partial block has a value (zero), so counts nothing.
std::size_t sumOfLanes(Integers missing) {
    std::size_t sum = 0;
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        sum += static_cast<std::size_t>(missing[lane]);
    }
    return sum;
}

// Runs `block` over the values a vector at a time, the last few padded
// with zeros into a block of their own, so that every point takes the
// vector path whatever its place.
template <typename Block>
void byVectors(const ComplexValue* values, std::size_t count, Block block) {
    std::size_t k = 0;
    for (; k + kLanes <= count; k += kLanes) {
        block(values + k, k, kLanes);
    }
    if (k < count) {
        ComplexValue padded[kLanes] = {};
        std::memcpy(padded, values + k, (count - k) * sizeof(ComplexValue));
        block(padded, k, count - k);
    }
}

// ln|f| of a vector of values: half the logarithm of the sum of squares where
// that sum is a normal double far from overflow, else the logarithm of
// hypot, lane by lane, so that a lane's value is its own whatever its
// neighbours; NaN where f has no value. `Maths` names the set's SLEEF
// functions.
template <typename Maths>
Doubles logModuliOf(Doubles re, Doubles im) {
    const Doubles squares = re * re + im * im;
    const Integers plain = (squares >= 0x1p-1000) & (squares <= 0x1p1000);
    Doubles result = 0.5 * Maths::log(squares);
    // Every lane plain, the common case: the lanes compared at once.
    const Integers everyLane = Integers{} - 1;
    if (std::memcmp(&plain, &everyLane, sizeof plain) != 0) {
        result = plain ? result : Maths::log(Maths::hypot(re, im));
    }
    return finite(re, im) ? result : Doubles{} + __builtin_nan("");
}

template <typename Maths>
void vectorLogModuli(const ComplexValue* values, std::size_t count, double* logModuli) {
    byVectors(values, count, [&](const ComplexValue* block, std::size_t at, std::size_t used) {
        Doubles re, im;
        partsOf(block, re, im);
        const Doubles result = logModuliOf<Maths>(re, im);
        std::memcpy(logModuli + at, &result, used * sizeof(double));
    });
}

// The greys of |f| from its logarithm on a logarithmic range: levelsOf
// ln|f|, 0 where f has no value or is 0.
template <typename Maths>
void vectorModulusLevels(const ComplexValue* values, std::size_t count, double logLow,
                         double logWidth, std::uint8_t* modulus) {
    byVectors(values, count, [&](const ComplexValue* block, std::size_t at, std::size_t used) {
        Doubles re, im;
        partsOf(block, re, im);
        const Words levels = levelsOf(logModuliOf<Maths>(re, im), logLow, logWidth, finite(re, im));
        std::uint8_t greys[kLanes], unused[kLanes];
        Maths::store(levels, levels, used == kLanes ? modulus + at : greys, unused);
        if (used < kLanes) {
            std::memcpy(modulus + at, greys, used);
        }
    });
}

// floor(x) of moderate x, through a 32-bit whole number cut toward zero
// (every set converts to those in vectors).
Doubles wholeBelow(Doubles x) {
    const Doubles cut = __builtin_convertvector(__builtin_convertvector(x, Words), Doubles);
    return cut > x ? cut - 1 : cut;
}

// Counts each point with a finite, non-zero f into its decades: down at
// floor(d + slack) and up at floor(d - slack) + 1, d = ln|f| log10 e,
// counted from the lowest decade. A vector's points in one decade each
// way, the common case, count at once.
template <typename Maths>
void vectorCountDecades(const ComplexValue* values, std::size_t count, std::uint32_t* down,
                        std::uint32_t* up) {
    byVectors(values, count, [&](const ComplexValue* block, std::size_t, std::size_t used) {
        Doubles re, im;
        partsOf(block, re, im);
        const Doubles logs = logModuliOf<Maths>(re, im);
        const Integers counted = (logs - logs) == 0;
        const Doubles decades = logs * kLog10E;
        auto slots = [](Doubles decade) {
            return __builtin_convertvector(decade - kLowestDecade, Words);
        };
        const Words downSlots = slots(wholeBelow(decades + kDecadeSlack));
        const Words upSlots = slots(wholeBelow(decades - kDecadeSlack) + 1);
        bool together = used == kLanes;
        for (std::size_t lane = 0; lane < kLanes && together; ++lane) {
            together = counted[lane] != 0 && downSlots[lane] == downSlots[0] &&
                       upSlots[lane] == upSlots[0];
        }
        if (together) {
            down[downSlots[0]] += kLanes;
            up[upSlots[0]] += kLanes;
            return;
        }
        for (std::size_t lane = 0; lane < used; ++lane) {
            if (counted[lane] != 0) {
                ++down[downSlots[lane]];
                ++up[upSlots[lane]];
            }
        }
    });
}

// The greys of arg f = atan2(y, x) from -pi to pi: levelsOf it, 0 without
// a value, whose number it returns.
template <typename Maths>
std::size_t vectorArgumentLevels(const ComplexValue* values, std::size_t count,
                                 std::uint8_t* argument) {
    constexpr double pi = 3.141592653589793;
    Integers missing{};
    byVectors(values, count, [&](const ComplexValue* block, std::size_t at, std::size_t used) {
        Doubles re, im;
        partsOf(block, re, im);
        const Integers has = finite(re, im);
        missing += has + 1;
        const Words angles = levelsOf(Maths::atan2(im, re), -pi, 2 * pi, has);
        std::uint8_t greys[kLanes], unused[kLanes];
        Maths::store(angles, angles, used == kLanes ? argument + at : greys, unused);
        if (used < kLanes) {
            std::memcpy(argument + at, greys, used);
        }
    });
    return sumOfLanes(missing);
}

// The phase portrait's colours, three bytes a point: the wheel of
// phaseColour on atan2(y, x), mid-grey without a value.
template <typename Maths>
std::size_t vectorPhaseColours(const ComplexValue* values, std::size_t count, std::uint8_t* rgb) {
    constexpr double pi = 3.141592653589793;
    Integers missing{};
    byVectors(values, count, [&](const ComplexValue* block, std::size_t at, std::size_t used) {
        Doubles re, im;
        partsOf(block, re, im);
        const Integers has = finite(re, im);
        Doubles h = (3 * Maths::atan2(im, re)) / pi;
        h = h < 0 ? h + 6 : h;
        const Doubles channels[] = {clampedUnit(absolute(h - 3) - 1),
                                    clampedUnit(2 - absolute(h - 2)),
                                    clampedUnit(2 - absolute(h - 4))};
        missing += has + 1;
        for (std::size_t channel = 0; channel < 3; ++channel) {
            const Words level = __builtin_convertvector(
                has ? 255 * channels[channel] + 0.5 : Doubles{} + 128, Words);
            for (std::size_t lane = 0; lane < used; ++lane) {
                rgb[3 * (at + lane) + channel] = static_cast<std::uint8_t>(level[lane]);
            }
        }
    });
    return sumOfLanes(missing);
}

// The tally of the sizes of a vector of values at a time: the counts in
// the lanes, and the values looked at one by one only where one of their
// sizes lies within the span (about one in fifty).
inline SizeTally vectorTallySizes(const ComplexValue* values, std::size_t count, double low,
                                  double high, std::vector<double>& within) {
    Integers withValue{};
    Integers below{};
    const Integers noLane{};
    std::size_t k = 0;
    for (; k + kLanes <= count; k += kLanes) {
        Doubles re, im;
        partsOf(values + k, re, im);
        const Integers has = finite(re, im);
        const Doubles a = absolute(re);
        const Doubles b = absolute(im);
        withValue -= has;
        below -= has & (a < low);
        below -= has & (b < low);
        const Integers in = has & (((a >= low) & (a <= high)) | ((b >= low) & (b <= high)));
        if (std::memcmp(&in, &noLane, sizeof in) != 0) {
            tallySizes(InstructionSet::scalar, values + k, kLanes, low, high, within);
        }
    }
    SizeTally tally = tallySizes(InstructionSet::scalar, values + k, count - k, low, high, within);
    tally.total += 2 * sumOfLanes(withValue);
    tally.below += sumOfLanes(below);
    return tally;
}

}  // namespace
}  // namespace complexplot
