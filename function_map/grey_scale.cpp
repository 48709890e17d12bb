#include "grey_scale.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace complexplot {

GreyRange automaticRange(std::span<const ComplexValue> values) {
    // The sizes of all parts, 2 per point, would take four times the memory
    // of a map's greys and a sort-like pass. Instead: the bits of a size that
    // is not negative order it as an integer does, so a count of sizes by
    // their top 16 bits (the exponent and 4 more) finds the group that holds
    // the wanted rank, and only that group is kept and ordered.
    constexpr int kGroupShift = 48;
    std::vector<std::size_t> perGroup(std::size_t{1} << (64 - kGroupShift), 0);
    auto groupOf = [](double size) { return std::bit_cast<std::uint64_t>(size) >> kGroupShift; };
    std::size_t count = 0;
    for (const ComplexValue value : values) {
        if (hasValue(value)) {
            ++perGroup[groupOf(std::fabs(value.real()))];
            ++perGroup[groupOf(std::fabs(value.imag()))];
            count += 2;
        }
    }
    if (count == 0) {
        return GreyRange{};
    }
    // Nearest rank: the smallest size that at least 98 % of all are at most.
    std::size_t rank = (98 * count + 99) / 100;
    std::uint64_t group = 0;
    while (rank > perGroup[group]) {
        rank -= perGroup[group++];
    }
    std::vector<double> inGroup;
    inGroup.reserve(perGroup[group]);
    for (const ComplexValue value : values) {
        if (hasValue(value)) {
            for (const double size : {std::fabs(value.real()), std::fabs(value.imag())}) {
                if (groupOf(size) == group) {
                    inGroup.push_back(size);
                }
            }
        }
    }
    const auto place = inGroup.begin() + static_cast<std::ptrdiff_t>(rank - 1);
    std::nth_element(inGroup.begin(), place, inGroup.end());
    // Half the largest double at most, so that the range's width is finite.
    const double size = std::min(*place, std::numeric_limits<double>::max() / 2);
    if (size == 0.0) {
        return GreyRange{};
    }
    return GreyRange{-size, size};
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
    GreyMaps maps;
    maps.real.resize(values.size());
    maps.imaginary.resize(values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (hasValue(values[k])) {
            maps.real[k] = greyLevel(values[k].real(), range);
            maps.imaginary[k] = greyLevel(values[k].imag(), range);
        } else {
            maps.withoutValue.push_back(k);
        }
    }
    return maps;
}

}  // namespace complexplot
