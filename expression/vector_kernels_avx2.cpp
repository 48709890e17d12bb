// The vector kernels for AVX2 with fused multiply-add, four doubles at a
// time. Built with those instructions enabled; called only when the
// processor has them.

#include <immintrin.h>
#include <sleef.h>

#include "vector_kernel_body.h"

namespace complexplot {
namespace {

struct Avx2Lanes {
    using V = __m256d;
    static constexpr std::size_t kWidth = 4;
    static constexpr unsigned kAllLanes = 0xF;

    static V load(const double* from) { return _mm256_loadu_pd(from); }
    static void store(double* to, V value) { _mm256_storeu_pd(to, value); }
    static V broadcast(double value) { return _mm256_set1_pd(value); }
    template <typename Mask>
    static unsigned bits(Mask mask) {
        return static_cast<unsigned>(_mm256_movemask_pd(reinterpret_cast<__m256d>(mask)));
    }
    static V abs(V value) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), value); }
    static V copysign(V magnitude, V sign) {
        const V signBit = _mm256_set1_pd(-0.0);
        return _mm256_or_pd(_mm256_andnot_pd(signBit, magnitude), _mm256_and_pd(signBit, sign));
    }
    // The first and second halves of (re[0], im[0], re[1], im[1], ...).
    static void interleave(V re, V im, V& first, V& second) {
        using Index = long long __attribute__((vector_size(sizeof(V))));
        first = __builtin_shuffle(re, im, Index{0, 4, 1, 5});
        second = __builtin_shuffle(re, im, Index{2, 6, 3, 7});
    }
    static V fma(V a, V b, V c) { return _mm256_fmadd_pd(a, b, c); }
    static V sqrt(V value) { return _mm256_sqrt_pd(value); }

    static void sincos(V angle, V& sine, V& cosine) {
        const Sleef___m256d_2 both = Sleef_finz_sincosd4_u10avx2(angle);
        sine = both.x;
        cosine = both.y;
    }
    static V exp(V value) { return Sleef_finz_expd4_u10avx2(value); }
    static V expm1(V value) { return Sleef_finz_expm1d4_u10avx2(value); }
    static V log(V value) { return Sleef_finz_logd4_u10avx2(value); }
    static V log1p(V value) { return Sleef_finz_log1pd4_u10avx2(value); }
    static V atan2(V y, V x) { return Sleef_finz_atan2d4_u10avx2(y, x); }
};

}  // namespace

extern constinit const VectorKernels kAvx2Kernels = kernelsOf<Avx2Lanes>(InstructionSet::avx2);

}  // namespace complexplot
