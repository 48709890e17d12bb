// The grey levels with AVX2 enabled; called only where it is supported.

#include <immintrin.h>

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

}  // namespace

std::size_t greyLevelsAvx2(const ComplexValue* values, std::size_t count,
                           const GreyRange& realRange, const GreyRange& imaginaryRange,
                           std::uint8_t* real, std::uint8_t* imaginary) {
    return vectorGreyLevels<storeGreys>(values, count, realRange, imaginaryRange, real, imaginary);
}

}  // namespace complexplot
