#include "axis_ticks.h"

#include <functional>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <numeric>

namespace complexplot {

namespace {

constexpr const char* kMinus = "\u2212";
constexpr int kMostTicks = 8;
constexpr int kMostLegendTicks = 6;
constexpr int kMostPiQuarters = 64;
constexpr double kQuarterPi = std::numbers::pi / 4;

// A tick just outside [low, high] by rounding (the sine preset's window ends
// at -6.28318530717958, a hair inside -2pi) still belongs to the axis: by
// this share of the axis's width.
constexpr double kTolerance = 1e-9;

// Below this width an axis gets its two ends as ticks: a power of ten near
// it is no longer a normal double, and round steps would be inexact.
constexpr double kNarrowestRoundAxis = 1e-290;

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

void dropTrailingZeros(std::string& number) {
    if (number.find('.') != std::string::npos) {
        number.erase(number.find_last_not_of('0') + 1);
        if (number.back() == '.') {
            number.pop_back();
        }
    }
}

// The value rounded to `digits` significant digits, as the C library
// writes it: the mantissa's text and the power of ten. Exact for every
// double, subnormals included, where log10 and pow would not be.
struct Decimal {
    std::string mantissa;
    int exponent = 0;
};

Decimal decimal(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", std::clamp(digits, 1, 17) - 1, value);
    const std::string written = text;
    const std::size_t e = written.find('e');
    Decimal result{written.substr(0, e), 0};
    std::from_chars(written.data() + e + (written[e + 1] == '+' ? 2 : 1),
                    written.data() + written.size(), result.exponent);
    return result;
}

std::string scientific(double value, int digits) {
    Decimal parts = decimal(value, digits);
    dropTrailingZeros(parts.mantissa);
    return withTrueMinus(parts.mantissa) + "×10" + superscript(parts.exponent);
}

bool readsFixed(double largest) {
    return largest >= 1e-4 && largest < 1e6;
}

// A label from its own decimal digits, in the fixed form: digits after the
// point, trailing zeros kept so that the labels of an axis line up.
std::string fixed(double value, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", std::max(decimals, 0), value);
    return withTrueMinus(text);
}

// The whole k with k * step in [low, high], widened by the tolerance.
struct Span {
    double first = 0;
    double count = 0;
};

Span ticksOf(double low, double high, double step) {
    const double tolerance = kTolerance * (high - low);
    const double first = std::ceil((low - tolerance) / step);
    const double last = std::floor((high + tolerance) / step);
    return Span{first, std::max(0.0, last - first + 1)};
}

// Whether labels at those ticks keep the gap between one another, each
// centred on its tick and moved inside the axis.
bool labelsFit(const std::vector<Tick>& ticks, double low, double high, double length,
               const LabelExtent& extent, double gap) {
    double previousEnd = -gap;
    for (const Tick& tick : ticks) {
        const double width = extent(tick.label);
        if (width > length) {
            return false;
        }
        const LabelSpan span = labelSpan(tick.value, width, low, high, length);
        if (span.start < previousEnd + gap) {
            return false;
        }
        previousEnd = span.end;
    }
    return true;
}

// The round ticks of one step, 1, 2 or 5 times 10^power, over [low, high]
// as differences from `offset`.
std::vector<Tick> roundTicksOf(double low, double high, double offset, int mantissa, int power) {
    const double step = mantissa * std::pow(10.0, power);
    const Span span = ticksOf(low - offset, high - offset, step);
    const double largest = std::max(std::fabs(low - offset), std::fabs(high - offset));
    std::vector<Tick> ticks;
    for (double k = span.first; k < span.first + span.count; ++k) {
        const double difference = k * step;
        std::string label = "0";
        if (k != 0) {
            label = readsFixed(largest)
                        ? fixed(difference, -power)
                        : scientific(difference, decimal(difference, 17).exponent - power + 1);
        }
        ticks.push_back(Tick{offset + difference, label});
    }
    return ticks;
}

// The multiples of `quarters` quarters of pi in [low, high], reading "−2π",
// "π/2", "3π/4".
std::vector<Tick> piTicksOf(double low, double high, int quarters) {
    const Span span = ticksOf(low, high, quarters * kQuarterPi);
    std::vector<Tick> ticks;
    for (double k = span.first; k < span.first + span.count; ++k) {
        const auto numerator = static_cast<long long>(k) * quarters;
        const long long divisor = std::gcd(std::llabs(numerator), 4LL);
        const long long n = numerator / (divisor == 0 ? 1 : divisor);
        const long long d = 4 / (divisor == 0 ? 4 : divisor);
        std::string label = "0";
        if (numerator != 0) {
            label = n < 0 ? kMinus : "";
            if (std::llabs(n) != 1) {
                label += std::to_string(std::llabs(n));
            }
            label += "π";
            if (d != 1) {
                label += '/';
                label += std::to_string(d);
            }
        }
        ticks.push_back(Tick{static_cast<double>(numerator) * kQuarterPi, label});
    }
    return ticks;
}

// The axis's offset: a round number near its middle, coarse enough that
// the differences from it read with few digits; 0 where the axis's values
// read well as they are.
double offsetFor(double low, double high) {
    const double width = high - low;
    const double largest = std::max(std::fabs(low), std::fabs(high));
    if (!(width < 1e-3 * largest)) {
        return 0.0;
    }
    // The width is at least a unit in the last place of the largest end,
    // so middle / unit stays below about 10^15.
    const double unit = std::pow(10.0, std::ceil(std::log10(width)) + 1);
    const double middle = low / 2 + high / 2;
    return std::round(middle / unit) * unit;
}

std::string offsetLabel(double offset, double low, double high) {
    // Enough digits to reach down to a tenth of the width.
    const int digits = decimal(offset, 17).exponent -
                       static_cast<int>(std::floor(std::log10((high - low) / 10))) + 1;
    return (offset > 0 ? "+" : kMinus) + significantDigits(std::fabs(offset), digits);
}

// Whether round steps cannot be told apart on the axis: below a width whose
// powers of ten are normal doubles, or a window of a few units in the last
// place, with no round values between its ends that a double could hold.
bool tooNarrowForRoundSteps(double low, double high) {
    const double width = high - low;
    const double largest = std::max(std::fabs(low), std::fabs(high));
    const double lastPlace = std::nextafter(largest, HUGE_VAL) - largest;
    return width < kNarrowestRoundAxis || width < 1024 * lastPlace;
}

// An axis too narrow for round steps: its two ends, with the digits that
// tell them apart.
std::vector<Tick> endTicks(double low, double high) {
    int digits = 3;
    while (digits < 17 && significantDigits(low, digits) == significantDigits(high, digits)) {
        ++digits;
    }
    return {Tick{low, significantDigits(low, digits)}, Tick{high, significantDigits(high, digits)}};
}

// Of the candidate tick sets, densest first, the first whose labels fit:
// with at least two ticks where one does, else one, else none.
template <typename Candidates>
std::vector<Tick> densestThatFits(const Candidates& candidates, double low, double high,
                                  double length, const LabelExtent& extent, double gap) {
    std::vector<Tick> single;
    for (const std::vector<Tick>& ticks : candidates) {
        if (ticks.size() > kMostTicks || !labelsFit(ticks, low, high, length, extent, gap)) {
            continue;
        }
        if (ticks.size() >= 2) {
            return ticks;
        }
        if (single.empty()) {
            single = ticks;
        }
    }
    return single;
}

std::vector<std::vector<Tick>> roundCandidates(double low, double high, double offset) {
    const double width = high - low;
    const int finest = static_cast<int>(std::floor(std::log10(width / kMostTicks)));
    std::vector<std::vector<Tick>> candidates;
    for (int power = finest; power <= finest + 3; ++power) {
        for (const int mantissa : {1, 2, 5}) {
            if (ticksOf(low - offset, high - offset, mantissa * std::pow(10.0, power)).count <=
                kMostTicks) {
                candidates.push_back(roundTicksOf(low, high, offset, mantissa, power));
            }
        }
    }
    return candidates;
}

}  // namespace

LabelSpan labelSpan(double value, double extent, double low, double high, double length) {
    const double centre = std::clamp((value - low) / (high - low) * length, 0.0, length);
    const double start = std::clamp(centre - extent / 2, 0.0, std::max(0.0, length - extent));
    return LabelSpan{start, start + extent};
}

AxisTicks chooseTicks(double low, double high, bool pi, double length, const LabelExtent& extent,
                      double gap) {
    AxisTicks axis;
    const double width = high - low;
    if (!(width > 0) || !std::isfinite(width)) {
        return axis;
    }
    const double reach = kMostPiQuarters * kQuarterPi + 1e-6 * width;
    if (pi && std::fabs(low) <= reach && std::fabs(high) <= reach) {
        std::vector<std::vector<Tick>> candidates;
        for (int quarters = 1; quarters <= kMostPiQuarters; quarters *= 2) {
            if (ticksOf(low, high, quarters * kQuarterPi).count <= kMostTicks) {
                candidates.push_back(piTicksOf(low, high, quarters));
            }
        }
        axis.ticks = densestThatFits(candidates, low, high, length, extent, gap);
        if (axis.ticks.size() >= 2) {
            return axis;
        }
    }
    if (tooNarrowForRoundSteps(low, high)) {
        const std::vector<std::vector<Tick>> candidates = {endTicks(low, high),
                                                           {endTicks(low, high).front()}};
        axis.ticks = densestThatFits(candidates, low, high, length, extent, gap);
        return axis;
    }
    axis.offset = offsetFor(low, high);
    if (axis.offset != 0.0) {
        axis.offsetLabel = offsetLabel(axis.offset, low, high);
    }
    axis.ticks =
        densestThatFits(roundCandidates(low, high, axis.offset), low, high, length, extent, gap);
    // An axis too short for two round values still reads its two ends,
    // where their labels fit.
    if (axis.ticks.size() < 2 && axis.offset == 0.0 &&
        labelsFit(endTicks(low, high), low, high, length, extent, gap)) {
        axis.ticks = endTicks(low, high);
    }
    return axis;
}

AxisTicks chooseLegendTicks(double low, double high, double length, const LabelExtent& extent,
                            double gap) {
    AxisTicks legend;
    const double width = high - low;
    if (!(width > 0) || !std::isfinite(width)) {
        return legend;
    }
    const std::vector<Tick> ends = endTicks(low, high);
    if (!labelsFit(ends, low, high, length, extent, gap)) {
        if (labelsFit({ends.front()}, low, high, length, extent, gap)) {
            legend.ticks = {ends.front()};
        }
        return legend;
    }
    legend.ticks = ends;
    if (tooNarrowForRoundSteps(low, high) || offsetFor(low, high) != 0.0) {
        return legend;
    }
    // The round values between the ends, clear of the ends' labels.
    const LabelSpan bottom = labelSpan(low, extent(ends.front().label), low, high, length);
    const LabelSpan top = labelSpan(high, extent(ends.back().label), low, high, length);
    for (const std::vector<Tick>& candidate : roundCandidates(low, high, 0.0)) {
        std::vector<Tick> inner;
        for (const Tick& tick : candidate) {
            const LabelSpan span = labelSpan(tick.value, extent(tick.label), low, high, length);
            if (span.start >= bottom.end + gap && span.end + gap <= top.start) {
                inner.push_back(tick);
            }
        }
        if (!inner.empty() && inner.size() <= kMostLegendTicks &&
            labelsFit(inner, low, high, length, extent, gap)) {
            inner.insert(inner.begin(), ends.front());
            inner.push_back(ends.back());
            legend.ticks = inner;
            return legend;
        }
    }
    return legend;
}

namespace {

std::string powerOfTenLabel(int exponent) {
    if (exponent == 0) return "1";
    if (exponent == 1) return "10";
    return "10" + superscript(exponent);
}

}  // namespace

AxisTicks chooseDecadeTicks(double low, double high, double length, const LabelExtent& extent,
                            double gap) {
    AxisTicks legend;
    if (!(high > low) || !std::isfinite(high - low)) {
        return legend;
    }
    const double slack = kTolerance * (high - low);
    const int first = static_cast<int>(std::ceil(low - slack));
    const int last = static_cast<int>(std::floor(high + slack));
    if (last - first >= 1) {
        for (const int step : {1, 2, 5, 10, 20, 50, 100, 200}) {
            std::vector<Tick> ticks;
            for (int k = first; k <= last; ++k) {
                if (k % step == 0) {
                    ticks.push_back({static_cast<double>(k), powerOfTenLabel(k)});
                }
            }
            if (ticks.size() >= 2 && labelsFit(ticks, low, high, length, extent, gap)) {
                legend.ticks = ticks;
                return legend;
            }
        }
    }
    // The ends, as values.
    const std::vector<Tick> ends = {{low, threeDigits(std::pow(10.0, low))},
                                    {high, threeDigits(std::pow(10.0, high))}};
    if (labelsFit(ends, low, high, length, extent, gap)) {
        legend.ticks = ends;
    }
    return legend;
}

AxisTicks chooseSymlogTicks(double low, double high, const std::function<double(double)>& position,
                            double length, const LabelExtent& extent, double gap) {
    AxisTicks legend;
    const double from = position(low);
    const double to = position(high);
    if (!(to > from) || !std::isfinite(to - from)) {
        return legend;
    }
    // Candidates in the order they are wanted: the ends, 0, then the powers
    // of ten from the largest down, on either side.
    std::vector<std::pair<double, std::string>> wanted = {{low, threeDigits(low)},
                                                          {high, threeDigits(high)}};
    if (low < 0 && high > 0) {
        wanted.emplace_back(0.0, "0");
    }
    const double largest = std::max(std::fabs(low), std::fabs(high));
    for (int k = static_cast<int>(std::floor(std::log10(largest))); k >= -320; --k) {
        const double power = std::pow(10.0, k);
        if (power == 0.0) {
            break;
        }
        if (power > low && power < high) {
            wanted.emplace_back(power, powerOfTenLabel(k));
        }
        if (-power > low && -power < high) {
            wanted.emplace_back(-power, kMinus + powerOfTenLabel(k));
        }
    }
    std::vector<Tick> kept;
    for (const auto& [value, label] : wanted) {
        std::vector<Tick> trial = kept;
        const Tick tick{position(value), label};
        trial.insert(
            std::upper_bound(trial.begin(), trial.end(), tick,
                             [](const Tick& a, const Tick& b) { return a.value < b.value; }),
            tick);
        if (labelsFit(trial, from, to, length, extent, gap)) {
            kept = std::move(trial);
        }
    }
    legend.ticks = kept;
    return legend;
}

bool readsInPi(double low, double high) {
    const double width = high - low;
    auto smallMultiple = [&](double value) {
        const double quarters = std::round(value / kQuarterPi);
        return std::fabs(quarters) <= kMostPiQuarters &&
               std::fabs(value - quarters * kQuarterPi) <= 1e-6 * width;
    };
    return width > 0 && smallMultiple(low) && smallMultiple(high);
}

std::string significantDigits(double value, int digits) {
    if (value == 0.0) {
        return "0";
    }
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "NaN" : value > 0 ? "∞" : kMinus + std::string("∞");
    }
    const Decimal parts = decimal(value, digits);
    if (parts.exponent < -4 || parts.exponent >= 6) {
        return scientific(value, digits);
    }
    // The rounded value, written out in full.
    double rounded = 0.0;
    const std::string written = parts.mantissa + "e" + std::to_string(parts.exponent);
    std::from_chars(written.data(), written.data() + written.size(), rounded);
    std::string text = fixed(rounded, std::max(0, digits - 1 - parts.exponent));
    dropTrailingZeros(text);
    return text;
}

std::string threeDigits(double value) {
    return significantDigits(value, 3);
}

}  // namespace complexplot
