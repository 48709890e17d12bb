// The bands with AVX-512 enabled; called only where it is supported.

#include <immintrin.h>

#define LEVEL_BANDS_LANES 8
#include "level_bands_body.h"

namespace complexplot {

namespace {

struct Avx512 {
    // A comparison into a mask and a subtraction under it: GCC makes a
    // vector of the comparison and adds it, one instruction more.
    static Integers count(Integers below, Doubles q, Doubles level) {
        const __mmask8 atOrAbove = _mm512_cmp_pd_mask(__m512d(q), __m512d(level), _CMP_GE_OQ);
        return Integers(
            _mm512_mask_sub_epi64(__m512i(below), atOrAbove, __m512i(below), _mm512_set1_epi64(1)));
    }
    // In the masked form: the same instruction, without the undefined
    // part that GCC 12 warns of.
    static void store(Integers bands, std::int16_t* out) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm512_maskz_cvtepi64_epi16(0xFF, __m512i(bands)));
    }
};

// The band of each lane looked up rather than counted, for up to fourteen
// levels: -inf, the levels, and NaN after them make a table of sixteen,
// two registers, that one permutation reads at eight places at once (no
// value is at or above NaN, so that no band passes the last level). A first
// guess from the levels' mean spacing, then a step down or up wherever
// the table says the guess is wrong, until no lane moves: one or two rounds
// for evenly spaced levels, and exact whatever their spacing, since each
// lane stops only where table[band] <= q < table[band + 1].
class TableBands {
public:
    static constexpr std::size_t kMostLevels = 14;

    TableBands(const double* ascending, std::size_t levels) : levels_(levels) {
        double table[16];
        table[0] = -__builtin_inf();
        for (std::size_t k = 0; k < 15; ++k) {
            table[k + 1] = k < levels ? ascending[k] : __builtin_nan("");
        }
        low_ = _mm512_loadu_pd(table);
        high_ = _mm512_loadu_pd(table + 8);
        const double spread = ascending[levels - 1] - ascending[0];
        perLevel_ = levels > 1 && spread > 0 && spread < __builtin_inf()
                        ? static_cast<double>(levels - 1) / spread
                        : 0.0;
        first_ = ascending[0];
    }

    Integers operator()(Doubles q) const {
        // The guess: 1 + the levels below q at even spacing, clamped to
        // 0 ... levels and made an integer in the low bits of 2^52 plus
        // it. Adding 2^52 rounds to the nearest, so a half less rounds
        // down: the guess is then right but near a level, and one round of
        // checks ends it (rounding up, half the vectors took a second).
        // A NaN lane's guess is anything; its comparisons all fail.
        const __m512d position = _mm512_fmadd_pd(_mm512_sub_pd(__m512d(q), _mm512_set1_pd(first_)),
                                                 _mm512_set1_pd(perLevel_), _mm512_set1_pd(0.5));
        // (Masked forms: the same instructions, without the undefined part
        // that GCC 12 warns of.)
        const __m512d clamped =
            _mm512_maskz_min_pd(0xFF, _mm512_maskz_max_pd(0xFF, position, _mm512_setzero_pd()),
                                _mm512_set1_pd(static_cast<double>(levels_)));
        __m512i band = _mm512_castpd_si512(_mm512_add_pd(clamped, _mm512_set1_pd(0x1p52)));
        const __m512i one = _mm512_set1_epi64(1);
        for (;;) {
            const __m512d below = _mm512_permutex2var_pd(low_, band, high_);
            const __m512d above = _mm512_permutex2var_pd(low_, _mm512_add_epi64(band, one), high_);
            const __mmask8 down = _mm512_cmp_pd_mask(__m512d(q), below, _CMP_LT_OQ);
            const __mmask8 up = _mm512_cmp_pd_mask(__m512d(q), above, _CMP_GE_OQ);
            if ((down | up) == 0) {
                break;
            }
            band = _mm512_mask_sub_epi64(band, down, band, one);
            band = _mm512_mask_add_epi64(band, up, band, one);
        }
        return Integers(_mm512_sub_epi64(band, _mm512_set1_epi64(kIntegerBits)));
    }

private:
    static constexpr long long kIntegerBits = 0x4330000000000000;  // 2^52 as a double's bits
    __m512d low_;
    __m512d high_;
    double first_ = 0.0;
    double perLevel_ = 0.0;
    std::size_t levels_ = 0;
};

}  // namespace

std::size_t levelBandsAvx512(const ComplexValue* values, std::size_t count, ValuePart part,
                             const double* ascending, std::size_t levels, std::int16_t* bands) {
    if (levels >= 1 && levels <= TableBands::kMostLevels) {
        return vectorLevelBands<Avx512>(values, count, part, TableBands(ascending, levels), bands);
    }
    return vectorLevelBands<Avx512>(values, count, part, CountedBands<Avx512>(ascending, levels),
                                    bands);
}

}  // namespace complexplot
