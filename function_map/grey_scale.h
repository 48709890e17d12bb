#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "large_buffer.h"

#include "operations.h"
#include "plot_platform.h"

namespace complexplot {

// Where f has no value: a colour that is neither a grey nor an axis colour.
constexpr RgbColour kNoValueColour{0, 160, 0};

// The values that map to grey 0 (low) and to grey 255 (high).
struct GreyRange {
    double low = -1.0;
    double high = 1.0;
};

// Whether a value has a number to show: both parts finite. Anything else (a
// pole, an overflow, 0/0) is painted in the marker colour on both maps.
inline bool hasValue(ComplexValue value) {
    return std::isfinite(value.real()) && std::isfinite(value.imag());
}

// -M .. M, with M the 98th percentile (nearest rank) of |Re f| and |Im f|
// over all points that have a value, so that a pole does not wash the maps
// out; -1 .. 1 when M is 0 or no point has a value.
// Each of these passes over the values may share them out over `threads`
// threads; the result is the same whatever their number.
GreyRange automaticRange(std::span<const ComplexValue> values, int threads = 1);

// The automatic ranges sample a map of `points` points at every so many:
// the points at 0, stride, 2 stride, ... in row order.
std::size_t sampleStride(std::size_t points);

// The tally behind automaticRange, gathered while the values are made, a
// row at a time while it is still in cache. The values at the sample's
// points, made first, say where the rank lies; the rows then count the
// part sizes below that span and keep those within it, so that the range
// needs no pass over the values but where the sample misled. Each worker
// adds to its own tally, so the workers may add at once. The range is
// automaticRange's.
class PartSizeTally {
public:
    // `sample`: the values at the points sampleStride(points) apart.
    PartSizeTally(std::span<const ComplexValue> sample, std::size_t points, int workers);
    void add(std::span<const ComplexValue> values, int worker);
    GreyRange automaticRange(std::span<const ComplexValue> values, int threads) const;

private:
    struct WorkerTally {
        std::size_t total = 0;
        std::size_t below = 0;
        std::vector<double> kept;
    };
    // Whether a span could be had from a sample; if not, the range is
    // found from the values alone.
    bool spanned_ = false;
    // The span as numbers: the sizes are never negative, so that comparing
    // them orders them as their bits do. An open end is -inf or inf.
    double low_ = 0.0;
    double high_ = 0.0;
    std::vector<WorkerTally> tallies_;
};

enum class Part { real, imaginary };

// One part's own range: from its 1st to its 99th percentile (nearest rank)
// over the points that have a value; a part with one value all over gets a
// range about it; -1 .. 1 when no point has a value.
GreyRange automaticPartRange(std::span<const ComplexValue> values, Part part, int threads = 1);

// The modulus's automatic range, counted from ln|f| of every point (as
// countDecades counts it): from the 1st to the 99th percentile of |f| over
// the
// points with a finite, non-zero value, widened outward to powers of ten
// (the decade that holds |f| where it is one value all over; 1 .. 10 where
// no point has such a value). Only the decades count, so the count is of
// decades: the percentile's decade is the decade at its rank. Workers may
// add at once.
class ModulusDecades {
public:
    explicit ModulusDecades(int workers);
    void add(std::span<const ComplexValue> values, int worker);
    GreyRange automaticRange() const;

private:
    // For each worker, how many points widen to each decade downward (the
    // 1st percentile's) and upward (the 99th's).
    std::vector<std::vector<std::uint32_t>> down_;
    std::vector<std::vector<std::uint32_t>> up_;
};

// symlog's t: the power of ten nearest (in ratio) the median of the
// non-zero |Re f| and |Im f| over the points with a value; 1 where there is
// none.
double automaticSymlogScale(std::span<const ComplexValue> values, int threads = 1);

// floor(255 (v - low) / (high - low)), clamped to 0..255: the grey level of
// the presets, on this range.
std::uint8_t greyLevel(double v, const GreyRange& range);

// The grey levels of both parts of every value, and the places of the
// values that have none (their grey is 0).
struct GreyMaps {
    LargeVector<std::uint8_t> real;
    LargeVector<std::uint8_t> imaginary;
    std::vector<std::size_t> withoutValue;
};

GreyMaps greyMaps(std::span<const ComplexValue> values, const GreyRange& range, int threads = 1);

// Whether nearly all of a map (99 points in 100 or more) lies on three
// greys or fewer, though not all on one: a range too wide for what the map
// holds.
bool looksWashedOut(std::span<const std::uint8_t> greys);
GreyMaps greyMaps(std::span<const ComplexValue> values, const GreyRange& realRange,
                  const GreyRange& imaginaryRange, int threads = 1);

}  // namespace complexplot
