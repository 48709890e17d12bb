// Each function of the language, and z^n for n from -64 to 64, against
// values computed with mpmath at 400 digits
// (tests/data/make_reference_values.py): random points over many decades,
// and points at every hard place: branch cuts, singular points, zeros,
// |z| near 1, large and subnormal parts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "compiled_expression.h"
#include "differentiated_expression.h"
#include "instruction_sets.h"

using namespace complexplot;

namespace {

struct Reference {
    ComplexValue z;
    long double real = 0;
    long double imaginary = 0;
};

std::map<std::string, std::vector<Reference>> readReferences(const char* path = REFERENCE_VALUES) {
    std::map<std::string, std::vector<Reference>> references;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string expression, x, y, real, imaginary;
        fields >> expression >> x >> y >> real >> imaginary;
        // Hexadecimal doubles read exactly; the true values keep the
        // precision of long double, beyond that of a double.
        references[expression].push_back(Reference{
            ComplexValue(std::strtod(x.c_str(), nullptr), std::strtod(y.c_str(), nullptr)),
            std::strtold(real.c_str(), nullptr), std::strtold(imaginary.c_str(), nullptr)});
    }
    return references;
}

// The error relative to the value's size, norm-wise, in units of 2^-52
// (of 2^-1074 for a subnormal value).
long double errorInUlps(ComplexValue computed, const Reference& reference) {
    const long double error =
        std::hypot(computed.real() - reference.real, computed.imag() - reference.imaginary);
    const long double size = std::hypot(reference.real, reference.imaginary);
    return error / std::max(size * 0x1p-52L, 0x1p-1074L);
}

// The error of one part in units in the last place of that part's own
// exact value.
long double partErrorInUlps(double computed, long double exact) {
    const long double ulp =
        exact == 0 ? 0x1p-1074L : std::max(std::ldexp(1.0L, std::ilogb(exact) - 52), 0x1p-1074L);
    return std::fabs(computed - exact) / ulp;
}

// z^n for every n is held to one bound: the powers are one algorithm.
std::string familyOf(const std::string& expression) {
    return expression.starts_with("z^") ? "z^n" : expression;
}

// Each function's bound: the worst measured over the data on any path,
// and a quarter of a unit more, so that a regression of half a unit fails.
const std::map<std::string, long double> kBounds = {
    {"sin(z)", 1.36L},   {"cos(z)", 1.48L},  {"tan(z)", 1.93L},   {"cot(z)", 2.19L},
    {"sinh(z)", 1.36L},  {"cosh(z)", 1.48L}, {"tanh(z)", 1.89L},  {"asin(z)", 2.00L},
    {"acos(z)", 1.61L},  {"atan(z)", 1.53L}, {"asinh(z)", 1.69L}, {"acosh(z)", 1.28L},
    {"atanh(z)", 2.02L}, {"exp(z)", 1.21L},  {"log(z)", 1.06L},   {"sqrt(z)", 1.06L},
    {"abs(z)", 1.08L},   {"arg(z)", 0.72L},  {"z^n", 0.92L},
};

}  // namespace

// Each function within its own bound at every point, on the scalar kernels
// and on each set of vector kernels this processor has; each part of z^n
// within one unit of its own exact value wherever that part is at least
// 2^-40 of the power's modulus. The points of a function are evaluated
// together, so vector lanes the formulas vouch for sit in the same blocks
// as lanes handed to the scalar path.
class ExpressionAccuracy : public testing::TestWithParam<InstructionSet> {};

TEST_P(ExpressionAccuracy, EveryFunctionAgainstMpmath) {
    if (GetParam() != InstructionSet::scalar && vectorKernelsFor(GetParam()) == nullptr) {
        GTEST_SKIP() << "this processor has no " << nameOf(GetParam());
    }
    const auto references = readReferences();
    ASSERT_EQ(references.size(), 18u + 128u);
    std::map<std::string, std::pair<long double, ComplexValue>> worst;
    std::map<std::string, std::size_t> counts;
    long double worstPart = 0;
    for (const auto& [expression, points] : references) {
        const CompiledExpression function(expression, GetParam());
        std::vector<ComplexValue> z, values(points.size()), scratch;
        for (const Reference& reference : points) {
            z.push_back(reference.z);
        }
        function.evaluate(z.data(), values.data(), z.size(), scratch);
        auto& [family, at] = worst[familyOf(expression)];
        counts[familyOf(expression)] += points.size();
        for (std::size_t k = 0; k < points.size(); ++k) {
            const long double error = errorInUlps(values[k], points[k]);
            if (!(error <= family)) {
                family = error;
                at = points[k].z;
            }
            if (familyOf(expression) != "z^n") {
                continue;
            }
            const long double size = std::hypot(points[k].real, points[k].imaginary);
            for (const auto& [computed, exact] :
                 {std::pair{values[k].real(), points[k].real},
                  std::pair{values[k].imag(), points[k].imaginary}}) {
                if (std::fabs(exact) >= 0x1p-40L * size) {
                    const long double partError = partErrorInUlps(computed, exact);
                    worstPart = std::max(worstPart, partError);
                    EXPECT_LE(partError, 1.0L) << expression << " at " << points[k].z;
                }
            }
        }
    }
    for (const auto& [family, found] : worst) {
        std::printf("%-8s %-9s %5zu points, worst %.2Lf ulp at (%a, %a)\n", nameOf(GetParam()),
                    family.c_str(), counts[family], found.first, found.second.real(),
                    found.second.imag());
        EXPECT_LE(found.first, kBounds.at(family)) << family;
    }
    std::printf("%-8s z^n       each part within %.2Lf ulp of its own value\n", nameOf(GetParam()),
                worstPart);
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, ExpressionAccuracy,
                         testing::Values(InstructionSet::scalar, InstructionSet::avx2,
                                         InstructionSet::avx512),
                         testNameOf);

