// The vector kernels for AVX-512 (the foundation set), eight doubles at a
// time. Built with those instructions enabled; called only when the
// processor and the operating system support them.

#include <immintrin.h>
#include <sleef.h>

#include "vector_kernel_body.h"

namespace complexplot {
namespace {

struct Avx512Lanes {
    using V = __m512d;
    static constexpr std::size_t kWidth = 8;
    static constexpr unsigned kAllLanes = 0xFF;

    static V load(const double* from) { return _mm512_loadu_pd(from); }
    static void store(double* to, V value) { _mm512_storeu_pd(to, value); }
    static V broadcast(double value) { return _mm512_set1_pd(value); }
    template <typename Mask>
    static unsigned bits(Mask mask) {
        return _mm512_cmpneq_epi64_mask(reinterpret_cast<__m512i>(mask), _mm512_setzero_si512());
    }
    static V abs(V value) { return _mm512_abs_pd(value); }
    static V copysign(V magnitude, V sign) {
        const __m512i signBit = _mm512_set1_epi64(static_cast<long long>(0x8000000000000000ull));
        return _mm512_castsi512_pd(_mm512_ternarylogic_epi64(signBit, _mm512_castpd_si512(sign),
                                                             _mm512_castpd_si512(magnitude), 0xCA));
    }
    // The first and second halves of (re[0], im[0], re[1], im[1], ...).
    static void interleave(V re, V im, V& first, V& second) {
        using Index = long long __attribute__((vector_size(sizeof(V))));
        first = __builtin_shuffle(re, im, Index{0, 8, 1, 9, 2, 10, 3, 11});
        second = __builtin_shuffle(re, im, Index{4, 12, 5, 13, 6, 14, 7, 15});
    }
    static V fma(V a, V b, V c) { return _mm512_fmadd_pd(a, b, c); }
    // The masked form, with every lane set: the same instruction, without the
    // undefined fill that GCC 12 warns of in the unmasked one.
    static V sqrt(V value) { return _mm512_maskz_sqrt_pd(0xFF, value); }

    static void sincos(V angle, V& sine, V& cosine) {
        const Sleef___m512d_2 both = Sleef_finz_sincosd8_u10avx512f(angle);
        sine = both.x;
        cosine = both.y;
    }
    static V exp(V value) { return Sleef_finz_expd8_u10avx512f(value); }
    static V expm1(V value) { return Sleef_finz_expm1d8_u10avx512f(value); }
    static V log(V value) { return Sleef_finz_logd8_u10avx512f(value); }
    static V log1p(V value) { return Sleef_finz_log1pd8_u10avx512f(value); }
    static V atan2(V y, V x) { return Sleef_finz_atan2d8_u10avx512f(y, x); }
};

}  // namespace

extern constinit const VectorKernels kAvx512Kernels =
    kernelsOf<Avx512Lanes>(InstructionSet::avx512);

}  // namespace complexplot
