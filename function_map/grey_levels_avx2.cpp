// The grey levels with AVX2 enabled; called only where it is supported.

#include <immintrin.h>
#include <sleef.h>

#define GREY_LEVELS_LANES 4
#include "grey_levels_body.h"

namespace complexplot {

namespace {

// Both parts' four levels packed to 16 bits and to 8: the real part's
// four bytes, then the imaginary's.
void storeGreys(Words real, Words imaginary, std::uint8_t* realGreys,
                std::uint8_t* imaginaryGreys) {
    const __m128i shorts = _mm_packus_epi32(__m128i(real), __m128i(imaginary));
    const __m128i bytes = _mm_packus_epi16(shorts, shorts);
    const auto both = static_cast<std::uint64_t>(_mm_cvtsi128_si64(bytes));
    const auto realFour = static_cast<std::uint32_t>(both);
    const auto imaginaryFour = static_cast<std::uint32_t>(both >> 32);
    std::memcpy(realGreys, &realFour, 4);
    std::memcpy(imaginaryGreys, &imaginaryFour, 4);
}

// The set's SLEEF functions on four doubles.
struct Maths {
    static Doubles hypot(Doubles x, Doubles y) {
        return Sleef_finz_hypotd4_u05avx2(__m256d(x), __m256d(y));
    }
    static Doubles log(Doubles x) { return Sleef_finz_logd4_u35avx2(__m256d(x)); }
    static Doubles atan2(Doubles y, Doubles x) {
        return Sleef_finz_atan2d4_u10avx2(__m256d(y), __m256d(x));
    }
    static constexpr auto store = storeGreys;
};

}  // namespace

std::size_t greyLevelsAvx2(const ComplexValue* values, std::size_t count,
                           const GreyRange& realRange, const GreyRange& imaginaryRange,
                           std::uint8_t* real, std::uint8_t* imaginary) {
    return vectorGreyLevels<storeGreys>(values, count, realRange, imaginaryRange, real, imaginary);
}

void logModuliAvx2(const ComplexValue* values, std::size_t count, double* logModuli) {
    vectorLogModuli<Maths>(values, count, logModuli);
}

void modulusLevelsAvx2(const ComplexValue* values, std::size_t count, double logLow,
                       double logWidth, std::uint8_t* modulus) {
    vectorModulusLevels<Maths>(values, count, logLow, logWidth, modulus);
}

void countDecadesAvx2(const ComplexValue* values, std::size_t count, std::uint32_t* down,
                      std::uint32_t* up) {
    vectorCountDecades<Maths>(values, count, down, up);
}

std::size_t argumentLevelsAvx2(const ComplexValue* values, std::size_t count,
                               std::uint8_t* argument) {
    return vectorArgumentLevels<Maths>(values, count, argument);
}

std::size_t phaseColoursAvx2(const ComplexValue* values, std::size_t count, std::uint8_t* rgb) {
    return vectorPhaseColours<Maths>(values, count, rgb);
}

SizeTally tallySizesAvx2(const ComplexValue* values, std::size_t count, double low, double high,
                         std::vector<double>& within) {
    return vectorTallySizes(values, count, low, high, within);
}

}  // namespace complexplot
