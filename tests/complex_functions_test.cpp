#include "complex_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "checked_double.h"
#include "error_number.h"

using namespace complexplot;
using complexplot::testing::errorNumberOf;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

WindowState arcTanRange() {
    return WindowState{-1.570796326794895, 1.570796326794895};
}

}  // namespace

TEST(MakeComplex, KeepsPartsAndWidensIntegers) {
    const Complex z = MakeComplex(2, -0.5);
    EXPECT_EQ(z.Re, 2.0);
    EXPECT_EQ(z.Im, -0.5);
    const Complex fresh;
    EXPECT_EQ(fresh.Re, 0.0);
    EXPECT_EQ(fresh.Im, 0.0);
}

TEST(ComplexSin, OriginAndCoshOnTheLineAtHalfPi) {
    const Complex origin = ComplexSin({0, 0});
    EXPECT_EQ(origin.Re, 0.0);
    EXPECT_EQ(origin.Im, 0.0);
    const Complex w = ComplexSin({kPi / 2, 1});
    EXPECT_DOUBLE_EQ(w.Re, 1.5430806348152437);
    EXPECT_NEAR(w.Im, 0.0, 1e-16);
}

TEST(ComplexCos, RealAxisGivesNegativeZeroImaginaryPart) {
    const Complex origin = ComplexCos({0, 0});
    EXPECT_EQ(origin.Re, 1.0);
    EXPECT_EQ(origin.Im, 0.0);
    const Complex w = ComplexCos({0, 1});
    EXPECT_DOUBLE_EQ(w.Re, 1.5430806348152437);
    EXPECT_EQ(w.Im, 0.0);
    EXPECT_TRUE(std::signbit(w.Im));
}

TEST(ComplexTan, KnownValues) {
    const Complex origin = ComplexTan({0, 0});
    EXPECT_EQ(origin.Re, 0.0);
    EXPECT_EQ(origin.Im, 0.0);
    const Complex quarter = ComplexTan({kPi / 4, 0});
    EXPECT_DOUBLE_EQ(quarter.Re, 1.0);
    EXPECT_EQ(quarter.Im, 0.0);
    for (const double y : {0.25, -0.8, 1.6}) {
        const Complex w = ComplexTan({0, y});
        EXPECT_EQ(w.Re, 0.0);
        EXPECT_DOUBLE_EQ(w.Im, std::tanh(y)) << y;
    }
}

TEST(ComplexTan, LastColumnJustPastHalfPiIsHugeButRaisesNothing) {
    const Complex w = ComplexTan({1.5707963267948968, 0});
    EXPECT_LT(w.Re, -6.1e15);
    EXPECT_GT(w.Re, -6.3e15);
    EXPECT_EQ(w.Im, 0.0);
}

TEST(CircularFunctions, ExponentialOverflowRaisesOverflow) {
    for (const double y : {710.0, -710.0, 1e300}) {
        EXPECT_EQ(errorNumberOf([&] { ComplexSin({0.5, y}); }), RuntimeError::kOverflow) << y;
        EXPECT_EQ(errorNumberOf([&] { ComplexCos({0.5, y}); }), RuntimeError::kOverflow) << y;
        EXPECT_EQ(errorNumberOf([&] { ComplexTan({0.5, y}); }), RuntimeError::kOverflow) << y;
    }
    // Just below the limit the exponentials are finite.
    EXPECT_EQ(errorNumberOf([] { ComplexSin({0.5, 709.0}); }), 0);
}

TEST(CircularFunctions, InfiniteOrNaNArgumentRaisesInvalid) {
    EXPECT_EQ(errorNumberOf([] { ComplexSin({kInfinity, 0}); }), RuntimeError::kInvalidCall);
    EXPECT_EQ(errorNumberOf([] { ComplexCos({kNaN, 0}); }), RuntimeError::kInvalidCall);
    EXPECT_EQ(errorNumberOf([] { ComplexTan({kInfinity, 0}); }), RuntimeError::kInvalidCall);
}

TEST(RuntimeError, CarriesNumberAndMessage) {
    const RuntimeError overflow(RuntimeError::kOverflow);
    EXPECT_EQ(overflow.number(), 6);
    EXPECT_STREQ(overflow.what(), "Overflow");
    EXPECT_STREQ(RuntimeError(11).what(), "Division by zero");
    EXPECT_STREQ(RuntimeError(5).what(), "Invalid procedure call or argument");
}

