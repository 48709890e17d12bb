#include "level_curves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "row_workers.h"

namespace complexplot {

namespace {

constexpr double kPi = std::numbers::pi;

// The quantity whose sign says on which side of a level a value lies:
// q(f) - level for Re, Im and ln|f|, and Im(e^-ic f) for the argument c,
// whose crossings count only where Re(e^-ic f) > 0.
struct Side {
    LevelQuantity quantity = LevelQuantity::real;
    double level = 0.0;
    double cosine = 1.0;
    double sine = 0.0;

    Side(LevelQuantity kind, double value)
        : quantity(kind), level(value), cosine(std::cos(value)), sine(std::sin(value)) {}

    double of(ComplexValue f) const {
        switch (quantity) {
            case LevelQuantity::real:
                return f.real() - level;
            case LevelQuantity::imaginary:
                return f.imag() - level;
            case LevelQuantity::logModulus:
                return std::log(std::abs(f)) - level;
            case LevelQuantity::argument:
                return f.imag() * cosine - f.real() * sine;
        }
        return 0.0;
    }

    // Whether a value at a crossing lies on the level's own ray.
    bool onRay(ComplexValue f) const {
        return quantity != LevelQuantity::argument || f.real() * cosine + f.imag() * sine > 0;
    }
};

// A crossing of a level along one edge of a cell, from its corner at
// parameter 0 to the one at 1; s is where it lies.
struct Crossing {
    double column = 0.0;  // the edge's start, in map pixels
    double row = 0.0;
    bool across = true;  // along a row (else down a column)
    double low = 0.0;    // the bracket in s, and the side's values there
    double high = 1.0;
    double lowValue = 0.0;
    double highValue = 0.0;
    double s = 0.5;
    double tolerance = 0.0;
    int lastMoved = -1;  // the end the last step moved: 0 low, 1 high
    bool done = false;
    bool accepted = false;
};

// The rule of a drawn crossing. f is evaluated at the interpolated point of
// the edge and must lie at the level to within a millionth of the
// difference between the edge's two ends; if not, the Illinois method
// (regula falsi that halves a stale end) takes up to four more steps inside
// the edge. Where the quantity is smooth along the edge, the interpolation
// is already within h^2 |q''| / 8 of the level and each step shrinks that
// error faster than linearly, so a true crossing passes in a step or
// three. Where the values jump instead (a branch cut, a pole on the edge,
// an overflow), f on either side of the jump stays near that side's value,
// a large part of the difference from the level, and the crossing fails;
// so does one whose check has no value. For the argument the checked value
// must also lie on the level's own ray, not on the opposite one.
constexpr double kRelativeTolerance = 1e-6;
constexpr int kSteps = 5;

ComplexValue pointOf(const MapGeometry& geometry, const Crossing& crossing) {
    const double column = crossing.column + (crossing.across ? crossing.s : 0.0);
    const double row = crossing.row + (crossing.across ? 0.0 : crossing.s);
    // As sampleX and sampleY compute a centre, at a fractional place.
    return {geometry.x0 + (column + 0.5) * (geometry.x1 - geometry.x0) / geometry.width,
            geometry.y1 - (row + 0.5) * (geometry.y1 - geometry.y0) / geometry.height};
}

void checkCrossings(const CompiledExpression& function, const MapGeometry& geometry,
                    const Side& side, std::vector<Crossing>& crossings) {
    std::vector<ComplexValue> points;
    std::vector<ComplexValue> values;
    std::vector<ComplexValue> scratch;
    std::vector<std::size_t> active;
    for (int step = 0; step < kSteps; ++step) {
        active.clear();
        points.clear();
        for (std::size_t k = 0; k < crossings.size(); ++k) {
            if (!crossings[k].done) {
                active.push_back(k);
                points.push_back(pointOf(geometry, crossings[k]));
            }
        }
        if (active.empty()) {
            return;
        }
        values.resize(points.size());
        function.evaluate(points.data(), values.data(), points.size(), scratch);
        for (std::size_t n = 0; n < active.size(); ++n) {
            Crossing& crossing = crossings[active[n]];
            const ComplexValue f = values[n];
            const double value = side.of(f);
            if (!hasValue(f) || !std::isfinite(value)) {
                crossing.done = true;
                continue;
            }
            if (std::fabs(value) <= crossing.tolerance) {
                crossing.done = true;
                crossing.accepted = side.onRay(f);
                continue;
            }
            // Keep the bracket: the end on the same side moves; where it
            // moved last time too, the other end's value is halved.
            if ((value >= 0) == (crossing.lowValue >= 0)) {
                crossing.highValue *= crossing.lastMoved == 0 ? 0.5 : 1.0;
                crossing.low = crossing.s;
                crossing.lowValue = value;
                crossing.lastMoved = 0;
            } else {
                crossing.lowValue *= crossing.lastMoved == 1 ? 0.5 : 1.0;
                crossing.high = crossing.s;
                crossing.highValue = value;
                crossing.lastMoved = 1;
            }
            crossing.s = crossing.low + crossing.lowValue * (crossing.high - crossing.low) /
                                            (crossing.lowValue - crossing.highValue);
            crossing.done = step == kSteps - 1;
        }
    }
}

// The four edges of a cell, in order around it: top, right, bottom, left,
// each from one corner to the next (top-left, top-right, bottom-right,
// bottom-left).
constexpr std::array<std::array<int, 2>, 4> kEdgeCorners = {{{0, 1}, {1, 2}, {3, 2}, {0, 3}}};

// The segments of one cell from its edges' crossings (-1: none, or not
// drawn), paired where all four are crossed by the cell's centre.
void pairCrossings(const std::array<int, 4>& edgeCrossing, const std::array<bool, 4>& above,
                   bool centreAbove, std::vector<std::array<int, 2>>& pairs) {
    std::array<int, 4> crossed{};
    int count = 0;
    for (int edge = 0; edge < 4; ++edge) {
        crossed[edge] = above[kEdgeCorners[edge][0]] != above[kEdgeCorners[edge][1]];
        count += crossed[edge];
    }
    auto pair = [&](int a, int b) {
        if (edgeCrossing[a] >= 0 && edgeCrossing[b] >= 0) {
            pairs.push_back({edgeCrossing[a], edgeCrossing[b]});
        }
    };
    if (count == 2) {
        int first = -1;
        for (int edge = 0; edge < 4; ++edge) {
            if (crossed[edge] != 0) {
                if (first < 0) {
                    first = edge;
                } else {
                    pair(first, edge);
                }
            }
        }
        return;
    }
    if (count == 4) {
        // A saddle: the corners on the centre's other side are cut off.
        const bool topLeftWithCentre = above[0] == centreAbove;
        if (topLeftWithCentre) {
            pair(0, 1);  // around the top-right corner
            pair(2, 3);  // around the bottom-left one
        } else {
            pair(3, 0);  // around the top-left corner
            pair(1, 2);  // around the bottom-right one
        }
    }
}

// The curves of one level in the cells between rows `row` and row + 1.
void curvesInRow(const CompiledExpression& function, const MapGeometry& geometry,
                 std::span<const ComplexValue> values, const Side& side, int row,
                 std::vector<CurveSegment>& segments) {
    const int width = geometry.width;
    auto valueAt = [&](int column, int r) {
        return values[static_cast<std::size_t>(r) * width + column];
    };
    std::vector<Crossing> crossings;
    // For each cell, the crossing index of each edge.
    std::vector<std::array<int, 4>> cellEdges;
    std::vector<int> cellColumns;
    std::vector<std::array<bool, 4>> cellAbove;
    std::vector<bool> cellCentreAbove;
    for (int column = 0; column + 1 < width; ++column) {
        const std::array<ComplexValue, 4> corners = {valueAt(column, row), valueAt(column + 1, row),
                                                     valueAt(column + 1, row + 1),
                                                     valueAt(column, row + 1)};
        std::array<double, 4> sides{};
        bool drawable = true;
        for (int k = 0; k < 4; ++k) {
            sides[k] = side.of(corners[k]);
            drawable = drawable && hasValue(corners[k]) && std::isfinite(sides[k]);
        }
        if (!drawable) {
            continue;  // no segment to a point without a value
        }
        // A value exactly at the level counts as above it.
        std::array<bool, 4> above{};
        int aboveCount = 0;
        for (int k = 0; k < 4; ++k) {
            above[k] = sides[k] >= 0;
            aboveCount += above[k];
        }
        if (aboveCount == 0 || aboveCount == 4) {
            continue;
        }
        std::array<int, 4> edges = {-1, -1, -1, -1};
        for (int edge = 0; edge < 4; ++edge) {
            const int from = kEdgeCorners[edge][0];
            const int to = kEdgeCorners[edge][1];
            if (above[from] == above[to]) {
                continue;
            }
            Crossing crossing;
            const bool across = edge == 0 || edge == 2;
            crossing.across = across;
            crossing.column = column + (edge == 1 ? 1 : 0);
            crossing.row = row + (edge == 2 ? 1 : 0);
            crossing.lowValue = sides[from];
            crossing.highValue = sides[to];
            crossing.s = sides[from] / (sides[from] - sides[to]);
            crossing.tolerance = kRelativeTolerance * std::fabs(sides[to] - sides[from]);
            edges[edge] = static_cast<int>(crossings.size());
            crossings.push_back(crossing);
        }
        cellEdges.push_back(edges);
        cellColumns.push_back(column);
        cellAbove.push_back(above);
        cellCentreAbove.push_back(sides[0] + sides[1] + sides[2] + sides[3] >= 0);
    }
    if (crossings.empty()) {
        return;
    }
    checkCrossings(function, geometry, side, crossings);
    std::vector<std::array<int, 2>> pairs;
    for (std::size_t cell = 0; cell < cellEdges.size(); ++cell) {
        std::array<int, 4> drawn = cellEdges[cell];
        for (int& index : drawn) {
            if (index >= 0 && !crossings[static_cast<std::size_t>(index)].accepted) {
                index = -1;
            }
        }
        pairs.clear();
        pairCrossings(drawn, cellAbove[cell], cellCentreAbove[cell], pairs);
        for (const auto& [a, b] : pairs) {
            auto place = [&](const Crossing& c) {
                return std::array<double, 2>{c.column + 0.5 + (c.across ? c.s : 0.0),
                                             c.row + 0.5 + (c.across ? 0.0 : c.s)};
            };
            const auto from = place(crossings[static_cast<std::size_t>(a)]);
            const auto to = place(crossings[static_cast<std::size_t>(b)]);
            segments.push_back({from[0], from[1], to[0], to[1]});
        }
    }
}

double roundStep(double width) {
    // 1, 2 or 5 times a power of ten, the one giving nearest ten levels.
    const double rough = width / 10;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double best = power;
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (std::fabs(std::log(width / (factor * power) / 10)) <
            std::fabs(std::log(width / best / 10))) {
            best = factor * power;
        }
    }
    return best;
}

}  // namespace

