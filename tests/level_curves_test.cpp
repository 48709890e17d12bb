// Level curves: on the lines and circles they should lie on, to a small
// part of a pixel; never along a branch cut; the same for any threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <map>
#include <numbers>
#include <string>

#include "instruction_sets.h"
#include "level_bands.h"
#include "level_curves.h"
#include "value_grid.h"

using namespace complexplot;

namespace {

constexpr double kPi = std::numbers::pi;

class LevelCurves : public testing::Test {
protected:
    // The curves of one set for f over the window, at that size.
    std::vector<LevelCurve> curvesOf(const char* expression, const LevelSet& set, int width,
                                     int height, double half = 2.0, int threads = 1) {
        geometry_.x0 = geometry_.y0 = -half;
        geometry_.x1 = geometry_.y1 = half;
        geometry_.width = width;
        geometry_.height = height;
        const CompiledExpression function(expression);
        values_ = computeValues(function, geometry_, 1);
        return levelCurves(function, geometry_, values_, set, threads);
    }

    // Both lists of curves hold the same segments in the same order, bit
    // for bit.
    static void expectSameVertices(const std::vector<LevelCurve>& a,
                                   const std::vector<LevelCurve>& b) {
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t k = 0; k < a.size(); ++k) {
            ASSERT_EQ(a[k].segments.size(), b[k].segments.size());
            for (std::size_t s = 0; s < a[k].segments.size(); ++s) {
                const CurveSegment& x = a[k].segments[s];
                const CurveSegment& y = b[k].segments[s];
                EXPECT_EQ(std::tie(x.column0, x.row0, x.column1, x.row1),
                          std::tie(y.column0, y.row0, y.column1, y.row1));
            }
        }
    }

    // A vertex's point of the plane.
    ComplexValue pointAt(double column, double row) const {
        return {geometry_.x0 + column * (geometry_.x1 - geometry_.x0) / geometry_.width,
                geometry_.y1 - row * (geometry_.y1 - geometry_.y0) / geometry_.height};
    }

    template <typename Check>
    void forEachVertex(const LevelCurve& curve, Check check) const {
        for (const CurveSegment& segment : curve.segments) {
            check(segment.column0, segment.row0);
            check(segment.column1, segment.row1);
        }
    }

    double pixel() const { return (geometry_.x1 - geometry_.x0) / geometry_.width; }

    MapGeometry geometry_;
    LargeVector<ComplexValue> values_;
};

TEST_F(LevelCurves, RealPartsAreVerticalLinesToAMillionthOfAPixel) {
    const LevelSet set{LevelQuantity::real,
                       {{-1.5, false}, {-0.3, false}, {0.0, true}, {1.0, false}}};
    for (const auto& curve : curvesOf("z", set, 64, 47)) {
        const double column = (curve.level.value - geometry_.x0) / pixel();
        // One segment in every row of cells, each from top to bottom.
        EXPECT_EQ(curve.segments.size(), 46u) << curve.level.value;
        forEachVertex(curve,
                      [&](double c, double) { EXPECT_NEAR(c, column, 1e-6) << curve.level.value; });
    }
}

TEST_F(LevelCurves, ModuliAreCirclesToAHundredthOfAPixel) {
    LevelSet set{LevelQuantity::logModulus, {}};
    for (const double radius : {0.3, 1.0, 1.7}) {
        set.levels.push_back({std::log(radius), false});
    }
    for (const auto& curve : curvesOf("z", set, 80, 80)) {
        const double radius = std::exp(curve.level.value) / pixel();
        EXPECT_GT(curve.segments.size(), 8u);
        forEachVertex(curve, [&](double c, double r) {
            const double fromCentre = std::hypot(c - 40.0, r - 40.0);
            EXPECT_NEAR(fromCentre, radius, 1e-2) << "radius " << radius;
        });
    }
}

