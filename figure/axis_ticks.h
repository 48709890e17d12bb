#pragma once

#include <string>
#include <vector>

namespace complexplot {

// A tick of a figure's axis or legend: where it stands, and what it reads.
struct Tick {
    double value = 0.0;
    std::string label;
};

// Ticks at round values, 1, 2 or 5 times a power of ten apart, about 4 to 8
// of them over [low, high]; each label has just the digits its step needs
// ("0.5", "−2", "2×10¹¹"), with a true minus sign.
std::vector<Tick> roundTicks(double low, double high);

// Ticks at multiples of pi/4, pi/2, pi, 2pi ... apart, about 4 to 8 of
// them, reading "−2π", "−π", "0", "π/2", "3π/4".
std::vector<Tick> piTicks(double low, double high);

// Whether the value is k pi/4 for a whole k, to within 1e-9.
bool isMultipleOfQuarterPi(double value);

// A value with three significant digits ("−9.21", "1.61", "5", "1×10⁻⁵").
std::string threeDigits(double value);

}  // namespace complexplot
