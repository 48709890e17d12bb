// The grey levels with AVX2 enabled; called only where it is supported.

#include <immintrin.h>
#include <sleef.h>

#include "grey_levels_body.h"

namespace complexplot {

namespace {

// Packed to 16 bits and to 8 within each half of the register, then the
// four-byte groups put in order: the real part's eight, the imaginary's.
void storeGreys(Words real, Words imaginary, std::uint8_t* realGreys,
                std::uint8_t* imaginaryGreys) {
    const __m256i shorts = _mm256_packus_epi32(__m256i(real), __m256i(imaginary));
    const __m256i bytes = _mm256_packus_epi16(shorts, shorts);
    const __m256i ordered =
        _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 0, 0, 0, 0));
    const __m128i both = _mm256_castsi256_si128(ordered);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(realGreys), both);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(imaginaryGreys), _mm_unpackhi_epi64(both, both));
}

// The set's SLEEF functions on eight doubles, as two halves of four.
struct Maths {
    using Four = double __attribute__((vector_size(32)));
    template <typename F>
    static Doubles halves(Doubles a, Doubles b, F f) {
        const Four low = f(__m256d(__builtin_shufflevector(a, a, 0, 1, 2, 3)),
                           __m256d(__builtin_shufflevector(b, b, 0, 1, 2, 3)));
        const Four high = f(__m256d(__builtin_shufflevector(a, a, 4, 5, 6, 7)),
                            __m256d(__builtin_shufflevector(b, b, 4, 5, 6, 7)));
        return __builtin_shufflevector(low, high, 0, 1, 2, 3, 4, 5, 6, 7);
    }
    static Doubles hypot(Doubles x, Doubles y) {
        return halves(x, y, [](__m256d a, __m256d b) { return Sleef_finz_hypotd4_u05avx2(a, b); });
    }
    static Doubles log(Doubles x) {
        return halves(x, x, [](__m256d a, __m256d) { return Sleef_finz_logd4_u35avx2(a); });
    }
    static Doubles atan2(Doubles y, Doubles x) {
        return halves(y, x, [](__m256d a, __m256d b) { return Sleef_finz_atan2d4_u10avx2(a, b); });
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

}  // namespace complexplot
