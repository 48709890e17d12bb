// The grey levels with AVX-512 enabled; called only where it is supported.

#include <immintrin.h>
#include <sleef.h>

#define GREY_LEVELS_LANES 8
#include "grey_levels_body.h"

namespace complexplot {

namespace {

// Both parts in one register of sixteen, narrowed to bytes at once (in
// the masked form: the same instruction, without the undefined part that
// GCC 12 warns of).
void storeGreys(Words real, Words imaginary, std::uint8_t* realGreys,
                std::uint8_t* imaginaryGreys) {
    using Sixteen = int __attribute__((vector_size(64)));
    const Sixteen both = __builtin_shufflevector(real, imaginary, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10,
                                                 11, 12, 13, 14, 15);
    const __m128i bytes = _mm512_maskz_cvtepi32_epi8(0xFFFF, __m512i(both));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(realGreys), bytes);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(imaginaryGreys), _mm_unpackhi_epi64(bytes, bytes));
}

// The set's SLEEF functions on eight doubles.
struct Maths {
    static Doubles hypot(Doubles x, Doubles y) {
        return Sleef_finz_hypotd8_u05avx512f(__m512d(x), __m512d(y));
    }
    static Doubles log(Doubles x) { return Sleef_finz_logd8_u35avx512f(__m512d(x)); }
    static Doubles atan2(Doubles y, Doubles x) {
        return Sleef_finz_atan2d8_u10avx512f(__m512d(y), __m512d(x));
    }
    static constexpr auto store = storeGreys;
};

}  // namespace

std::size_t greyLevelsAvx512(const ComplexValue* values, std::size_t count,
                             const GreyRange& realRange, const GreyRange& imaginaryRange,
                             std::uint8_t* real, std::uint8_t* imaginary) {
    return vectorGreyLevels<storeGreys>(values, count, realRange, imaginaryRange, real, imaginary);
}

void logModuliAvx512(const ComplexValue* values, std::size_t count, double* logModuli) {
    vectorLogModuli<Maths>(values, count, logModuli);
}

void modulusLevelsAvx512(const ComplexValue* values, std::size_t count, double logLow,
                         double logWidth, std::uint8_t* modulus) {
    vectorModulusLevels<Maths>(values, count, logLow, logWidth, modulus);
}

void countDecadesAvx512(const ComplexValue* values, std::size_t count, std::uint32_t* down,
                        std::uint32_t* up) {
    vectorCountDecades<Maths>(values, count, down, up);
}

std::size_t argumentLevelsAvx512(const ComplexValue* values, std::size_t count,
                                 std::uint8_t* argument) {
    return vectorArgumentLevels<Maths>(values, count, argument);
}

std::size_t phaseColoursAvx512(const ComplexValue* values, std::size_t count, std::uint8_t* rgb) {
    return vectorPhaseColours<Maths>(values, count, rgb);
}

SizeTally tallySizesAvx512(const ComplexValue* values, std::size_t count, double low, double high,
                           std::vector<double>& within) {
    return vectorTallySizes(values, count, low, high, within);
}

}  // namespace complexplot
