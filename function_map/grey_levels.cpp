#include "grey_levels.h"

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

}  // namespace complexplot
