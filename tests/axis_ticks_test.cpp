// Where a figure's ticks stand and what they read: on any axis, labels that
// keep apart, stay inside the axis and read back as their ticks' values.

#include "axis_ticks.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

using namespace complexplot;

namespace {

constexpr double kPi = std::numbers::pi;

std::vector<std::string> labels(const AxisTicks& ticks) {
    std::vector<std::string> texts;
    for (const Tick& tick : ticks.ticks) {
        texts.push_back(tick.label);
    }
    return texts;
}

// A label's width: 10 units a character, as a plain monospaced font.
double monospaced(const std::string& label) {
    double characters = 0;
    for (const char c : label) {
        characters += (static_cast<unsigned char>(c) & 0xc0) != 0x80 ? 1 : 0;
    }
    return 10 * characters;
}

AxisTicks across(double low, double high, bool pi = false, double length = 600) {
    return chooseTicks(low, high, pi, length, monospaced, 12);
}

// What a label says, as a double: "−2.5×10⁻³", "3π/4", "+1000".
double readLabel(std::string text) {
    auto replace = [&](const std::string& from, const std::string& to) {
        for (std::size_t at; (at = text.find(from)) != std::string::npos;) {
            text.replace(at, from.size(), to);
        }
    };
    replace("\u2212", "-");
    replace("×10", "e");
    replace("⁻", "-");
    const char* const superscripts[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    for (int digit = 0; digit < 10; ++digit) {
        replace(superscripts[digit], std::to_string(digit));
    }
    double factor = 1;
    if (const std::size_t pi = text.find("π"); pi != std::string::npos) {
        const std::string before = text.substr(0, pi);
        const std::string after = text.substr(pi + std::string("π").size());
        factor = kPi / (after.empty() ? 1 : std::stod(after.substr(1)));
        text = before.empty() ? "1" : before == "-" ? "-1" : before;
    }
    if (text.starts_with("+")) {
        text.erase(0, 1);
    }
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(result.ptr, text.data() + text.size()) << text;
    return value * factor;
}

}  // namespace

TEST(AxisTicks, RoundNumbersReadAsPlainlyAsTheyCan) {
    using Labels = std::vector<std::string>;
    // The log and arctan presets' frame, -2 .. 2.01.
    EXPECT_EQ(labels(across(-2.0, 2.01)), (Labels{"−2", "−1", "0", "1", "2"}));
    EXPECT_EQ(labels(across(0.0, 1.0)), (Labels{"0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    EXPECT_EQ(labels(across(0.0, 1e12)),
              (Labels{"0", "2×10¹¹", "4×10¹¹", "6×10¹¹", "8×10¹¹", "1×10¹²"}));
    EXPECT_EQ(labels(across(-3e-9, 3e-9, false, 2000)).front(), "−3×10⁻⁹");
    // Little room: fewer ticks, never labels that run into each other.
    EXPECT_EQ(labels(across(0.0, 1.0, false, 100)), (Labels{"0", "1"}));
    EXPECT_TRUE(across(0.0, 1.0, false, 5).ticks.empty());
}

// An axis far from 0 for its width reads as differences from an offset
// written once.
TEST(AxisTicks, AxisFarFromZeroReadsAsAnOffsetAndDifferences) {
    const AxisTicks thousand = across(1000, 1000.001);
    EXPECT_EQ(thousand.offsetLabel, "+1000");
    EXPECT_EQ(labels(thousand),
              (std::vector<std::string>{"0", "0.0002", "0.0004", "0.0006", "0.0008", "0.0010"}));
    const AxisTicks huge = across(1e300, 1.0000001e300);
    EXPECT_EQ(huge.offsetLabel, "+1×10³⁰⁰");
    EXPECT_EQ(across(-1000.001, -1000).offsetLabel, "−1000");
}

// The sine and cosine presets run from -6.28318530717958 (a hair inside
// -2pi) to 2pi and a step; the tangent preset over about -pi/2 .. pi/2.
TEST(AxisTicks, MultiplesOfPiReadAsPi) {
    using Labels = std::vector<std::string>;
    EXPECT_EQ(labels(across(-6.28318530717958, 6.28318530717958 + 0.1256637061435916, true)),
              (Labels{"−2π", "−π", "0", "π", "2π"}));
    EXPECT_EQ(labels(across(-1.570796326794895, 1.570796326794895 + 0.0314159265358979, true)),
              (Labels{"−π/2", "−π/4", "0", "π/4", "π/2"}));
    EXPECT_EQ(labels(across(0, 3 * kPi / 2, true)),
              (Labels{"0", "π/4", "π/2", "3π/4", "π", "5π/4", "3π/2"}));
    EXPECT_TRUE(readsInPi(-kPi / 4, 2 * kPi + 5e-10));
    EXPECT_FALSE(readsInPi(-1e300, 1e300));
    EXPECT_FALSE(readsInPi(3.14159, 4));
    EXPECT_FALSE(readsInPi(1e-10, 3e-10));
    // Far past small multiples, pi ticks give way to round ones.
    EXPECT_EQ(labels(across(-1e20, 1e20, true)).front(), "−1×10²⁰");
}

// On any window, however large, small or far out, the ticks lie inside it,
// in order; their labels keep apart and read back as the ticks' values.
TEST(AxisTicks, EveryWindowGetsLabelsThatReadBack) {
    const double subnormal = std::numeric_limits<double>::denorm_min();
    const struct {
        double low;
        double high;
    } windows[] = {
        {1000, 1000.001},
        {-1e300, 1e300},
        {1e300, 1.0000001e300},
        {1, std::nextafter(1.0, 2.0)},
        {1e-300, 2e-300},
        {-1e-9, 1e-9},
        {0, 1e6},
        {-2, 2.01},
        {-1e20, 1e20},
        {1e-10, 3e-10},
        {0, subnormal},
        {-subnormal, subnormal},
        {-std::numeric_limits<double>::max() / 2, std::numeric_limits<double>::max() / 2},
        {123456.789, 123456.789001},
    };
    for (const auto& window : windows) {
        for (const bool pi : {false, true}) {
            for (const double length : {60.0, 300.0, 2000.0}) {
                const AxisTicks axis = across(window.low, window.high, pi, length);
                const double width = window.high - window.low;
                double previousEnd = -1e300;
                for (const Tick& tick : axis.ticks) {
                    EXPECT_GE(tick.value, window.low - 1e-9 * width) << tick.label;
                    EXPECT_LE(tick.value, window.high + 1e-9 * width) << tick.label;
                    const double read = axis.offset + readLabel(tick.label);
                    EXPECT_NEAR(read, tick.value, 1e-6 * width) << tick.label;
                    const LabelSpan span = labelSpan(tick.value, monospaced(tick.label), window.low,
                                                     window.high, length);
                    EXPECT_GE(span.start, 0.0);
                    EXPECT_LE(span.end, length);
                    EXPECT_GE(span.start, previousEnd + 12) << tick.label;
                    previousEnd = span.end;
                }
                if (!axis.offsetLabel.empty()) {
                    EXPECT_EQ(readLabel(axis.offsetLabel), axis.offset);
                }
                if (length == 2000.0) {
                    EXPECT_GE(axis.ticks.size(), 2u) << window.low << " " << window.high;
                }
            }
        }
    }
}

// The legend: its ends always, and round values between them only where
// their labels keep clear of the ends'.
TEST(AxisTicks, LegendLabelsNeverOverlap) {
    const struct {
        double low;
        double high;
    } ranges[] = {{-9.210340371976182, 1.6094379124341003},
                  {-2.93e37, 2.93e37},
                  {0, 5540},
                  {1e-300, 2e-300},
                  {-1.5, 1.5000001}};
    for (const auto& range : ranges) {
        for (const double length : {40.0, 200.0, 800.0}) {
            const AxisTicks legend = chooseLegendTicks(
                range.low, range.high, length, [](const std::string&) { return 28.0; }, 4);
            double previousEnd = -1e300;
            for (const Tick& tick : legend.ticks) {
                const LabelSpan span = labelSpan(tick.value, 28, range.low, range.high, length);
                EXPECT_GE(span.start, previousEnd + 4) << tick.label << " at " << length;
                previousEnd = span.end;
                EXPECT_NEAR(readLabel(tick.label), tick.value,
                            5e-3 * std::max(std::fabs(tick.value), range.high - range.low));
            }
            if (length >= 200) {
                ASSERT_GE(legend.ticks.size(), 2u);
                EXPECT_NE(legend.ticks.front().label, legend.ticks.back().label);
            }
        }
    }
}

TEST(AxisTicks, OneNumberFormatEverywhere) {
    EXPECT_EQ(threeDigits(-9.210340371976182), "−9.21");
    EXPECT_EQ(threeDigits(1.6094379124341003), "1.61");
    EXPECT_EQ(threeDigits(5.0), "5");
    EXPECT_EQ(threeDigits(5543.2), "5540");
    EXPECT_EQ(threeDigits(2.93e37), "2.93×10³⁷");
    EXPECT_EQ(threeDigits(1.234e-7), "1.23×10⁻⁷");
    EXPECT_EQ(threeDigits(-2.5e9), "−2.5×10⁹");
    EXPECT_EQ(threeDigits(std::numeric_limits<double>::denorm_min()), "4.94×10⁻³²⁴");
    EXPECT_EQ(threeDigits(9.9996), "10");
    EXPECT_EQ(significantDigits(1000.0004, 8), "1000.0004");
}
