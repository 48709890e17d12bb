// The bands with AVX2 enabled; called only where it is supported.

#include <immintrin.h>

#define LEVEL_BANDS_LANES 4
#include "level_bands_body.h"

namespace complexplot {

namespace {

struct Avx2 {
    static Integers count(Integers below, Doubles q, Doubles level) { return below + (q >= level); }
    // The low halves of the four 64-bit lanes, packed to 16 bits.
    static void store(Integers bands, std::int16_t* out) {
        const __m256i lows =
            _mm256_permutevar8x32_epi32(__m256i(bands), _mm256_setr_epi32(0, 2, 4, 6, 0, 0, 0, 0));
        const __m128i words = _mm256_castsi256_si128(lows);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(words, words));
    }
};

}  // namespace

std::size_t levelBandsAvx2(const ComplexValue* values, std::size_t count, ValuePart part,
                           const double* ascending, std::size_t levels, std::int16_t* bands) {
    return vectorLevelBands<Avx2>(values, count, part, CountedBands<Avx2>(ascending, levels),
                                  bands);
}

}  // namespace complexplot
