// Zeros and poles: where they are to the last unit, their orders and
// residues; nothing reported where f is not meromorphic or jumps.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <complex>
#include <numbers>

#include "value_grid.h"
#include "zero_pole_report.h"
#include "zeros_and_poles.h"

using namespace complexplot;

namespace {

constexpr double kPi = std::numbers::pi;

class ZerosAndPolesOf : public testing::Test {
protected:
    // The zeros and poles of f over [x0, x1] x [y0, y1] at that size.
    ZerosAndPoles find(const char* expression, double x0, double x1, double y0, double y1,
                       int width, int height, int threads = 1) {
        geometry_ = MapGeometry{x0, x1, y0, y1, width, height};
        const CompiledExpression function(expression);
        const DifferentiatedExpression derivative(expression);
        const auto values = computeValues(function, geometry_, threads);
        return findZerosAndPoles(function, derivative, geometry_, values, threads);
    }
    ZerosAndPoles find(const char* expression, double half, int size, int threads = 1) {
        return find(expression, -half, half, -half, half, size, size, threads);
    }

    // The point found nearest z, which must be of that kind and order.
    static const ZeroOrPole& at(const ZerosAndPoles& found, ComplexValue z, PointKind kind,
                                int order) {
        const ZeroOrPole* nearest = &found.points.at(0);
        for (const ZeroOrPole& point : found.points) {
            if (std::abs(point.z - z) < std::abs(nearest->z - z)) {
                nearest = &point;
            }
        }
        EXPECT_EQ(nearest->kind, kind) << z;
        EXPECT_EQ(nearest->order, order) << z;
        return *nearest;
    }

    static double ulpsApart(double found, double exact) {
        return std::abs(found - exact) /
               std::ldexp(1.0, std::ilogb(std::max(std::abs(exact), 0x1p-1022)) - 52);
    }