// The rays arg z = c of Im log z, and nothing along the cut, with the
// negative real axis on a pixel row (odd height) or between rows (even).
TEST_F(LevelCurves, LogarithmsRaysAreDrawnAndItsCutIsNot) {
    LevelSet set{LevelQuantity::imaginary, {}};
    for (const double c : {-2.5, -1.0, 0.0, 0.5, 3.0}) {
        set.levels.push_back({c, c == 0.0});
    }
    for (const int height : {60, 61}) {
        for (const auto& curve : curvesOf("log(z)", set, 61, height)) {
            EXPECT_GT(curve.segments.size(), 5u) << curve.level.value;
            forEachVertex(curve, [&](double c, double r) {
                const ComplexValue z = pointAt(c, r);
                // On the ray, to within a pixel's angle at that distance.
                const double angle = std::arg(z);
                EXPECT_NEAR(std::remainder(angle - curve.level.value, 2 * kPi), 0.0,
                            1.5 * pixel() / std::abs(z))
                    << curve.level.value << " at " << z << ", height " << height;
            });
        }
    }
}

TEST_F(LevelCurves, ArgumentPiIsTheNegativeRealAxis) {
    const LevelSet set{LevelQuantity::argument, {{kPi, true}, {kPi / 2, false}}};
    for (const int height : {40, 41}) {
        const auto curves = curvesOf("z", set, 41, height);
        EXPECT_GT(curves[0].segments.size(), 10u) << height;
        forEachVertex(curves[0], [&](double c, double r) {
            const ComplexValue z = pointAt(c, r);
            EXPECT_LT(z.real(), 0.0);
            EXPECT_LE(std::abs(z.imag()), 1e-9);
        });
        forEachVertex(curves[1], [&](double c, double r) {
            const ComplexValue z = pointAt(c, r);
            EXPECT_LE(std::abs(z.real()), 1e-9);
            EXPECT_GT(z.imag(), 0.0);
        });
    }
}

// Where the values jump over a level rather than pass through it, nothing
// is drawn: the cut of sqrt and of asin along the real axis, and the
// cells about the pole of 1/z are crossed only by its true curves.
TEST_F(LevelCurves, NothingAlongACutOrIntoAPole) {
    struct Case {
        const char* expression;
        LevelQuantity quantity;
        double level;
    };
    const Case cases[] = {{"sqrt(z)", LevelQuantity::imaginary, 0.0},
                          {"sqrt(z)", LevelQuantity::imaginary, 0.4},
                          {"asin(z)", LevelQuantity::imaginary, 0.0},
                          {"1/z", LevelQuantity::real, 0.7},
                          {"tan(z)", LevelQuantity::imaginary, 0.5}};
    for (const Case& c : cases) {
        for (const int height : {50, 51}) {
            const LevelSet set{c.quantity, {{c.level, false}}};
            const auto curves = curvesOf(c.expression, set, 51, height);
            const CompiledExpression function(c.expression);
            forEachVertex(curves[0], [&](double column, double row) {
                const ComplexValue f = function(pointAt(column, row));
                const double value = c.quantity == LevelQuantity::real ? f.real() : f.imag();
                EXPECT_NEAR(value, c.level, 1e-4 * std::max(1.0, std::abs(f)))
                    << c.expression << " at " << pointAt(column, row) << ", height " << height;
            });
        }
    }
}

TEST_F(LevelCurves, RationalFunctionsZerosAndPolesLieOnBothZeroCurves) {
    const char* expression = "(z^2+1)/(z^2-1)";
    for (const LevelQuantity quantity : {LevelQuantity::real, LevelQuantity::imaginary}) {
        const auto curves = curvesOf(expression, {quantity, {{0.0, true}}}, 64, 64);
        for (const ComplexValue special :
             {ComplexValue(0, 1), ComplexValue(0, -1), ComplexValue(1, 0), ComplexValue(-1, 0)}) {
            double nearest = 1e9;
            forEachVertex(curves[0], [&](double column, double row) {
                nearest = std::min(nearest, std::abs(pointAt(column, row) - special));
            });
            EXPECT_LE(nearest, pixel()) << special << " quantity " << static_cast<int>(quantity);
        }
    }
}

