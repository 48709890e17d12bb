#include "grey_levels.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "map_shading.h"

namespace complexplot {

std::size_t greyLevels(const ComplexValue* values, std::size_t count, const GreyRange& realRange,
                       const GreyRange& imaginaryRange, std::uint8_t* real,
                       std::uint8_t* imaginary) {
    return greyLevels(bestInstructionSet(), values, count, realRange, imaginaryRange, real,
                      imaginary);
}

std::size_t greyLevels(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                       const GreyRange& realRange, const GreyRange& imaginaryRange,
                       std::uint8_t* real, std::uint8_t* imaginary) {
    switch (instructionSet) {
        case InstructionSet::avx512:
            return greyLevelsAvx512(values, count, realRange, imaginaryRange, real, imaginary);
        case InstructionSet::avx2:
            return greyLevelsAvx2(values, count, realRange, imaginaryRange, real, imaginary);
        case InstructionSet::scalar:
            break;
    }
    std::size_t without = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const bool has = hasValue(values[k]);
        real[k] = has ? greyLevel(values[k].real(), realRange) : 0;
        imaginary[k] = has ? greyLevel(values[k].imag(), imaginaryRange) : 0;
        without += has ? 0 : 1;
    }
    return without;
}

namespace {

constexpr double kPi = 3.141592653589793;

// levelsOf for one value: (v - low) / width, times 255, clamped, cut.
std::uint8_t levelOf(double v, double low, double width) {
    const double scaled = 255.0 * ((v - low) / width);
    if (!(scaled >= 0)) {
        return 0;
    }
    return scaled >= 256 ? 255 : static_cast<std::uint8_t>(scaled);
}

}  // namespace

void logModuli(const ComplexValue* values, std::size_t count, double* logModuli) {
    complexplot::logModuli(bestInstructionSet(), values, count, logModuli);
}

void logModuli(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
               double* logModuli) {
    switch (instructionSet) {
        case InstructionSet::avx512:
            return logModuliAvx512(values, count, logModuli);
        case InstructionSet::avx2:
            return logModuliAvx2(values, count, logModuli);
        case InstructionSet::scalar:
            break;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const double x = values[k].real();
        const double y = values[k].imag();
        const double squares = x * x + y * y;
        logModuli[k] = !hasValue(values[k])                          ? std::nan("")
                       : squares >= 0x1p-1000 && squares <= 0x1p1000 ? 0.5 * std::log(squares)
                                                                     : std::log(std::hypot(x, y));
    }
}

void modulusLevels(const ComplexValue* values, std::size_t count, const GreyRange& modulusRange,
                   std::uint8_t* modulus) {
    modulusLevels(bestInstructionSet(), values, count, modulusRange, modulus);
}

void modulusLevels(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                   const GreyRange& modulusRange, std::uint8_t* modulus) {
    const double logLow = std::log(modulusRange.low);
    const double logWidth = std::log(modulusRange.high) - logLow;
    switch (instructionSet) {
        case InstructionSet::avx512:
            return modulusLevelsAvx512(values, count, logLow, logWidth, modulus);
        case InstructionSet::avx2:
            return modulusLevelsAvx2(values, count, logLow, logWidth, modulus);
        case InstructionSet::scalar:
            break;
    }
    std::vector<double> logs(count);
    logModuli(InstructionSet::scalar, values, count, logs.data());
    for (std::size_t k = 0; k < count; ++k) {
        modulus[k] = levelOf(logs[k], logLow, logWidth);
    }
}

void countDecades(const ComplexValue* values, std::size_t count, std::uint32_t* down,
                  std::uint32_t* up) {
    countDecades(bestInstructionSet(), values, count, down, up);
}

void countDecades(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                  std::uint32_t* down, std::uint32_t* up) {
    switch (instructionSet) {
        case InstructionSet::avx512:
            return countDecadesAvx512(values, count, down, up);
        case InstructionSet::avx2:
            return countDecadesAvx2(values, count, down, up);
        case InstructionSet::scalar:
            break;
    }
    std::vector<double> logs(count);
    logModuli(InstructionSet::scalar, values, count, logs.data());
    auto slot = [](double decade) { return static_cast<std::size_t>(decade - kLowestDecade); };
    for (const double log : logs) {
        if (std::isfinite(log)) {
            const double decades = log * kLog10E;
            ++down[slot(std::floor(decades + kDecadeSlack))];
            ++up[slot(std::floor(decades - kDecadeSlack) + 1)];
        }
    }
}

std::size_t argumentLevels(const ComplexValue* values, std::size_t count, std::uint8_t* argument) {
    return argumentLevels(bestInstructionSet(), values, count, argument);
}

std::size_t argumentLevels(InstructionSet instructionSet, const ComplexValue* values,
                           std::size_t count, std::uint8_t* argument) {
    switch (instructionSet) {
        case InstructionSet::avx512:
            return argumentLevelsAvx512(values, count, argument);
        case InstructionSet::avx2:
            return argumentLevelsAvx2(values, count, argument);
        case InstructionSet::scalar:
            break;
    }
    std::size_t without = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const bool has = hasValue(values[k]);
        argument[k] =
            has ? levelOf(std::atan2(values[k].imag(), values[k].real()), -kPi, 2 * kPi) : 0;
        without += has ? 0 : 1;
    }
    return without;
}

std::size_t phaseColours(const ComplexValue* values, std::size_t count, std::uint8_t* rgb) {
    return phaseColours(bestInstructionSet(), values, count, rgb);
}

std::size_t phaseColours(InstructionSet instructionSet, const ComplexValue* values,
                         std::size_t count, std::uint8_t* rgb) {
    switch (instructionSet) {
        case InstructionSet::avx512:
            return phaseColoursAvx512(values, count, rgb);
        case InstructionSet::avx2:
            return phaseColoursAvx2(values, count, rgb);
        case InstructionSet::scalar:
            break;
    }
    std::size_t without = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const bool has = hasValue(values[k]);
        const RgbColour colour = has ? phaseColour(std::atan2(values[k].imag(), values[k].real()))
                                     : RgbColour{128, 128, 128};
        rgb[3 * k] = colour.red;
        rgb[3 * k + 1] = colour.green;
        rgb[3 * k + 2] = colour.blue;
        without += has ? 0 : 1;
    }
    return without;
}

SizeTally tallySizes(const ComplexValue* values, std::size_t count, double low, double high,
                     std::vector<double>& within) {
    return tallySizes(bestInstructionSet(), values, count, low, high, within);
}

SizeTally tallySizes(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                     double low, double high, std::vector<double>& within) {
    switch (instructionSet) {
        case InstructionSet::avx512:
            return tallySizesAvx512(values, count, low, high, within);
        case InstructionSet::avx2:
            return tallySizesAvx2(values, count, low, high, within);
        case InstructionSet::scalar:
            break;
    }
    SizeTally tally;
    for (std::size_t k = 0; k < count; ++k) {
        if (!hasValue(values[k])) {
            continue;
        }
        tally.total += 2;
        for (const double size : {std::fabs(values[k].real()), std::fabs(values[k].imag())}) {
            tally.below += size < low ? 1 : 0;
            if (size >= low && size <= high) {
                within.push_back(size);
            }
        }
    }
    return tally;
}

}  // namespace complexplot
