// Each function of the language, and z^n, against values computed with
// mpmath at 50 digits (tests/data/make_reference_values.py): random points,
// and points on and close to every branch cut and singular point.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "compiled_expression.h"
#include "instruction_sets.h"

using namespace complexplot;

namespace {

struct Reference {
    ComplexValue z;
    long double real = 0;
    long double imaginary = 0;
};

std::map<std::string, std::vector<Reference>> readReferences() {
    std::map<std::string, std::vector<Reference>> references;
    std::ifstream file(REFERENCE_VALUES);
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

// The error relative to the value's size, norm-wise, in units of 2^-52.
long double errorInUlps(ComplexValue computed, const Reference& reference) {
    const long double error =
        std::hypot(computed.real() - reference.real, computed.imag() - reference.imaginary);
    return error / std::hypot(reference.real, reference.imaginary) / 0x1p-52L;
}

}  // namespace

// Within 4 units in the last place at every point, on the scalar kernels
// and on each set of vector kernels this processor has. The points of a
// function are evaluated together, so vector lanes the formulas vouch for
// sit in the same blocks as lanes handed to the scalar path. (The C library
// measured here stays under 2.)
class ExpressionAccuracy : public testing::TestWithParam<InstructionSet> {};

TEST_P(ExpressionAccuracy, EveryFunctionAgainstMpmath) {
    if (GetParam() != InstructionSet::scalar && vectorKernelsFor(GetParam()) == nullptr) {
        GTEST_SKIP() << "this processor has no " << nameOf(GetParam());
    }
    const auto references = readReferences();
    ASSERT_EQ(references.size(), 23u);
    for (const auto& [expression, points] : references) {
        const CompiledExpression function(expression, GetParam());
        std::vector<ComplexValue> z, values(points.size()), scratch;
        for (const Reference& reference : points) {
            z.push_back(reference.z);
        }
        const std::uint64_t fallbacksBefore = scalarFallbackCount();
        function.evaluate(z.data(), values.data(), z.size(), scratch);
        const std::uint64_t fallbacks = scalarFallbackCount() - fallbacksBefore;
        long double worst = 0;
        ComplexValue worstAt;
        for (std::size_t k = 0; k < points.size(); ++k) {
            const long double error = errorInUlps(values[k], points[k]);
            if (!(error <= worst)) {
                worst = error;
                worstAt = points[k].z;
            }
        }
        std::printf(
            "%-8s %-9s %4zu points (%3llu to the scalar path), worst %.2Lf ulp at (%a, %a)\n",
            nameOf(GetParam()), expression.c_str(), points.size(),
            static_cast<unsigned long long>(fallbacks), worst, worstAt.real(), worstAt.imag());
        EXPECT_LE(worst, 4.0L) << expression << " at (" << worstAt.real() << ", " << worstAt.imag()
                               << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, ExpressionAccuracy,
                         testing::Values(InstructionSet::scalar, InstructionSet::avx2,
                                         InstructionSet::avx512),
                         testNameOf);