// A curve is drawn whole: every vertex inside the map joins two segments
// of its own level: through the saddle of |z^3 - 1| = 1 at 0 and where the
// curve nearly touches a row of centres, and for levels of Im z^2 closer
// than a pixel, which cross the same cells and share their edges (none of
// them a value at a centre, where a curve through the centre joins more).
TEST_F(LevelCurves, CurvesHaveNoGaps) {
    const std::pair<const char*, LevelSet> cases[] = {
        {"z^3-1",
         {LevelQuantity::logModulus, {{std::log(0.5), false}, {0.0, false}, {0.1, false}}}},
        {"z^2", {LevelQuantity::imaginary, {{1.0001, false}, {1.0021, false}, {1.0041, false}}}}};
    for (const auto& [expression, set] : cases) {
        for (const LevelCurve& curve : curvesOf(expression, set, 200, 200)) {
            std::map<std::pair<long, long>, int> joins;
            auto at = [](double column, double row) {
                return std::pair{std::lround(column * 1e6), std::lround(row * 1e6)};
            };
            for (const CurveSegment& segment : curve.segments) {
                ++joins[at(segment.column0, segment.row0)];
                ++joins[at(segment.column1, segment.row1)];
            }
            for (const auto& [place, count] : joins) {
                const double column = place.first / 1e6;
                const double row = place.second / 1e6;
                if (column > 1 && column < 199 && row > 1 && row < 199) {
                    EXPECT_EQ(count, 2) << expression << " at " << pointAt(column, row) << " level "
                                        << curve.level.value;
                }
            }
        }
    }
}

TEST_F(LevelCurves, SameVerticesForAnyNumberOfThreads) {
    const LevelSet set{LevelQuantity::imaginary, roundLevels(-3, 3)};
    const auto one = curvesOf("exp(1/z)*sin(z)", set, 57, 143, 1.0, 1);
    const auto three = curvesOf("exp(1/z)*sin(z)", set, 57, 143, 1.0, 3);
    expectSameVertices(one, three);
}

// The workers' buffers outlive a call: what one call left in them (longer
// rows, more levels, crossings of another function, more threads) must not
// reach the next.
TEST_F(LevelCurves, SameVerticesWhateverCameBefore) {
    const LevelSet set{LevelQuantity::imaginary, roundLevels(-3, 3)};
    const auto first = curvesOf("exp(1/z)*sin(z)", set, 57, 143, 1.0, 2);
    const LevelSet many{LevelQuantity::real, roundLevels(-10, 10)};
    curvesOf("tan(z)", many, 301, 97, 3.0, 3);
    curvesOf("log(z)", {LevelQuantity::argument, {{0.5}, {-1.0}}}, 40, 40, 2.0, 1);
    const auto again = curvesOf("exp(1/z)*sin(z)", set, 57, 143, 1.0, 2);
    expectSameVertices(first, again);
}

TEST(DefaultLevels, RoundStepsOverTheRangeWithZeroHeavier) {
    const std::vector<Level> levels = roundLevels(-3.3, 3.3);
    ASSERT_GE(levels.size(), 8u);
    ASSERT_LE(levels.size(), 14u);
    for (const Level& level : levels) {
        EXPECT_EQ(level.heavy, level.value == 0.0);
    }
    EXPECT_EQ(levels[1].value - levels[0].value, 0.5);
}

// The bands of a set of levels, from each instruction set, against the
// plain rule: how many levels lie at or below the part, -1 without a value.
struct BandCase {
    const char* name;
    std::vector<double> levels;
};

