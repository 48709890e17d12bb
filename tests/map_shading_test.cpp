// What a map shows: the modulus on a logarithmic scale, the argument, the
// phase portrait's wheel, symlog greys, their automatic ranges, and that
// the pixels do not depend on the threads.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "compiled_expression.h"
#include "grey_levels.h"
#include "instruction_sets.h"
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
    return shadeMaps(values, shading, threads);
}

MapShading phaseShading() {
    MapShading shading;
    shading.kind = MapKind::phase;
    return shading;
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
        const ShadedMaps maps = shaded(std::span(&z, 1), phaseShading());
        const RgbColour& colour = expected[(k + 6) % 6];
        EXPECT_EQ(maps.colours[0], colour.red) << "k = " << k;
        EXPECT_EQ(maps.colours[1], colour.green) << "k = " << k;
        EXPECT_EQ(maps.colours[2], colour.blue) << "k = " << k;
    }
}

TEST(PhaseWheel, PointsWithoutValueAreMidGrey) {
    const ComplexValue points[] = {{std::numeric_limits<double>::infinity(), 0.0}, {1.0, 0.0}};
    const ShadedMaps maps = shaded(points, phaseShading());
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
    const std::vector<ComplexValue>& values = GetParam().values;
    // Made a point at a time by two workers, as rows are.
    ModulusArgumentRows rows(values.size(), 2);
    for (std::size_t k = 0; k < values.size(); ++k) {
        rows.add(std::span(&values[k], 1), k, static_cast<int>(k % 2));
    }
    const GreyRange range = rows.automaticRange();
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
    // A t so small that |v| / t overflows still orders the values.
    const GreyRange huge{-1e300, 1e300};
    EXPECT_EQ(symlogGrey(0.0, huge, 1e-300), 127);
    EXPECT_EQ(symlogGrey(1e300, huge, 1e-300), 255);
    EXPECT_LT(symlogGrey(1e100, huge, 1e-300), symlogGrey(1e200, huge, 1e-300));
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
                         testing::Values(modulusArgument({0.001, 1000}), phaseShading(),
                                         symlogShading()),
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

namespace complexplot {
namespace {

using PolarLevelsOnEachSet = OnEachInstructionSet;

// Every set gives the greys of the formulas, from the C library's hypot,
// log and atan2 but where a value lies within a rounding of a grey's edge,
// and marks the same points without a value: special values, and a count
// that leaves a partial vector at the end.
TEST_P(PolarLevelsOnEachSet, GiveTheFormulasGreysAndColours) {
    const double inf = std::numeric_limits<double>::infinity();
    const double specials[] = {0.0, -0.0, 1.0, -1.0, 1e-310, 1e300, -3e200, 0.5, inf, -inf, NAN};
    std::vector<ComplexValue> values;
    for (const double re : specials) {
        for (const double im : specials) {
            values.emplace_back(re, im);
        }
    }
    for (int k = 0; k < 3001; ++k) {
        values.push_back(std::polar(std::exp(0.01 * (k - 1500)), 0.0123 * k));
    }
    const GreyRange range{1e-5, 1e5};
    std::vector<std::uint8_t> modulus(values.size()), argument(values.size());
    std::vector<std::uint8_t> rgb(3 * values.size());
    modulusLevels(GetParam(), values.data(), values.size(), range, modulus.data());
    const std::size_t without =
        argumentLevels(GetParam(), values.data(), values.size(), argument.data());
    EXPECT_EQ(phaseColours(GetParam(), values.data(), values.size(), rgb.data()), without);
    std::size_t expectedWithout = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const ComplexValue f = values[k];
        if (!hasValue(f)) {
            ++expectedWithout;
            EXPECT_EQ(modulus[k], 0);
            EXPECT_EQ(argument[k], 0);
            EXPECT_EQ(rgb[3 * k], 128);
            continue;
        }
        const double logModulus = std::log(std::hypot(f.real(), f.imag()));
        const double angle = std::atan2(f.imag(), f.real());
        EXPECT_LE(std::abs(modulus[k] - modulusGrey(logModulus, range)), 1) << f;
        EXPECT_LE(std::abs(argument[k] - argumentGrey(angle)), 1) << f;
        if (modulus[k] != modulusGrey(logModulus, range)) {
            // Only a rounding away from a grey's edge.
            const double q = 255 * (logModulus - std::log(1e-5)) / (std::log(1e5) - std::log(1e-5));
            EXPECT_LT(std::abs(q - std::round(q)), 1e-9) << f;
        }
        const RgbColour colour = phaseColour(angle);
        EXPECT_LE(std::abs(rgb[3 * k] - colour.red), 1) << f;
        EXPECT_LE(std::abs(rgb[3 * k + 1] - colour.green), 1) << f;
        EXPECT_LE(std::abs(rgb[3 * k + 2] - colour.blue), 1) << f;
    }
    EXPECT_EQ(without, expectedWithout);
}

// The vector sets give the same bits as each other.
TEST(PolarLevels, Avx2AndAvx512AgreeBitForBit) {
    if (vectorKernelsFor(InstructionSet::avx512) == nullptr ||
        vectorKernelsFor(InstructionSet::avx2) == nullptr) {
        GTEST_SKIP() << "this processor lacks AVX-512 or AVX2";
    }
    std::vector<ComplexValue> values;
    for (int k = 0; k < 20005; ++k) {
        values.push_back(std::polar(std::exp(0.07 * (k % 1000 - 500)), 0.000314 * k));
    }
    std::vector<std::uint8_t> greys[2][2], colours[2];
    std::vector<std::uint32_t> decades[2][2];
    const InstructionSet sets[] = {InstructionSet::avx2, InstructionSet::avx512};
    for (int set = 0; set < 2; ++set) {
        greys[set][0].resize(values.size());
        greys[set][1].resize(values.size());
        colours[set].resize(3 * values.size());
        modulusLevels(sets[set], values.data(), values.size(), {1e-10, 1e10}, greys[set][0].data());
        argumentLevels(sets[set], values.data(), values.size(), greys[set][1].data());
        phaseColours(sets[set], values.data(), values.size(), colours[set].data());
        decades[set][0].assign(kDecades, 0);
        decades[set][1].assign(kDecades, 0);
        countDecades(sets[set], values.data(), values.size(), decades[set][0].data(),
                     decades[set][1].data());
    }
    EXPECT_EQ(decades[0][0], decades[1][0]);
    EXPECT_EQ(decades[0][1], decades[1][1]);
    EXPECT_EQ(greys[0][0], greys[1][0]);
    EXPECT_EQ(greys[0][1], greys[1][1]);
    EXPECT_EQ(colours[0], colours[1]);
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, PolarLevelsOnEachSet,
                         testing::Values(InstructionSet::scalar, InstructionSet::avx2,
                                         InstructionSet::avx512),
                         testNameOf);

}  // namespace
}  // namespace complexplot
