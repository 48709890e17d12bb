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
// magenta every pi/3 counter-clockwise.
RgbColour phaseColour(double argument);

// log f for every value, as the expression language computes it: ln|f| in
// the real part, arg f in the imaginary part. On the vector kernels.
LargeVector<ComplexValue> logarithms(std::span<const ComplexValue> values, int threads = 1);

// The pixels of one kind. Re and Im: two grey maps; modulus and argument:
// two grey maps from the logarithms; phase: one RGB map in `colours`, three
// bytes a point, with points without a value mid-grey. The places of the
// points without a value are listed (their greys are 0).
struct ShadedMaps {
    LargeVector<std::uint8_t> first;
    LargeVector<std::uint8_t> second;
    LargeVector<std::uint8_t> colours;
    std::vector<std::size_t> withoutValue;
};

// `logs` is the logarithms of the values where the kind needs them
// (modulus and argument, phase), else empty.
ShadedMaps shadeMaps(std::span<const ComplexValue> values, std::span<const ComplexValue> logs,
                     const MapShading& shading, int threads = 1);

}  // namespace complexplot