TEST(CheckedArithmetic, ClassifiesEachFault) {
    const CheckedDouble one = 1.0;
    const CheckedDouble zero = 0.0;
    EXPECT_EQ((one / zero).fault(), FloatFault::divisionByZero);
    EXPECT_EQ((-one / zero).fault(), FloatFault::divisionByZero);
    EXPECT_EQ((zero / zero).fault(), FloatFault::invalid);
    EXPECT_EQ(log(zero).fault(), FloatFault::divisionByZero);
    EXPECT_EQ(log(-one).fault(), FloatFault::invalid);
    EXPECT_EQ(sqrt(-one).fault(), FloatFault::invalid);
    EXPECT_EQ((CheckedDouble(1e300) * 1e300).fault(), FloatFault::overflow);
    EXPECT_EQ(exp(CheckedDouble(1000.0)).fault(), FloatFault::overflow);
    // Underflow is not a fault.
    EXPECT_TRUE((CheckedDouble(1e-300) * 1e-300).ok());
    EXPECT_TRUE(exp(CheckedDouble(-1000.0)).ok());
}

TEST(CheckedArithmetic, FirstFaultFromTheLeftWins) {
    const CheckedDouble overflowed = CheckedDouble(1e300) * 1e300;
    const CheckedDouble divided = CheckedDouble(1.0) / 0.0;
    EXPECT_EQ((overflowed + divided).fault(), FloatFault::overflow);
    EXPECT_EQ((divided + overflowed).fault(), FloatFault::divisionByZero);
    EXPECT_EQ(errorNumberOf([&] { (divided * 2.0).value(); }), RuntimeError::kDivisionByZero);
}

TEST(ArcSinReal, ClampsAtTheStoredEnds) {
    EXPECT_EQ(ArcSinReal(-1), -1.570796326794895);
    EXPECT_EQ(ArcSinReal(-7), -1.570796326794895);
    EXPECT_EQ(ArcSinReal(1), 1.570796326794895);
    EXPECT_EQ(ArcSinReal(3), 1.570796326794895);
    EXPECT_DOUBLE_EQ(ArcSinReal(0.5), 0.5235987755982989);
    EXPECT_EQ(ArcSinReal(0), 0.0);
}

TEST(ArcSinReal, NaNRaisesInvalid) {
    EXPECT_EQ(errorNumberOf([] { ArcSinReal(kNaN); }), RuntimeError::kInvalidCall);
}

TEST(ComplexLog, FixedResultInsideTheSmallDisc) {
    for (const Complex z : {Complex{0, 0}, Complex{-0.0, 0}, Complex{3e-7, -4e-7},
                            Complex{2.3e-15, 0}, Complex{1e-200, 1e-200}}) {
        const Complex w = ComplexLog(z);
        EXPECT_EQ(w.Re, -13.815510557964274);
        EXPECT_EQ(w.Im, -13.815510557964274);
    }
    // On the circle of radius 0.000001 itself the logarithm is taken.
    EXPECT_DOUBLE_EQ(ComplexLog({0.000001, 0}).Re, std::log(0.000001));
    EXPECT_EQ(ComplexLog({0.000001, 0}).Im, 0.0);
}

TEST(ComplexLog, ImaginaryPartMirrorsAcrossTheImaginaryAxis) {
    const Complex right = ComplexLog({1, 1});
    EXPECT_DOUBLE_EQ(right.Re, 0.3465735902799727);
    EXPECT_DOUBLE_EQ(right.Im, 0.7853981633974483);
    const Complex left = ComplexLog({-1, 1});
    EXPECT_EQ(left.Re, right.Re);
    EXPECT_EQ(left.Im, right.Im);
    const Complex negativeOne = ComplexLog({-1, 0});
    EXPECT_EQ(negativeOne.Re, 0.0);
    EXPECT_EQ(negativeOne.Im, 0.0);
}

TEST(ComplexLog, ImaginaryAxisTakesTheClampBranch) {
    const Complex w = ComplexLog({0, 2});
    EXPECT_DOUBLE_EQ(w.Re, 0.6931471805599453);
    EXPECT_EQ(w.Im, 1.570796326794895);
    EXPECT_EQ(ComplexLog({0, -2}).Im, -1.570796326794895);
}

TEST(ComplexLog, HugeArgumentRaisesOverflow) {
    EXPECT_EQ(errorNumberOf([] { ComplexLog({1e200, 0}); }), RuntimeError::kOverflow);
}

