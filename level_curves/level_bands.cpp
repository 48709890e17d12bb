#include "level_bands.h"

#include <algorithm>
#include <cmath>

namespace complexplot {

bool levelBands(const ComplexValue* values, std::size_t count, ValuePart part,
                const double* ascending, std::size_t levels, std::int16_t* bands) {
    return levelBands(bestInstructionSet(), values, count, part, ascending, levels, bands);
}

bool levelBands(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                ValuePart part, const double* ascending, std::size_t levels, std::int16_t* bands) {
    if (levels > kMostVectorLevels) {
        return false;
    }
    std::size_t done = 0;
    switch (instructionSet) {
        case InstructionSet::avx512:
            done = levelBandsAvx512(values, count, part, ascending, levels, bands);
            break;
        case InstructionSet::avx2:
            done = levelBandsAvx2(values, count, part, ascending, levels, bands);
            break;
        case InstructionSet::scalar:
            break;
    }
    for (std::size_t k = done; k < count; ++k) {
        const ComplexValue f = values[k];
        const double q = part == ValuePart::real ? f.real() : f.imag();
        bands[k] = static_cast<std::int16_t>(
            std::isfinite(f.real()) && std::isfinite(f.imag())
                ? std::upper_bound(ascending, ascending + levels, q) - ascending
                : -1);
    }
    return true;
}

std::size_t cellsAcrossBands(const std::int16_t* top, const std::int16_t* bottom, std::size_t cells,
                             int* columns) {
    return cellsAcrossBands(bestInstructionSet(), top, bottom, cells, columns);
}

std::size_t cellsAcrossBands(InstructionSet instructionSet, const std::int16_t* top,
                             const std::int16_t* bottom, std::size_t cells, int* columns) {
    std::size_t found = 0;
    std::size_t cell = 0;
    if (instructionSet != InstructionSet::scalar) {
        found = cellsAcrossBandsAvx2(top, bottom, cells, columns);
        cell = cells / 16 * 16;
    }
    for (; cell < cells; ++cell) {
        const auto [low, high] =
            std::minmax({top[cell], top[cell + 1], bottom[cell], bottom[cell + 1]});
        if (low != -1 && low != high) {
            columns[found++] = static_cast<int>(cell);
        }
    }
    return found;
}

}  // namespace complexplot
