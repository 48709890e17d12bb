#pragma once

#include <cstdint>
#include <string_view>

#include "complex_functions.h"

namespace complexplot {

// One row of the built-in presets: the square window of the complex plane,
// its grid step, the value range of the grey scale and the window title.
struct Preset {
    std::string_view title;
    double StepX = 0.0;
    double StepY = 0.0;
    double XMin = 0.0;
    double YMin = 0.0;
    double XMax = 0.0;
    double YMax = 0.0;
    double RangeMax = 0.0;
    double RangeMin = 0.0;
};

// Button indices: the index, not the button's place, selects the preset.
constexpr std::int16_t kPresetSin = 0;
constexpr std::int16_t kPresetLog = 1;
constexpr std::int16_t kPresetCos = 2;
constexpr std::int16_t kPresetTan = 3;
constexpr std::int16_t kPresetArcTan = 4;
constexpr int kPresetCount = 5;

// Raises RuntimeError 5 for an index outside 0..4.
Preset LoadPreset(std::int16_t Index);

// The preset's evaluator applied to z.
Complex EvaluatePreset(std::int16_t Index, const Complex& z, const WindowState& state);

// The button caption in lower case ("sin", "log", "cos", "tan", "arctan"),
// or an empty view for an unknown index.
std::string_view PresetName(std::int16_t Index);

// The index whose name is given, or -1.
std::int16_t PresetIndexByName(std::string_view name);

}  // namespace complexplot