TEST(ComplexArcTan, PrincipalValues) {
    const WindowState range = arcTanRange();
    const Complex one = ComplexArcTan({1, 0}, range);
    EXPECT_DOUBLE_EQ(one.Re, 0.7853981633974483);
    EXPECT_EQ(one.Im, 0.0);
    const Complex a = ComplexArcTan({0.5, 0.3}, range);
    EXPECT_DOUBLE_EQ(a.Re, 0.4937116599005203);
    EXPECT_DOUBLE_EQ(a.Im, 0.24094826646478965);
    const Complex b = ComplexArcTan({-2, 1}, range);
    EXPECT_DOUBLE_EQ(b.Re, -1.1780972450961724);
    EXPECT_DOUBLE_EQ(b.Im, 0.17328679513998635);
    const Complex c = ComplexArcTan({0.01, -1}, range);
    EXPECT_DOUBLE_EQ(c.Re, 0.7878981425644273);
    EXPECT_DOUBLE_EQ(c.Im, -2.6491649331958946);
}

TEST(ComplexArcTan, StripAroundTheImaginaryAxisGivesZero) {
    const WindowState range = arcTanRange();
    for (const Complex z : {Complex{0, 0.5}, Complex{0.0000005, 2}, Complex{0, -1},
                            Complex{-0.0000009, 1}, Complex{1.6e-15, 1e100}}) {
        const Complex w = ComplexArcTan(z, range);
        EXPECT_EQ(w.Re, 0.0);
        EXPECT_EQ(w.Im, 0.0);
    }
}

TEST(ComplexArcTan, NearMinusIKeepsRangeMinAsItIsRightNow) {
    WindowState range = arcTanRange();
    const Complex w = ComplexArcTan({0.000001, -1}, range);
    EXPECT_DOUBLE_EQ(w.Re, 0.7853984134196734);
    EXPECT_EQ(w.Im, -1.570796326794895);
    // The fallback is read from the state at each call, not remembered.
    range.RangeMin = -42.5;
    EXPECT_EQ(ComplexArcTan({0.000001, -1}, range).Im, -42.5);
}

TEST(ComplexArcTan, OverflowingStepsAreSkipped) {
    const WindowState range = arcTanRange();
    const Complex w = ComplexArcTan({1e200, 0}, range);
    EXPECT_EQ(w.Re, 0.0);
    EXPECT_EQ(w.Im, 0.0);
}

TEST(ComplexArcTan, NonFiniteArgumentsGiveFiniteParts) {
    const WindowState range = arcTanRange();
    for (const Complex z : {Complex{kInfinity, 0}, Complex{-kInfinity, 1}, Complex{0.5, kInfinity},
                            Complex{kNaN, 0}, Complex{0.5, kNaN}, Complex{kNaN, kNaN}}) {
        const Complex w = ComplexArcTan(z, range);
        EXPECT_TRUE(std::isfinite(w.Re)) << z.Re << " " << z.Im;
        EXPECT_TRUE(std::isfinite(w.Im)) << z.Re << " " << z.Im;
    }
}

// Random bit patterns cover every exponent evenly, both signs, subnormals,
// infinities and NaNs.
TEST(ComplexArcTan, NeverRaisesAndStaysFiniteForAMillionRandomArguments) {
    std::mt19937_64 generator(20261207);
    const WindowState range = arcTanRange();
    auto randomDouble = [&] {
        const std::uint64_t bits = generator();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    };
    const double specials[] = {kInfinity, -kInfinity, kNaN, 0.0, -0.0, 1e-310, 1e308};
    int failures = 0;
    for (int i = 0; i < 1'000'000; ++i) {
        Complex z{randomDouble(), randomDouble()};
        if (i % 97 == 0) {
            z.Re = specials[(i / 97) % std::size(specials)];
        }
        if (i % 89 == 0) {
            z.Im = specials[(i / 89) % std::size(specials)];
        }
        try {
            const Complex w = ComplexArcTan(z, range);
            if (!std::isfinite(w.Re) || !std::isfinite(w.Im)) {
                ADD_FAILURE() << "not finite for " << z.Re << " " << z.Im;
                ++failures;
            }
        } catch (...) {
            ADD_FAILURE() << "raised for " << z.Re << " " << z.Im;
            ++failures;
        }
        if (failures > 10) {
            break;
        }
    }
}
