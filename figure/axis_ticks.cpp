#include "axis_ticks.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <numeric>
#include <utility>

namespace complexplot {

namespace {

constexpr const char* kMinus = "\u2212";
constexpr int kMostTicks = 8;

// A tick just outside [low, high] by rounding (the sine preset's window ends
// at -6.28318530717958, a hair inside -2pi) still belongs to the axis.
constexpr double kTolerance = 1e-9;

std::string withTrueMinus(const std::string& text) {
    return text.starts_with("-") ? kMinus + text.substr(1) : text;
}

std::string superscript(int exponent) {
    static const char* const kDigits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string text = exponent < 0 ? "⁻" : "";
    for (const char digit : std::to_string(std::abs(exponent))) {
        text += kDigits[digit - '0'];
    }
    return text;
}

// The mantissa with the given decimals, trailing zeros dropped, times the
// power of ten: "1.5×10¹¹".
std::string scientific(double value, int decimals) {
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", std::max(decimals, 0),
                  value / std::pow(10.0, exponent));
    std::string mantissa = text;
    if (mantissa.find('.') != std::string::npos) {
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        if (mantissa.back() == '.') {
            mantissa.pop_back();
        }
    }
    return withTrueMinus(mantissa) + "×10" + superscript(exponent);
}

// How many of value k * step lie in [low, high], and the first k.
struct Span {
    long long first = 0;
    long long count = 0;
};

Span ticksOf(double low, double high, double step) {
    const double tolerance = kTolerance * (high - low);
    const auto first = static_cast<long long>(std::ceil((low - tolerance) / step));
    const auto last = static_cast<long long>(std::floor((high + tolerance) / step));
    return Span{first, last - first + 1};
}

// The smallest step of 1, 2 or 5 times 10^power that gives at most
// kMostTicks, and its power.
std::pair<double, int> roundStep(double low, double high) {
    for (int power = static_cast<int>(std::floor(std::log10((high - low) / kMostTicks)));;
         ++power) {
        for (const int mantissa : {1, 2, 5}) {
            const double step = mantissa * std::pow(10.0, power);
            if (ticksOf(low, high, step).count <= kMostTicks) {
                return {step, power};
            }
        }
    }
}

}  // namespace

std::vector<Tick> roundTicks(double low, double high) {
    const auto [step, stepPower] = roundStep(low, high);
    const Span span = ticksOf(low, high, step);
    const double largest = std::max(std::fabs(low), std::fabs(high));
    const bool fixed = largest >= 1e-4 && largest < 1e6;
    std::vector<Tick> ticks;
    for (long long k = span.first; k < span.first + span.count; ++k) {
        const double value = static_cast<double>(k) * step;
        std::string label;
        if (k == 0) {
            label = "0";
        } else if (fixed) {
            char text[64];
            std::snprintf(text, sizeof text, "%.*f", std::max(0, -stepPower), value);
            label = withTrueMinus(text);
        } else {
            const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
            label = scientific(value, exponent - stepPower);
        }
        ticks.push_back(Tick{value, label});
    }
    return ticks;
}

std::vector<Tick> piTicks(double low, double high) {
    const double quarter = std::numbers::pi / 4;
    // Steps of 1, 2, 4, 8 ... quarters of pi.
    long long quarters = 1;
    while (ticksOf(low, high, quarters * quarter).count > kMostTicks) {
        quarters *= 2;
    }
    const Span span = ticksOf(low, high, quarters * quarter);
    std::vector<Tick> ticks;
    for (long long k = span.first; k < span.first + span.count; ++k) {
        // k * quarters quarters of pi, as a fraction n/d in lowest terms.
        const long long numerator = k * quarters;
        const long long divisor = std::gcd(std::llabs(numerator), 4LL);
        const long long n = numerator / (divisor == 0 ? 1 : divisor);
        const long long d = 4 / (divisor == 0 ? 4 : divisor);
        std::string label;
        if (numerator == 0) {
            label = "0";
        } else {
            label = n < 0 ? kMinus : "";
            if (std::llabs(n) != 1) {
                label += std::to_string(std::llabs(n));
            }
            label += "π";
            if (d != 1) {
                label += "/" + std::to_string(d);
            }
        }
        ticks.push_back(Tick{static_cast<double>(numerator) * quarter, label});
    }
    return ticks;
}

bool isMultipleOfQuarterPi(double value) {
    const double quarters = value / (std::numbers::pi / 4);
    return std::fabs(value - std::round(quarters) * (std::numbers::pi / 4)) <= 1e-9;
}

std::string threeDigits(double value) {
    if (value == 0.0) {
        return "0";
    }
    const double size = std::fabs(value);
    if (size >= 1e-4 && size < 1e6) {
        char text[64];
        std::snprintf(text, sizeof text, "%.3g", value);
        return withTrueMinus(text);
    }
    return scientific(value, 2);
}

}  // namespace complexplot
