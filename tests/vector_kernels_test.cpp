// The vector kernels against the scalar path they hand their hard lanes to:
// the same points without a value over a grid that crosses every formula's
// borders, values as close as both are to the truth, blocks of any length
// and any mixture of lanes, and the instruction sets agreeing bit for bit.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "compiled_expression.h"
#include "instruction_sets.h"

using namespace complexplot;

namespace {

// Every function with a vector kernel, the quotient with each kind of
// operand, and powers whose products or reciprocals overflow.
const char* const kExpressions[] = {
    "exp(z)",  "sin(z)",   "cos(z)",  "tan(z)", "cot(z)",   "sinh(z)",   "cosh(z)",
    "tanh(z)", "log(z)",   "sqrt(z)", "abs(z)", "arg(z)",   "1/z",       "z/(1+2i)",
    "(2-i)/z", "z/(z+1i)", "z^5",     "z^-3",   "z*(3-4i)", "z*conj(z)", "-z+2*re(z)-im(z)",
};

// Each part crosses the borders of the formulas' regions (2^-500, 300, 708,
// 2^30, 2^500), the overflow of squares and exponentials, the axes with
// both zeros, subnormals, infinities and NaN.
std::vector<double> borderParts() {
    const double magnitudes[] = {0.0,
                                 0x1p-1074,
                                 1e-310,
                                 0x1p-501,
                                 0x1p-500,
                                 1e-200,
                                 1e-8,
                                 0.5,
                                 1.0,
                                 1.5,
                                 3.0,
                                 299.0,
                                 301.0,
                                 354.0,
                                 356.0,
                                 707.9,
                                 708.1,
                                 709.5,
                                 710.0,
                                 745.0,
                                 1e10,
                                 0x1p30,
                                 0x1p31,
                                 1e200,
                                 0x1p500,
                                 0x1p501,
                                 1e308,
                                 std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN()};
    std::vector<double> parts;
    for (const double magnitude : magnitudes) {
        parts.push_back(magnitude);
        parts.push_back(-magnitude);
    }
    return parts;
}

std::vector<ComplexValue> borderGrid() {
    std::vector<ComplexValue> points;
    const std::vector<double> parts = borderParts();
    for (const double x : parts) {
        for (const double y : parts) {
            points.emplace_back(x, y);
        }
    }
    return points;
}

std::vector<ComplexValue> randomPoints(std::size_t count, double spread) {
    std::mt19937_64 random(23);
    std::uniform_real_distribution<double> part(-spread, spread);
    std::vector<ComplexValue> points(count);
    for (ComplexValue& z : points) {
        z = ComplexValue(part(random), part(random));
    }
    return points;
}

std::vector<ComplexValue> evaluated(const CompiledExpression& function,
                                    const std::vector<ComplexValue>& points) {
    std::vector<ComplexValue> values(points.size());
    std::vector<ComplexValue> scratch;
    function.evaluate(points.data(), values.data(), points.size(), scratch);
    return values;
}

bool hasValue(ComplexValue value) {
    return std::isfinite(value.real()) && std::isfinite(value.imag());
}

bool sameBits(ComplexValue a, ComplexValue b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The same bits, except that a NaN is any NaN: which of two NaNs a sum
// passes on depends on the order the compiler put its operands in.
bool sameValue(ComplexValue a, ComplexValue b) {
    auto samePart = [](double p, double q) {
        return std::memcmp(&p, &q, sizeof p) == 0 || (std::isnan(p) && std::isnan(q));
    };
    return samePart(a.real(), b.real()) && samePart(a.imag(), b.imag());
}

class VectorPath : public testing::TestWithParam<InstructionSet> {
protected:
    void SetUp() override {
        if (vectorKernelsFor(GetParam()) == nullptr) {
            GTEST_SKIP() << "this processor has no " << nameOf(GetParam());
        }
    }
};

}  // namespace

// A point has a value on the vector path exactly when it has one on the
// scalar path; where both have one of a normal size, they are within 8
// units of 2^-52 of each other (each is within 4 of the truth).
TEST_P(VectorPath, SamePointsWithoutAValueAsTheScalarPath) {
    const std::vector<ComplexValue> grid = borderGrid();
    for (const char* expression : kExpressions) {
        const auto vector = evaluated(CompiledExpression(expression, GetParam()), grid);
        const auto scalar = evaluated(CompiledExpression(expression, InstructionSet::scalar), grid);
        int mismatches = 0;
        for (std::size_t k = 0; k < grid.size() && mismatches < 5; ++k) {
            const bool agree = hasValue(vector[k]) == hasValue(scalar[k]);
            const double size = std::abs(scalar[k]);
            const bool close = !hasValue(scalar[k]) || !(size > 0x1p-960 && size < 0x1p960) ||
                               std::abs(vector[k] - scalar[k]) <= 0x1p-49 * size;
            if (!agree || !close) {
                ++mismatches;
                ADD_FAILURE() << expression << " at " << grid[k] << ": " << vector[k]
                              << " on the vector path, " << scalar[k] << " on the scalar path";
            }
        }
    }
}

// A block mixing lanes the formulas vouch for with lanes they hand on gives
// each point what it gives alone, and every point with an infinite or NaN
// part exactly the scalar path's value.
TEST_P(VectorPath, MixedBlockGivesEachPointItsOwnValue) {
    // Every point of the border grid, each between two random ones.
    const std::vector<ComplexValue> border = borderGrid();
    const std::vector<ComplexValue> random = randomPoints(2 * border.size(), 4.0);
    std::vector<ComplexValue> points;
    for (std::size_t k = 0; k < border.size(); ++k) {
        points.push_back(random[2 * k]);
        points.push_back(border[k]);
        points.push_back(random[2 * k + 1]);
    }
    for (const char* expression : kExpressions) {
        const CompiledExpression function(expression, GetParam());
        const CompiledExpression scalar(expression, InstructionSet::scalar);
        const auto values = evaluated(function, points);
        for (std::size_t k = 0; k < points.size(); ++k) {
            EXPECT_TRUE(sameBits(values[k], function(points[k])))
                << expression << " at " << points[k];
            if (!hasValue(points[k])) {
                EXPECT_TRUE(sameValue(values[k], scalar(points[k])))
                    << expression << " at " << points[k];
            }
        }
    }
}

// Blocks of any length, shorter than a vector or not a multiple of one,
// give the same values and write nothing past their end.
TEST_P(VectorPath, BlocksOfAnyLength) {
    const std::vector<ComplexValue> points = randomPoints(40, 3.0);
    const ComplexValue guard(1234.5, -6789.0);
    for (const char* expression : {"exp(1/z)", "log(z)*z^-3", "sqrt(z)*cos(z) + asin(z)"}) {
        const CompiledExpression function(expression, GetParam());
        const auto whole = evaluated(function, points);
        for (std::size_t count = 1; count <= 19; ++count) {
            std::vector<ComplexValue> values(count + 8, guard);
            std::vector<ComplexValue> scratch;
            function.evaluate(points.data(), values.data(), count, scratch);
            for (std::size_t k = 0; k < count; ++k) {
                EXPECT_TRUE(sameBits(values[k], whole[k])) << expression << " " << count;
            }
            for (std::size_t k = count; k < values.size(); ++k) {
                EXPECT_TRUE(sameBits(values[k], guard)) << expression << " " << count;
            }
        }
    }
}

// AVX-512 and AVX2 give the same bits: a map does not change with the
// processor it is drawn on, as long as that has one of the two.
TEST(VectorPathAgrees, AcrossInstructionSets) {
    if (vectorKernelsFor(InstructionSet::avx512) == nullptr ||
        vectorKernelsFor(InstructionSet::avx2) == nullptr) {
        GTEST_SKIP() << "this processor lacks AVX-512 or AVX2, so the two cannot be compared";
    }
    std::vector<ComplexValue> points = borderGrid();
    const auto random = randomPoints(4000, 5.0);
    points.insert(points.end(), random.begin(), random.end());
    for (const char* expression : kExpressions) {
        const auto wide = evaluated(CompiledExpression(expression, InstructionSet::avx512), points);
        const auto narrow = evaluated(CompiledExpression(expression, InstructionSet::avx2), points);
        for (std::size_t k = 0; k < points.size(); ++k) {
            EXPECT_TRUE(sameValue(wide[k], narrow[k])) << expression << " at " << points[k];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, VectorPath,
                         testing::Values(InstructionSet::avx2, InstructionSet::avx512), testNameOf);
