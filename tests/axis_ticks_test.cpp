// Where a figure's ticks stand and what they read.

#include "axis_ticks.h"

#include <gtest/gtest.h>

#include <numbers>
#include <random>
#include <set>

using namespace complexplot;

namespace {

std::vector<std::string> labels(const std::vector<Tick>& ticks) {
    std::vector<std::string> texts;
    for (const Tick& tick : ticks) {
        texts.push_back(tick.label);
    }
    return texts;
}

constexpr double kPi = std::numbers::pi;

}  // namespace

TEST(AxisTicks, RoundNumbersReadAsPlainlyAsTheyCan) {
    using Labels = std::vector<std::string>;
    // The log and arctan presets' frame, -2 .. 2.01.
    EXPECT_EQ(labels(roundTicks(-2.0, 2.01)), (Labels{"−2", "−1", "0", "1", "2"}));
    EXPECT_EQ(labels(roundTicks(0.0, 1.0)), (Labels{"0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    EXPECT_EQ(labels(roundTicks(0.0, 1e12)),
              (Labels{"0", "2×10¹¹", "4×10¹¹", "6×10¹¹", "8×10¹¹", "1×10¹²"}));
    EXPECT_EQ(labels(roundTicks(-3e-9, 3e-9)).front(), "−3×10⁻⁹");
    // A tiny window far from 0: labels with enough digits to differ.
    const std::vector<Tick> tiny = roundTicks(1.0, 1.0 + 1e-10);
    EXPECT_EQ(tiny[1].label, "1.00000000002");
    const std::vector<std::string> tinyLabels = labels(tiny);
    EXPECT_EQ(std::set<std::string>(tinyLabels.begin(), tinyLabels.end()).size(), tiny.size());
}

// About 4 to 8 ticks, inside the window, in order, over windows of every
// size and place.
TEST(AxisTicks, FourToEightTicksInsideAnyWindow) {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> exponent(-12.0, 12.0);
    std::uniform_real_distribution<double> offset(-5.0, 5.0);
    for (int k = 0; k < 2000; ++k) {
        const double width = std::pow(10.0, exponent(random));
        const double low = offset(random) * width * std::pow(10.0, exponent(random) / 4);
        const double high = low + width;
        for (const std::vector<Tick>& ticks : {roundTicks(low, high), piTicks(low, high)}) {
            ASSERT_LE(ticks.size(), 8u) << low << " " << high;
            for (std::size_t t = 0; t < ticks.size(); ++t) {
                EXPECT_GE(ticks[t].value, low - 1e-9 * width);
                EXPECT_LE(ticks[t].value, high + 1e-9 * width);
                if (t > 0) {
                    EXPECT_LT(ticks[t - 1].value, ticks[t].value);
                }
            }
        }
        EXPECT_GE(roundTicks(low, high).size(), 3u) << low << " " << high;
    }
}

// The sine and cosine presets run from -6.28318530717958 (a hair inside
// -2pi) to 2pi and a step; the tangent preset over about -pi/2 .. pi/2.
TEST(AxisTicks, MultiplesOfPiReadAsPi) {
    using Labels = std::vector<std::string>;
    EXPECT_EQ(labels(piTicks(-6.28318530717958, 6.28318530717958 + 0.1256637061435916)),
              (Labels{"−2π", "−π", "0", "π", "2π"}));
    EXPECT_EQ(labels(piTicks(-1.570796326794895, 1.570796326794895 + 0.0314159265358979)),
              (Labels{"−π/2", "−π/4", "0", "π/4", "π/2"}));
    EXPECT_EQ(labels(piTicks(0, 3 * kPi / 2)),
              (Labels{"0", "π/4", "π/2", "3π/4", "π", "5π/4", "3π/2"}));
    EXPECT_EQ(labels(piTicks(-10 * kPi, 10 * kPi)).front(), "−8π");
    EXPECT_TRUE(isMultipleOfQuarterPi(-kPi / 4));
    EXPECT_TRUE(isMultipleOfQuarterPi(2 * kPi + 5e-10));
    EXPECT_TRUE(isMultipleOfQuarterPi(0.0));
    EXPECT_FALSE(isMultipleOfQuarterPi(3.14159));
    EXPECT_FALSE(isMultipleOfQuarterPi(1.0));
}

TEST(AxisTicks, LegendEndsReadWithThreeDigits) {
    // The log preset's range, ln 0.0001 .. ln 5.
    EXPECT_EQ(threeDigits(-9.210340371976182), "−9.21");
    EXPECT_EQ(threeDigits(1.6094379124341003), "1.61");
    EXPECT_EQ(threeDigits(5.0), "5");
    EXPECT_EQ(threeDigits(1.570796326794895), "1.57");
    EXPECT_EQ(threeDigits(1.234e-7), "1.23×10⁻⁷");
    EXPECT_EQ(threeDigits(-2.5e9), "−2.5×10⁹");
}