std::vector<Level> roundLevels(double low, double high) {
    std::vector<Level> levels;
    const double width = high - low;
    if (!(width > 0) || !std::isfinite(width)) {
        return levels;
    }
    const double step = roundStep(width);
    for (double k = std::ceil(low / step); k * step <= high && levels.size() < 64; ++k) {
        levels.push_back({k * step, k == 0});
    }
    return levels;
}

std::vector<LevelSet> defaultLevels(const MapShading& shading) {
    std::vector<LevelSet> sets;
    auto argumentLevels = [](int perHalfTurn, bool heavyEnds) {
        LevelSet set{LevelQuantity::argument, {}};
        for (int k = -perHalfTurn + 1; k <= perHalfTurn; ++k) {
            set.levels.push_back(
                {k * kPi / perHalfTurn, heavyEnds && (k == 0 || k == perHalfTurn)});
        }
        return set;
    };
    switch (shading.kind) {
        case MapKind::realImaginary:
            sets.push_back(
                {LevelQuantity::real, roundLevels(shading.realRange.low, shading.realRange.high)});
            sets.push_back({LevelQuantity::imaginary,
                            roundLevels(shading.imaginaryRange.low, shading.imaginaryRange.high)});
            break;
        case MapKind::modulusArgument: {
            LevelSet modulus{LevelQuantity::logModulus, {}};
            const int low = static_cast<int>(std::lround(std::log10(shading.realRange.low)));
            const int high = static_cast<int>(std::lround(std::log10(shading.realRange.high)));
            const bool fine = high - low < 3;
            for (int decade = low; decade <= high; ++decade) {
                for (const double factor : {1.0, 2.0, 5.0}) {
                    if (factor == 1.0 || (fine && decade < high)) {
                        modulus.levels.push_back(
                            {std::log(factor) + decade * std::numbers::ln10, false});
                    }
                }
            }
            sets.push_back(modulus);
            sets.push_back(argumentLevels(4, true));
            break;
        }
        case MapKind::phase: {
            LevelSet modulus{LevelQuantity::logModulus, {}};
            for (int power = -40; power <= 40; ++power) {
                modulus.levels.push_back({power * std::numbers::ln2, false});
            }
            sets.push_back(modulus);
            sets.push_back(argumentLevels(6, false));
            break;
        }
    }
    return sets;
}

std::vector<LevelCurve> levelCurves(const CompiledExpression& function, const MapGeometry& geometry,
                                    std::span<const ComplexValue> values, const LevelSet& set,
                                    int threads) {
    std::vector<LevelCurve> curves;
    const int rows = std::max(0, geometry.height - 1);
    for (const Level& level : set.levels) {
        const Side side(set.quantity, level.value);
        std::vector<std::vector<CurveSegment>> perRow(static_cast<std::size_t>(rows));
        forEachRow(rows, threads, [&](int row, int) {
            curvesInRow(function, geometry, values, side, row,
                        perRow[static_cast<std::size_t>(row)]);
        });
        LevelCurve curve{set.quantity, level, {}};
        for (const auto& segments : perRow) {
            curve.segments.insert(curve.segments.end(), segments.begin(), segments.end());
        }
        curves.push_back(std::move(curve));
    }
    return curves;
}

}  // namespace complexplot
