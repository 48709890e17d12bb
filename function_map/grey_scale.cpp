#include "grey_scale.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace complexplot {

namespace {

// The bits of a double as an integer that orders as the doubles do: a
// positive one with its sign bit set, a negative one with every bit
// flipped.
std::uint64_t orderedBits(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

// The rank-th smallest (from 1) of the numbers that `numbersOf` gives for
// the points with a value. Ordering them all would take far more memory
// than a map's greys, and a sort-like pass; instead, a count of them by the
// top 16 bits of their ordered bits (the sign, the exponent and 4 more)
// finds the group that holds the rank, and only that group is kept and
// ordered.
template <typename NumbersOf>
double nthSmallest(std::span<const ComplexValue> values, std::size_t rank, NumbersOf numbersOf) {
    constexpr int kGroupShift = 48;
    std::vector<std::size_t> perGroup(std::size_t{1} << (64 - kGroupShift), 0);
    auto groupOf = [](double number) { return orderedBits(number) >> kGroupShift; };
    for (const ComplexValue value : values) {
        if (hasValue(value)) {
            numbersOf(value, [&](double number) { ++perGroup[groupOf(number)]; });
        }
    }
    std::uint64_t group = 0;
    while (rank > perGroup[group]) {
        rank -= perGroup[group++];
    }
    std::vector<double> inGroup;
    inGroup.reserve(perGroup[group]);
    for (const ComplexValue value : values) {
        if (hasValue(value)) {
            numbersOf(value, [&](double number) {
                if (groupOf(number) == group) {
                    inGroup.push_back(number);
                }
            });
        }
    }
    const auto place = inGroup.begin() + static_cast<std::ptrdiff_t>(rank - 1);
    std::nth_element(inGroup.begin(), place, inGroup.end());
    return *place;
}

std::size_t pointsWithValue(std::span<const ComplexValue> values) {
    return static_cast<std::size_t>(std::count_if(values.begin(), values.end(), hasValue));
}

// Nearest rank: the smallest number that at least `percent` % of `count`
// numbers are at most.
std::size_t nearestRank(std::size_t count, int percent) {
    return std::max<std::size_t>(1, (percent * count + 99) / 100);
}

}  // namespace

GreyRange automaticRange(std::span<const ComplexValue> values) {
    const std::size_t count = 2 * pointsWithValue(values);
    if (count == 0) {
        return GreyRange{};
    }
    const double size =
        nthSmallest(values, nearestRank(count, 98), [](ComplexValue value, auto emit) {
            emit(std::fabs(value.real()));
            emit(std::fabs(value.imag()));
        });
    // Half the largest double at most, so that the range's width is finite.
    const double bound = std::min(size, std::numeric_limits<double>::max() / 2);
    if (bound == 0.0) {
        return GreyRange{};
    }
    return GreyRange{-bound, bound};
}

GreyRange automaticPartRange(std::span<const ComplexValue> values, Part part) {
    const std::size_t count = pointsWithValue(values);
    if (count == 0) {
        return GreyRange{};
    }
    auto partOf = [part](ComplexValue value, auto emit) {
        emit(part == Part::real ? value.real() : value.imag());
    };
    double low = nthSmallest(values, nearestRank(count, 1), partOf);
    double high = nthSmallest(values, nearestRank(count, 99), partOf);
    // The width must be finite: the ends at most half the largest double.
    const double largest = std::numeric_limits<double>::max() / 2;
    low = std::clamp(low, -largest, largest);
    high = std::clamp(high, -largest, largest);
    if (low == high) {
        // One value all over: it stands in the middle of a range of its own
        // size, or of -1 .. 1 about it.
        const double half = std::max(1.0, std::fabs(low) / 2);
        return GreyRange{low - half, high + half};
    }
    return GreyRange{low, high};
}

std::uint8_t greyLevel(double v, const GreyRange& range) {
    const double q = (v - range.low) / (range.high - range.low);
    const double scaled = 255.0 * q;
    // floor(s) < 0 exactly when s < 0, and floor(s) > 255 exactly when
    // s >= 256; in between, truncation is floor.
    if (scaled < 0) {
        return 0;
    }
    if (scaled >= 256) {
        return 255;
    }
    return static_cast<std::uint8_t>(scaled);
}

GreyMaps greyMaps(std::span<const ComplexValue> values, const GreyRange& range) {
    return greyMaps(values, range, range);
}

GreyMaps greyMaps(std::span<const ComplexValue> values, const GreyRange& realRange,
                  const GreyRange& imaginaryRange) {
    GreyMaps maps;
    maps.real.resize(values.size());
    maps.imaginary.resize(values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (hasValue(values[k])) {
            maps.real[k] = greyLevel(values[k].real(), realRange);
            maps.imaginary[k] = greyLevel(values[k].imag(), imaginaryRange);
        } else {
            maps.withoutValue.push_back(k);
        }
    }
    return maps;
}

}  // namespace complexplot