class LevelBandsOnEachSet : public OnEachInstructionSet {
protected:
    // Points at, just beside and far from each level, the special values,
    // and a count that ends inside a vector.
    static std::vector<ComplexValue> pointsAround(const std::vector<double>& levels) {
        const double inf = std::numeric_limits<double>::infinity();
        std::vector<double> parts = {0.0, -0.0, 1e308, -1e308, 5e-324, -inf, inf, std::nan("")};
        for (const double level : levels) {
            parts.insert(parts.end(), {level, std::nextafter(level, -inf),
                                       std::nextafter(level, inf), level + 0.3, level - 0.7});
        }
        std::vector<ComplexValue> points;
        for (const double re : parts) {
            for (const double im : {0.25, -3.0, inf, std::nan("")}) {
                points.emplace_back(re, im);
                points.emplace_back(im, re);
            }
        }
        points.pop_back();
        return points;
    }
};

TEST_P(LevelBandsOnEachSet, CountTheLevelsAtOrBelowEachPart) {
    const BandCase cases[] = {
        {"none", {}},
        {"one", {0.0}},
        {"even steps", {-2.5, -2, -1.5, -1, -0.5, 0, 0.5, 1, 1.5, 2, 2.5}},
        {"crowded and sparse",
         {-1e300, -3, -2.9999, 0, 1e-300, 0.1, 0.2, 0.3, 7, 8, 9, 10, 1e9, 1e300}},
        {"fifteen", {-7, -6, -5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const BandCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<ComplexValue> points = pointsAround(c.levels);
        for (const ValuePart part : {ValuePart::real, ValuePart::imaginary}) {
            std::vector<std::int16_t> bands(points.size(), 99);
            ASSERT_TRUE(levelBands(GetParam(), points.data(), points.size(), part, c.levels.data(),
                                   c.levels.size(), bands.data()));
            for (std::size_t k = 0; k < points.size(); ++k) {
                const ComplexValue f = points[k];
                const double q = part == ValuePart::real ? f.real() : f.imag();
                const long expected =
                    std::isfinite(f.real()) && std::isfinite(f.imag())
                        ? std::upper_bound(c.levels.begin(), c.levels.end(), q) - c.levels.begin()
                        : -1;
                ASSERT_EQ(bands[k], expected) << "at " << f;
            }
        }
    }
}

TEST_P(LevelBandsOnEachSet, LeaveSetsOfManyLevelsToTheSearch) {
    const std::vector<double> levels(kMostVectorLevels + 1, 1.0);
    const ComplexValue point(2.0, 0.0);
    std::int16_t band = 99;
    EXPECT_FALSE(
        levelBands(GetParam(), &point, 1, ValuePart::real, levels.data(), levels.size(), &band));
    EXPECT_EQ(band, 99);
}

// Rows of bands of every pattern of a cell's corners (a band apart, the
// same, one without a value), in rows of lengths around the vectors'.
TEST_P(LevelBandsOnEachSet, FindTheCellsAcrossBands) {
    std::uint32_t random = 12345;
    const auto next = [&] {
        random = random * 1664525u + 1013904223u;
        return random >> 16;
    };
    for (const std::size_t cells : {0u, 1u, 15u, 16u, 17u, 33u, 100u}) {
        SCOPED_TRACE(cells);
        std::vector<std::int16_t> top(cells + 1), bottom(cells + 1);
        for (std::size_t k = 0; k <= cells; ++k) {
            // Mostly the same band, as in a map.
            top[k] = static_cast<std::int16_t>(next() % 8 == 0 ? next() % 4 - 1 : 2);
            bottom[k] = static_cast<std::int16_t>(next() % 8 == 0 ? next() % 4 - 1 : 2);
        }
        std::vector<int> expected;
        for (std::size_t c = 0; c < cells; ++c) {
            const auto [low, high] = std::minmax({top[c], top[c + 1], bottom[c], bottom[c + 1]});
            if (low != -1 && low != high) {
                expected.push_back(static_cast<int>(c));
            }
        }
        std::vector<int> columns(cells);
        columns.resize(
            cellsAcrossBands(GetParam(), top.data(), bottom.data(), cells, columns.data()));
        EXPECT_EQ(columns, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, LevelBandsOnEachSet,
                         testing::Values(InstructionSet::scalar, InstructionSet::avx2,
                                         InstructionSet::avx512),
                         testNameOf);

}  // namespace
