#pragma once

// What a map shows of f, and how a value becomes a pixel: the real and the
// imaginary part on a linear or a symmetric logarithmic grey scale, the
// modulus on a logarithmic grey scale with the argument beside it, or the
// argument alone as a colour wheel (the phase portrait).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "grey_scale.h"
#include "large_buffer.h"

namespace complexplot {

enum class MapKind : std::uint8_t { realImaginary, modulusArgument, phase };
enum class GreyCurve : std::uint8_t { linear, symlog };

// Where f has no value on the phase portrait: mid-grey, which no colour of
// the wheel is (the marker's green is on the wheel).
constexpr RgbColour kPhaseNoValueColour{128, 128, 128};

// Everything that turns values into pixels.
struct MapShading {
    MapKind kind = MapKind::realImaginary;
    // Re and Im only: the grey curve, and symlog's t.
    GreyCurve curve = GreyCurve::linear;
    double symlogScale = 1.0;
    // Re and Im: each map's range in f's own values, one for both unless
    // rangeForEach. The modulus: LO .. HI of |f|, 0 < LO < HI.
    GreyRange realRange;
    GreyRange imaginaryRange;
    bool rangeForEach = false;
};

// sign(v) ln(1 + |v| / t): linear within about t of 0 and logarithmic
// beyond, odd, and exact at 0.
double symlog(double v, double t);

// floor(255 (symlog(v) - symlog(low)) / (symlog(high) - symlog(low))),
// clamped to 0..255.
std::uint8_t symlogGrey(double v, const GreyRange& range, double t);

// floor(255 (ln|f| - ln LO) / (ln HI - ln LO)), clamped: the grey of |f| on
// a logarithmic scale, from ln|f|; |f| = 0 (ln|f| = -inf) is black.
std::uint8_t modulusGrey(double logModulus, const GreyRange& modulusRange);

// floor(255 (arg + pi) / (2 pi)), clamped: -pi black, pi white.
std::uint8_t argumentGrey(double argument);

// The colour wheel of the phase portrait at an angle: hue from the angle,
// full saturation and value; red at 0, then yellow, green, cyan, blue and
// magenta every pi/3 counter-clockwise. With h = 3 arg / pi, plus 6 where
// negative, the channels are round(255 c) of c = clamp(|h - 3| - 1),
// clamp(2 - |h - 2|) and clamp(2 - |h - 4|), clamped to 0..1.
RgbColour phaseColour(double argument);

// The pixels of one kind. Re and Im: two grey maps; modulus and argument:
// two grey maps of ln|f| (|f| from hypot) and atan2; phase: one RGB map in
// `colours`, three bytes a point, with points without a value mid-grey.
// The places of the points without a value are listed (their greys are
// 0). On the vector sets where the processor has them.
struct ShadedMaps {
    LargeVector<std::uint8_t> first;
    LargeVector<std::uint8_t> second;
    LargeVector<std::uint8_t> colours;
    std::vector<std::size_t> withoutValue;
};

// The modulus's and the argument's maps made a row at a time as the values
// are, while each row is in cache: ln|f| counted by decades for the
// automatic range, and the argument's greys. Workers may add at once.
class ModulusArgumentRows {
public:
    ModulusArgumentRows(std::size_t size, int workers);
    void add(std::span<const ComplexValue> row, std::size_t at, int worker);
    GreyRange automaticRange() const;
    // The two maps, the modulus's on this range, once every row is added.
    ShadedMaps maps(std::span<const ComplexValue> values, const GreyRange& modulusRange,
                    int threads);

private:
    ModulusDecades decades_;
    LargeVector<std::uint8_t> argument_;
    std::vector<std::size_t> without_;
};

// The pixels of Re and Im or of the phase portrait; the modulus's and the
// argument's are ModulusArgumentRows'.
ShadedMaps shadeMaps(std::span<const ComplexValue> values, const MapShading& shading,
                     int threads = 1);

}  // namespace complexplot
