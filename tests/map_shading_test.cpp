// What a map shows: the modulus on a logarithmic scale, the argument, the
// phase portrait's wheel, symlog greys, their automatic ranges, and that
// the pixels do not depend on the threads.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "compiled_expression.h"
#include "map_geometry.h"
#include "map_shading.h"
#include "value_grid.h"

using namespace complexplot;

namespace {

constexpr double kPi = std::numbers::pi;

MapGeometry squareAbout0(int side) {
    MapGeometry map;
    map.x0 = map.y0 = -2;
    map.x1 = map.y1 = 2;
    map.width = map.height = side;
    return map;
}

LargeVector<ComplexValue> valuesOf(const char* expression, const MapGeometry& geometry) {
    return computeValues(CompiledExpression(expression), geometry, 1);
}

ShadedMaps shaded(std::span<const ComplexValue> values, const MapShading& shading,
                  int threads = 1) {
    const LargeVector<ComplexValue> logs = shading.kind == MapKind::realImaginary
                                               ? LargeVector<ComplexValue>()
                                               : logarithms(values, threads);
    return shadeMaps(values, logs, shading, threads);
}

MapShading modulusArgument(GreyRange modulus) {
    MapShading shading;
    shading.kind = MapKind::modulusArgument;
    shading.realRange = modulus;
    return shading;
}

}  // namespace

TEST(ModulusMap, GreysLieOnCirclesWithOneWhereTheFormulaPutsIt) {
    const MapGeometry geometry = squareAbout0(64);
    const LargeVector<ComplexValue> values = valuesOf("z", geometry);
    const GreyRange range{0.01, 100};
    const ShadedMaps maps = shaded(values, modulusArgument(range));
    // The grid is symmetric about both axes and the diagonal: the eight
    // points of one modulus have one grey.
    const int n = geometry.width;
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < n; ++column) {
            const std::uint8_t grey = maps.first[row * n + column];
            ASSERT_EQ(grey, maps.first[row * n + (n - 1 - column)]);
            ASSERT_EQ(grey, maps.first[(n - 1 - row) * n + column]);
            ASSERT_EQ(grey, maps.first[column * n + row]);
        }
    }
    // |f| = 1 lies halfway between 10^-2 and 10^2 in logarithms.
    EXPECT_EQ(modulusGrey(0.0, range), 127);
    EXPECT_EQ(modulusGrey(std::log(100.0), range), 255);
    EXPECT_EQ(modulusGrey(std::log(0.01), range), 0);
}

TEST(ModulusMap, ZeroIsBlack) {
    const ComplexValue zeros[] = {{0.0, 0.0}, {-0.0, 0.0}, {0.0, -0.0}};
    const ShadedMaps maps = shaded(zeros, modulusArgument({1e-300, 1e-299}));
    for (const std::uint8_t grey : maps.first) {
        EXPECT_EQ(grey, 0);
    }
    EXPECT_TRUE(maps.withoutValue.empty());
}

TEST(ArgumentMap, IsAtan2ExactlyOverTheGrid) {
    const MapGeometry geometry = squareAbout0(33);
    const LargeVector<ComplexValue> values = valuesOf("z", geometry);
    const ShadedMaps maps = shaded(values, modulusArgument({1, 10}));
    for (std::size_t k = 0; k < values.size(); ++k) {
        const double argument = std::atan2(values[k].imag(), values[k].real());
        ASSERT_EQ(maps.second[k], static_cast<std::uint8_t>(std::min(
                                      255.0, std::floor(255 * (argument + kPi) / (2 * kPi)))))
            << values[k];
    }
}

TEST(ArgumentMap, CutAlongTheNegativeAxisKeepsSignedZeros) {
    const ComplexValue points[] = {{-1.0, 1e-300}, {-1.0, 0.0}, {-1.0, -0.0}, {-1.0, -1e-300},
                                   {0.0, 0.0},     {-0.0, 0.0}, {-0.0, -0.0}, {1.0, -0.0}};
    const ShadedMaps maps = shaded(points, modulusArgument({1, 10}));
    const std::uint8_t expected[] = {255, 255, 0, 0, 127, 255, 0, 127};
    for (std::size_t k = 0; k < std::size(points); ++k) {
        EXPECT_EQ(maps.second[k], expected[k]) << points[k];
    }
}

TEST(PhaseWheel, SixColoursAtMultiplesOfAThirdOfPi) {
    const RgbColour expected[] = {{255, 0, 0},   {255, 255, 0}, {0, 255, 0},
                                  {0, 255, 255}, {0, 0, 255},   {255, 0, 255}};
    for (int k = -3; k <= 3; ++k) {
        // The points z = e^(ik pi/3), as the map takes them from f = z.
        const ComplexValue z = std::polar(1.0, k * kPi / 3);
        const ShadedMaps maps = shaded(std::span(&z, 1), MapShading{.kind = MapKind::phase});
        const RgbColour& colour = expected[(k + 6) % 6];
        EXPECT_EQ(maps.colours[0], colour.red) << "k = " << k;
        EXPECT_EQ(maps.colours[1], colour.green) << "k = " << k;
        EXPECT_EQ(maps.colours[2], colour.blue) << "k = " << k;
    }
}

