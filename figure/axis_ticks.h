#pragma once

#include <functional>
#include <string>
#include <vector>

namespace complexplot {

// A tick of a figure's axis or legend: where it stands, and what it reads.
struct Tick {
    double value = 0.0;
    std::string label;
};

// The ticks of an axis or a legend. On an axis far from 0 for its width,
// each label reads as a difference from an offset that is written once at
// the end of the axis ("+1000"): the tick's value is offset + label.
struct AxisTicks {
    std::vector<Tick> ticks;
    std::string offsetLabel;  // empty: the labels read as they are
    double offset = 0.0;
};

// How much room a label takes along the axis, in the axis's own units.
using LabelExtent = std::function<double(const std::string&)>;

// Where a label stands along an axis `length` long from `low` to `high`:
// centred on its tick, and moved inside the axis where it would stick out.
struct LabelSpan {
    double start = 0.0;
    double end = 0.0;
};
LabelSpan labelSpan(double value, double extent, double low, double high, double length);

// Ticks over [low, high] on an axis `length` long: round values 1, 2 or 5
// times a power of ten apart, or multiples of pi/4, pi/2, pi ... where `pi`
// asks for them and readsInPi(low, high). Of the steps that give at most 8
// ticks, the densest whose labels keep `gap` between one another; on an
// axis too short for two of them, its two ends where their labels fit;
// fewer ticks, down to none, where even one label does not fit. Labels have just
// the digits their step needs ("0.5", "−2", "2×10¹¹"), with a true minus.
AxisTicks chooseTicks(double low, double high, bool pi, double length, const LabelExtent& extent,
                      double gap);

// A legend over [low, high]: its two ends, with three significant digits or
// as many more as it takes for them to differ, and between them the round
// values whose labels keep `gap` from the ends and from one another.
AxisTicks chooseLegendTicks(double low, double high, double length, const LabelExtent& extent,
                            double gap);

// A legend of a logarithmic scale over [low, high] in decades (log10 of
// its ends): the powers of ten in it, every one, or every 2nd, 5th, 10th
// ... where their labels would crowd ("10⁻²", "10⁻¹", "1", "10", "10³"):
// the tick's value is its decade. Where no two powers of ten lie in the
// range, its two ends, with three significant digits.
AxisTicks chooseDecadeTicks(double low, double high, double length, const LabelExtent& extent,
                            double gap);

// A legend of a symmetric logarithmic scale: values from [low, high] (the
// range in f's own values) placed at position(value) along a bar that runs
// from position(low) to position(high). Its two ends, then 0 and ±10^k,
// the largest first, each where its label keeps `gap` from the others.
AxisTicks chooseSymlogTicks(double low, double high, const std::function<double(double)>& position,
                            double length, const LabelExtent& extent, double gap);

// Whether an axis reads in multiples of pi: both ends are k pi/4 for whole k
// of at most 64, to within a millionth of the axis's width.
bool readsInPi(double low, double high);

// A value with that many significant digits, in the figures' one format:
// fixed from 10⁻⁴ up to 10⁶ ("−9.21", "5540", "0.000123"), else a mantissa
// times a power of ten ("1.23×10⁻⁷"); trailing zeros dropped, a true minus.
std::string significantDigits(double value, int digits);

// significantDigits(value, 3).
std::string threeDigits(double value);

}  // namespace complexplot