// The derivative on dual numbers against each analytic function's own
// derivative at the same points (abs and arg have none), with z^n as one
// family. Each rule costs a few roundings more than the function itself
// (1 / cos^2 w for tan, two square roots and a quotient for asin): one
// bound for all, the worst measured (2.82 units, cot) and a quarter more.
TEST(DerivativeAccuracy, DualNumbersAgainstEachFunctionsDerivative) {
    const auto references = readReferences(REFERENCE_DERIVATIVES);
    ASSERT_EQ(references.size(), 16u + 128u);
    std::map<std::string, long double> worst;
    for (const auto& [expression, points] : references) {
        const DifferentiatedExpression function(expression);
        ASSERT_FALSE(function.nonAnalyticOperation().has_value()) << expression;
        long double& family = worst[familyOf(expression)];
        for (const Reference& reference : points) {
            const long double error = errorInUlps(function(reference.z).derivative, reference);
            EXPECT_LE(error, 3.07L) << expression << "' at (" << std::hexfloat << reference.z.real()
                                   << ", " << reference.z.imag() << ")";
            family = std::max(family, error);
        }
    }
    for (const auto& [family, found] : worst) {
        std::printf("%-9s f' worst %.2Lf ulp\n", family.c_str(), found);
    }
}

// The value on dual numbers is the value the blocks give on the scalar
// kernels, to the bit, so that a root found with it is a root of the map.
TEST(DerivativeAccuracy, ValueIsTheScalarKernelsValue) {
    const auto references = readReferences();
    for (const auto& [expression, points] : references) {
        const DifferentiatedExpression dual(expression);
        const CompiledExpression blocks(expression, InstructionSet::scalar);
        for (std::size_t k = 0; k < points.size(); k += 7) {
            const ComplexValue expected = blocks(points[k].z);
            const ComplexValue found = dual(points[k].z).value;
            EXPECT_TRUE((found == expected) ||
                        (std::isnan(found.real()) && std::isnan(expected.real())))
                << expression << " at " << points[k].z;
        }
    }
}

// Operations with no complex derivative are named; a constant part that
// uses one is not.
TEST(DerivativeAccuracy, NonAnalyticOperationsAreNamed) {
    EXPECT_EQ(DifferentiatedExpression("z + conj(z)").nonAnalyticOperation(), "conj");
    EXPECT_EQ(DifferentiatedExpression("sin(abs(z))^2").nonAnalyticOperation(), "abs");
    EXPECT_EQ(DifferentiatedExpression("exp(z) * re(z)").nonAnalyticOperation(), "re");
    EXPECT_FALSE(DifferentiatedExpression("z * abs(-2) + arg(i)").nonAnalyticOperation());
}

// The rules of the arithmetic and of the general power, where the chain
// passes through several operations.
TEST(DerivativeAccuracy, CompositeExpressions) {
    const ComplexValue z(0.7, -0.4);
    const auto derivativeOf = [&](const char* text) {
        return DifferentiatedExpression(text)(z).derivative;
    };
    const auto near = [](ComplexValue a, ComplexValue b) {
        return std::abs(a - b) <= 1e-14 * std::abs(b);
    };
    EXPECT_PRED2(near, derivativeOf("(z^2+1)/(z^2-1)"), -4.0 * z / ((z * z - 1.0) * (z * z - 1.0)));
    EXPECT_PRED2(near, derivativeOf("z^z"), std::pow(z, z) * (std::log(z) + 1.0));
    EXPECT_PRED2(near, derivativeOf("z^(1/3)"), std::pow(z, -2.0 / 3.0) / 3.0);
    EXPECT_PRED2(near, derivativeOf("sin(z)*exp(-z)"), std::exp(-z) * (std::cos(z) - std::sin(z)));
    EXPECT_PRED2(near, derivativeOf("z^-3"), -3.0 / (z * z * z * z));
    EXPECT_EQ(DifferentiatedExpression("z^3")(0.0).derivative, 0.0);
    EXPECT_EQ(DifferentiatedExpression("2i")(z).derivative, 0.0);
}