TEST(PhaseWheel, PointsWithoutValueAreMidGrey) {
    const ComplexValue points[] = {{std::numeric_limits<double>::infinity(), 0.0}, {1.0, 0.0}};
    const ShadedMaps maps = shaded(points, MapShading{.kind = MapKind::phase});
    EXPECT_EQ(maps.colours[0], 128);
    EXPECT_EQ(maps.colours[1], 128);
    EXPECT_EQ(maps.colours[2], 128);
    EXPECT_EQ(maps.colours[3], 255);
    EXPECT_EQ(maps.withoutValue, std::vector<std::size_t>{0});
}

struct ModulusRangeCase {
    const char* name;
    std::vector<ComplexValue> values;
    GreyRange expected;
};

class AutomaticModulusRange : public testing::TestWithParam<ModulusRangeCase> {};

TEST_P(AutomaticModulusRange, WidensToWholeDecades) {
    const LargeVector<ComplexValue> logs = logarithms(GetParam().values, 2);
    const GreyRange range = automaticModulusRange(logs, 2);
    EXPECT_EQ(range.low, GetParam().expected.low);
    EXPECT_EQ(range.high, GetParam().expected.high);
}

std::vector<ComplexValue> spread(double from, double to) {
    std::vector<ComplexValue> values;
    for (int k = 0; k <= 100; ++k) {
        values.emplace_back(0.0, from * std::pow(to / from, k / 100.0));
    }
    return values;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutomaticModulusRange,
    testing::Values(
        ModulusRangeCase{"Spread", spread(0.03, 250), {0.01, 1000}},
        ModulusRangeCase{"PowersOfTenKept", {{0.01, 0.0}, {0.0, 100.0}}, {0.01, 100}},
        ModulusRangeCase{"OneValueAllOver", std::vector<ComplexValue>(9, {3.0, 4.0}), {1, 10}},
        ModulusRangeCase{
            "OnePowerOfTenAllOver", std::vector<ComplexValue>(9, {0.0, -10.0}), {10, 100}},
        ModulusRangeCase{"OnlyZeros", std::vector<ComplexValue>(9, {0.0, 0.0}), {1, 10}},
        ModulusRangeCase{"TinyAndHuge", {{5e-324, 0.0}, {1e308, 1e308}}, {1e-323, 1e308}}),
    [](const auto& info) { return info.param.name; });

TEST(SymlogGreys, ScaleIsThePowerOfTenNearestTheMedianPart) {
    const std::vector<ComplexValue> values = {{0.0, 0.0}, {3e5, 0.0}, {0.0, -2e5}, {5e5, 9e9}};
    // Non-zero sizes 2e5, 3e5, 5e5, 9e9: the median (nearest rank) 3e5.
    EXPECT_EQ(automaticSymlogScale(values, 2), 1e5);
    EXPECT_EQ(automaticSymlogScale(std::vector<ComplexValue>(3, {0.0, 0.0})), 1.0);
}

TEST(SymlogGreys, OddAndLinearNearZero) {
    const GreyRange range{-1e50, 1e50};
    EXPECT_EQ(symlogGrey(0.0, range, 1.0), 127);
    EXPECT_EQ(symlogGrey(1e50, range, 1.0), 255);
    EXPECT_EQ(symlogGrey(-1e50, range, 1.0), 0);
    // Fifty decades each way, and still apart: 10^10 and 10^40.
    EXPECT_LT(symlogGrey(1e10, range, 1.0), symlogGrey(1e40, range, 1.0));
    EXPECT_EQ(symlog(-3.0, 1.0), -symlog(3.0, 1.0));
}

MapShading symlogShading() {
    MapShading shading;
    shading.curve = GreyCurve::symlog;
    shading.symlogScale = 0.1;
    shading.realRange = shading.imaginaryRange = {-1e20, 1e20};
    return shading;
}

class ShadingThreads : public testing::TestWithParam<MapShading> {};

TEST_P(ShadingThreads, SamePixelsForAnyNumberOfThreads) {
    const LargeVector<ComplexValue> values = valuesOf("exp(1/z)*(z-1)/(z+1)", squareAbout0(97));
    const ShadedMaps one = shaded(values, GetParam(), 1);
    const ShadedMaps three = shaded(values, GetParam(), 3);
    EXPECT_TRUE(
        std::equal(one.first.begin(), one.first.end(), three.first.begin(), three.first.end()));
    EXPECT_TRUE(
        std::equal(one.second.begin(), one.second.end(), three.second.begin(), three.second.end()));
    EXPECT_TRUE(std::equal(one.colours.begin(), one.colours.end(), three.colours.begin(),
                           three.colours.end()));
    EXPECT_EQ(one.withoutValue, three.withoutValue);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ShadingThreads,
                         testing::Values(modulusArgument({0.001, 1000}),
                                         MapShading{.kind = MapKind::phase}, symlogShading()),
                         [](const auto& info) {
                             switch (info.param.kind) {
                                 case MapKind::modulusArgument:
                                     return "ModulusArgument";
                                 case MapKind::phase:
                                     return "Phase";
                                 default:
                                     return "ReImSymlog";
                             }
                         });
