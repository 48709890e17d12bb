#include "grey_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace complexplot {

GreyRange automaticRange(const std::vector<ComplexValue>& values) {
    std::vector<double> sizes;
    sizes.reserve(2 * values.size());
    for (const ComplexValue value : values) {
        if (hasValue(value)) {
            sizes.push_back(std::fabs(value.real()));
            sizes.push_back(std::fabs(value.imag()));
        }
    }
    if (sizes.empty()) {
        return GreyRange{};
    }
    // Nearest rank: the smallest size that at least 98 % of all are at most.
    const std::size_t rank = (98 * sizes.size() + 99) / 100;
    const auto place = sizes.begin() + static_cast<std::ptrdiff_t>(rank - 1);
    std::nth_element(sizes.begin(), place, sizes.end());
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

GreyMaps greyMaps(const std::vector<ComplexValue>& values, const GreyRange& range) {
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