    MapGeometry geometry_;
};

TEST_F(ZerosAndPolesOf, CubeRootsOfUnityToTheLastUnit) {
    // On both an even grid and an odd one, where the root 1 lies on the
    // row of the real axis, between two cells.
    for (const int size : {512, 501}) {
        const ZerosAndPoles found = find("z^3-1", 1.5, size);
        ASSERT_EQ(found.points.size(), 3u) << size;
        for (int k = 0; k < 3; ++k) {
            const ComplexValue root(k == 0 ? 1.0 : -0.5,
                                    k == 0 ? 0.0 : (k == 1 ? 1 : -1) * std::sqrt(3.0) / 2);
            const ZeroOrPole& zero = at(found, root, PointKind::zero, 1);
            EXPECT_LE(ulpsApart(zero.z.real(), root.real()), 1.0) << root;
            EXPECT_LE(std::abs(zero.z.imag() - root.imag()), k == 0 ? 0x1p-52 : 0x1p-53) << root;
        }
    }
}

TEST_F(ZerosAndPolesOf, HighOrderZeroOnAPixelCentre) {
    // 0 is the centre of the middle pixel: its value is exactly 0.
    const ZerosAndPoles found = find("z^5", 1.0, 101);
    ASSERT_EQ(found.points.size(), 1u);
    EXPECT_EQ(found.points[0].z, 0.0);
    EXPECT_EQ(found.points[0].order, 5);
    EXPECT_EQ(found.points[0].kind, PointKind::zero);
}

TEST_F(ZerosAndPolesOf, DoubleZeroAtACellsMiddle) {
    // 0 is the middle of a cell; the argument turns by pi along each of its
    // edges, and two zeros 2e-9 apart are one of order two at this size.
    for (const char* expression : {"z^2", "(z-1e-9)*(z+1e-9)", "z^4"}) {
        const ZerosAndPoles found = find(expression, 1.0, 512);
        ASSERT_EQ(found.points.size(), 1u) << expression;
        EXPECT_EQ(found.points[0].kind, PointKind::zero);
        EXPECT_EQ(found.points[0].order, std::string(expression) == "z^4" ? 4 : 2) << expression;
        EXPECT_LT(std::abs(found.points[0].z), 1e-6) << expression;
    }
}

TEST_F(ZerosAndPolesOf, RationalFunctionResidues) {
    const ZerosAndPoles found = find("(z^2+1)/(z^2-1)", 2.0, 400);
    ASSERT_EQ(found.points.size(), 4u);
    for (const double sign : {1.0, -1.0}) {
        EXPECT_EQ(at(found, {0, sign}, PointKind::zero, 1).z, ComplexValue(0, sign));
        const ZeroOrPole& pole = at(found, sign, PointKind::pole, 1);
        EXPECT_EQ(pole.z, sign);
        EXPECT_NEAR(pole.residue.real(), sign, 1e-12);
        EXPECT_NEAR(pole.residue.imag(), 0.0, 1e-12);
        EXPECT_LT(pole.residueError, 1e-11);
    }
}

TEST_F(ZerosAndPolesOf, DoublePoleAndItsResidue) {
    const ZerosAndPoles found = find("1/(z*(z-1)^2)", 2.0, 256);
    ASSERT_EQ(found.points.size(), 2u);
    const ZeroOrPole& simple = at(found, 0.0, PointKind::pole, 1);
    const ZeroOrPole& twice = at(found, 1.0, PointKind::pole, 2);
    EXPECT_NEAR(std::abs(simple.residue - 1.0), 0.0, 1e-12);
    EXPECT_NEAR(std::abs(twice.residue + 1.0), 0.0, 1e-12);
    EXPECT_NEAR(std::abs(twice.z - 1.0), 0.0, 1e-7);
}

TEST_F(ZerosAndPolesOf, TangentOverTenUnits) {
    const ZerosAndPoles found = find("tan(z)", 5.0, 1024, 2);
    ASSERT_EQ(found.points.size(), 7u);
    for (int k = -1; k <= 1; ++k) {
        EXPECT_EQ(at(found, k * kPi, PointKind::zero, 1).z, ComplexValue(k * kPi));
    }
    for (const double pole : {-1.5 * kPi, -0.5 * kPi, 0.5 * kPi, 1.5 * kPi}) {
        const ZeroOrPole& found_pole = at(found, pole, PointKind::pole, 1);
        EXPECT_LE(ulpsApart(found_pole.z.real(), pole), 2.0) << pole;
        EXPECT_EQ(found_pole.z.imag(), 0.0);
        EXPECT_NEAR(std::abs(found_pole.residue + 1.0), 0.0, 1e-12) << pole;
    }
}

TEST_F(ZerosAndPolesOf, RemovableSingularityIsNoPole) {
    // 0/0 at the middle pixel's centre: a point without a value, no pole.
    const ZerosAndPoles found = find("sin(z)/z", 4.0, 201);
    ASSERT_EQ(found.points.size(), 2u);
    at(found, kPi, PointKind::zero, 1);
    at(found, -kPi, PointKind::zero, 1);
    EXPECT_TRUE(found.unsettled.empty());
}

// Functions with branch cuts or an essential singularity: only true zeros,
// on even and odd grids (the cut along a row of pixel centres, or between
// two rows).
class NothingFalse : public ZerosAndPolesOf,
                     public testing::WithParamInterface<std::pair<std::string, double>> {};

// Each with its one zero, or none (NaN).
TEST_P(NothingFalse, OnlyTrueZeros) {
    const auto [expression, zero] = GetParam();
    for (const int size : {300, 301}) {
        const ZerosAndPoles found = find(expression.c_str(), 2.0, size);
        ASSERT_EQ(found.points.size(), std::isnan(zero) ? 0u : 1u) << expression << " " << size;
        if (!std::isnan(zero)) {
            EXPECT_EQ(at(found, zero, PointKind::zero, 1).z, zero) << expression;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CutsAndEssentialSingularities, NothingFalse,
                         testing::Values(std::pair{std::string("log(z)"), 1.0},
                                         std::pair{std::string("sqrt(z)"), NAN},
                                         std::pair{std::string("sqrt(z)-1"), 1.0},
                                         std::pair{std::string("exp(1/z)"), NAN},
                                         std::pair{std::string("z^0.5-1"), 1.0},
                                         std::pair{std::string("atanh(z)"), 0.0},
                                         std::pair{std::string("acos(z)"), NAN}),
                         [](const testing::TestParamInfo<std::pair<std::string, double>>& info) {
                             std::string name;
                             for (const char c : info.param.first) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST_F(ZerosAndPolesOf, CutAlongARowOfCentresIsNamedAsOne) {
    // On an odd grid the cut of sqrt(z - 1) runs along the row at Im z = 0,
    // its cells all across the window: named for what it is, not as a
    // winding that does not settle. Between two rows nothing is named.
    const ZerosAndPoles onRow = find("sqrt(z-1)", 2.0, 301);
    EXPECT_TRUE(onRow.points.empty());
    ASSERT_FALSE(onRow.unsettled.empty());
    EXPECT_EQ(onRow.unsettled[0].reason, UnsettledPlace::Reason::tooWide);
    EXPECT_NE(zerosAndPolesReport(onRow, "").find("a branch cut along a row"), std::string::npos);
    EXPECT_TRUE(find("sqrt(z-1)", 2.0, 300).unsettled.empty());
}

TEST_F(ZerosAndPolesOf, PoleBesideABranchCut) {
    // A double pole 0.05 from the cut of log: its residue 1 / p on a circle
    // small enough not to cross the cut.
    const ComplexValue p(-0.5, 0.05);
    const ZerosAndPoles found = find("log(z)/(z+0.5-0.05i)^2", 2.0, 300);
    ASSERT_EQ(found.points.size(), 2u);
    at(found, 1.0, PointKind::zero, 1);
    const ZeroOrPole& pole = at(found, p, PointKind::pole, 2);
    EXPECT_NEAR(std::abs(pole.residue - 1.0 / p), 0.0, 1e-11);
    EXPECT_LT(pole.residueError, 1e-11);
}

TEST_F(ZerosAndPolesOf, AccumulatingZerosAreNamedNotCounted) {
    // sin(1/z) vanishes at 1/(k pi): those a pixel apart are found, the
    // rest, near 0, are named as a place where the winding does not settle.
    const ZerosAndPoles found = find("sin(1/z)", 1.0, 400);
    ASSERT_FALSE(found.points.empty());
    for (const ZeroOrPole& point : found.points) {
        EXPECT_EQ(point.kind, PointKind::zero);
        const double k = 1.0 / (kPi * point.z.real());
        EXPECT_NEAR(k, std::round(k), 1e-9) << point.z;
        EXPECT_EQ(point.z.imag(), 0.0);
    }
    ASSERT_FALSE(found.unsettled.empty());
    EXPECT_LT(std::abs(found.unsettled[0].centre), 0.1);
    EXPECT_NE(zerosAndPolesReport(found, "").find("the winding of f does not settle"),
              std::string::npos);
}

TEST_F(ZerosAndPolesOf, OnTheWindowsBorderTheSameEveryRun) {
    // Zeros on the window's edges, in the half pixel outside the outermost
    // centres: left out, whatever the threads; one on the outermost column
    // of centres is found.
    for (const int threads : {1, 2, 1}) {
        const ZerosAndPoles found = find("(z-2)*(z+2i)*(z-1.99)", 2.0, 200, threads);
        ASSERT_EQ(found.points.size(), 1u) << threads;
        EXPECT_EQ(found.points[0].z, 1.99);
    }
}

TEST_F(ZerosAndPolesOf, SameForAnyNumberOfThreads) {
    const ZerosAndPoles one = find("tan(z)*(z-0.3i)^2", 5.0, 300, 1);
    const ZerosAndPoles two = find("tan(z)*(z-0.3i)^2", 5.0, 300, 2);
    ASSERT_EQ(one.points.size(), two.points.size());
    for (std::size_t k = 0; k < one.points.size(); ++k) {
        EXPECT_EQ(tableLine(one.points[k]), tableLine(two.points[k]));
    }
}

TEST_F(ZerosAndPolesOf, FirstThousandByDistanceFromTheCentre) {
    // The zeros of sin z, k pi, about 4 pixels apart: 2101 in the window.
    const ZerosAndPoles found = find("sin(z)", -3300, 3300, -1, 1, 8192, 4);
    EXPECT_EQ(found.found, 2101u);
    ASSERT_EQ(found.points.size(), 1000u);
    EXPECT_EQ(found.points[0].z, 0.0);
    for (const ZeroOrPole& point : found.points) {
        EXPECT_LE(std::abs(point.z), 500 * kPi + 1);
    }
    const std::string report = zerosAndPolesReport(found, "p: ");
    EXPECT_NE(report.find("p: 2101 zeros and poles found: the 1000 nearest the window's centre"),
              std::string::npos);
}

TEST(ZerosAndPolesTable, TabSeparatedShortestNumbers) {
    EXPECT_EQ(tableHeader(), "kind\torder\tre\tim\tresidue_re\tresidue_im");
    ZeroOrPole zero{PointKind::zero, 3, {0.1, -0.0}, {}, 0.0};
    EXPECT_EQ(tableLine(zero), "zero\t3\t0.1\t-0\t\t");
    ZeroOrPole pole{PointKind::pole, 1, {kPi / 2, 1e-300}, {-1, 2.5e-17}, 0.0};
    EXPECT_EQ(tableLine(pole), "pole\t1\t1.5707963267948966\t1e-300\t-1\t2.5e-17");
}

}  // namespace
