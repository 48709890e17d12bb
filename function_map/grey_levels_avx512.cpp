// The grey levels with AVX-512 enabled; called only where it is supported.

#include <immintrin.h>

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

}  // namespace

std::size_t greyLevelsAvx512(const ComplexValue* values, std::size_t count,
                             const GreyRange& realRange, const GreyRange& imaginaryRange,
                             std::uint8_t* real, std::uint8_t* imaginary) {
    return vectorGreyLevels<storeGreys>(values, count, realRange, imaginaryRange, real, imaginary);
}

}  // namespace complexplot
