// The bands in vectors of doubles as wide as one register of the set that
// the including file is built for (LEVEL_BANDS_LANES doubles), as the grey
// levels are. Internal linkage, so that each set's file has its own copy;
// nothing from the standard library is called here, or one set's copy of
// it could serve the whole program.

#include <cstring>

#include "level_bands.h"

namespace complexplot {
namespace {

constexpr std::size_t kLanes = LEVEL_BANDS_LANES;
using Doubles = double __attribute__((vector_size(8 * LEVEL_BANDS_LANES)));
using Integers = long long __attribute__((vector_size(8 * LEVEL_BANDS_LANES)));

// The band of each lane of q, counted: compared with every level, each
// comparison that holds taking one from `below` (Set::count does, with the
// set's own instructions).
template <typename Set>
class CountedBands {
public:
    CountedBands(const double* ascending, std::size_t levels) : levels_(levels) {
        for (std::size_t k = 0; k < levels; ++k) {
            level_[k] = Doubles{} + ascending[k];
        }
    }
    Integers operator()(Doubles q) const {
        Integers below{};
        for (std::size_t n = 0; n < levels_; ++n) {
            below = Set::count(below, q, level_[n]);
        }
        return -below;
    }

private:
    Doubles level_[kMostVectorLevels];
    std::size_t levels_ = 0;
};

// The points' parts, kLanes at a time, each given the band that `bandOf`
// finds for it, or -1 without a value; Set::store writes the lanes' bands
// as 16-bit integers.
template <typename Set, typename Bands>
std::size_t vectorLevelBands(const ComplexValue* values, std::size_t count, ValuePart part,
                             const Bands& bandOf, std::int16_t* bands) {
    std::size_t k = 0;
    for (; k + kLanes <= count; k += kLanes) {
        Doubles first, second;
        std::memcpy(&first, values + k, sizeof first);
        std::memcpy(&second, values + k + kLanes / 2, sizeof second);
#if LEVEL_BANDS_LANES == 8
        const Doubles re = __builtin_shuffle(first, second, Integers{0, 2, 4, 6, 8, 10, 12, 14});
        const Doubles im = __builtin_shuffle(first, second, Integers{1, 3, 5, 7, 9, 11, 13, 15});
#else
        const Doubles re = __builtin_shuffle(first, second, Integers{0, 2, 4, 6});
        const Doubles im = __builtin_shuffle(first, second, Integers{1, 3, 5, 7});
#endif
        const Integers band = bandOf(part == ValuePart::real ? re : im);
        // x - x is 0 exactly when x is finite.
        const Integers has = ((re - re) == 0) & ((im - im) == 0);
        Set::store(has ? band : Integers{} - 1, bands + k);
    }
    return k;
}

}  // namespace
}  // namespace complexplot
