#pragma once

// Level curves of a map: where Re f, Im f, |f| or arg f takes a value,
// found on the grid of pixel centres and checked against f itself, so that
// no curve is drawn across a branch cut, into a pole or along an overflow,
// where the values jump rather than pass through the level.

#include <cstddef>
#include <span>
#include <vector>

#include "compiled_expression.h"
#include "map_geometry.h"
#include "map_shading.h"

namespace complexplot {

// What a level is a value of. For the argument, the level c is found as the
// curve Im(e^-ic f) = 0 where Re(e^-ic f) > 0, so that c = pi, where arg
// jumps from pi to -pi, is found like any other.
enum class LevelQuantity { real, imaginary, logModulus, argument };

struct Level {
    double value = 0.0;  // for logModulus, ln|f|
    bool heavy = false;  // drawn heavier: 0 for Re and Im, 0 and pi for arg
};

// A piece of a curve inside one cell of four pixel centres, in map pixels:
// the centre of pixel (c, r) is at (c + 0.5, r + 0.5).
struct CurveSegment {
    double column0 = 0.0;
    double row0 = 0.0;
    double column1 = 0.0;
    double row1 = 0.0;
};

struct LevelCurve {
    LevelQuantity quantity = LevelQuantity::real;
    Level level;
    std::vector<CurveSegment> segments;  // cell by cell, row by row
};

// The levels a map of this kind gets by default: Re and Im at round steps
// (1, 2 or 5 times a power of ten, about ten levels) over the range, 0
// heavier; |f| at each power of ten of its range (and 2 and 5 times them
// where it spans fewer than three decades); arg at multiples of pi/4, 0
// and pi heavier. The phase portrait: |f| at powers of two and arg at
// multiples of pi/6. Each set with the quantity it is a level of.
struct LevelSet {
    LevelQuantity quantity = LevelQuantity::real;
    std::vector<Level> levels;
};
std::vector<LevelSet> defaultLevels(const MapShading& shading);

// The round steps over a range, with 0 heavier.
std::vector<Level> roundLevels(double low, double high);

// The curves of each level, for the values of `function` over `geometry`
// (as computeValues made them). The same whatever the number of threads.
std::vector<LevelCurve> levelCurves(const CompiledExpression& function, const MapGeometry& geometry,
                                    std::span<const ComplexValue> values, const LevelSet& set,
                                    int threads = 1);

// The curves of several sets over the same values, each set's as
// levelCurves gives them, found in one pass over the values.
std::vector<std::vector<LevelCurve>> levelCurvesOfSets(const CompiledExpression& function,
                                                       const MapGeometry& geometry,
                                                       std::span<const ComplexValue> values,
                                                       std::span<const LevelSet> sets,
                                                       int threads = 1);

}  // namespace complexplot
