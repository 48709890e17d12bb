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

std::size_t cellsAcrossBandsAvx2(const std::int16_t* top, const std::int16_t* bottom,
                                 std::size_t cells, int* columns) {
    const auto load = [](const std::int16_t* at) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    };
    std::size_t found = 0;
    for (std::size_t start = 0; start + 16 <= cells; start += 16) {
        const __m256i a = load(top + start);
        const __m256i b = load(top + start + 1);
        const __m256i c = load(bottom + start);
        const __m256i d = load(bottom + start + 1);
        const __m256i low = _mm256_min_epi16(_mm256_min_epi16(a, b), _mm256_min_epi16(c, d));
        const __m256i high = _mm256_max_epi16(_mm256_max_epi16(a, b), _mm256_max_epi16(c, d));
        const __m256i same = _mm256_or_si256(_mm256_cmpeq_epi16(low, high),
                                             _mm256_cmpeq_epi16(low, _mm256_set1_epi16(-1)));
        // Two bits for each cell: the low one of each pair.
        for (unsigned across = ~static_cast<unsigned>(_mm256_movemask_epi8(same)) & 0x55555555u;
             across != 0; across &= across - 1) {
            columns[found++] = static_cast<int>(start) + __builtin_ctz(across) / 2;
        }
    }
    return found;
}

}  // namespace complexplot
