#include "presets.h"

#include <cmath>

namespace complexplot {

Preset LoadPreset(std::int16_t Index) {
    Preset preset;
    switch (Index) {
        case kPresetSin:
            // 6.28318530717958 is 2*pi to 15 significant digits, not the
            // double nearest 2*pi; the step is that value divided by 50.
            preset.title = "Sin Z";
            preset.StepX = 0.1256637061435916;
            preset.XMin = -6.28318530717958;
            preset.XMax = 6.28318530717958;
            preset.RangeMax = 1;
            preset.RangeMin = -1;
            break;
        case kPresetLog:
            preset.title = "Log Z";
            preset.StepX = 0.01;
            preset.XMin = -2;
            preset.XMax = 2;
            preset.RangeMax = std::log(5.0);
            preset.RangeMin = std::log(0.0001);
            break;
        case kPresetCos:
            preset.title = "Cos Z";
            preset.StepX = 0.1256637061435916;
            preset.XMin = -6.28318530717958;
            preset.XMax = 6.28318530717958;
            preset.RangeMax = 5;
            preset.RangeMin = -5;
            break;
        case kPresetTan:
            // 3.14159265358979 / 100, and pi/2 to 15 decimals.
            preset.title = "Tan Z";
            preset.StepX = 0.0314159265358979;
            preset.XMin = -1.570796326794895;
            preset.XMax = 1.570796326794895;
            preset.RangeMax = 3;
            preset.RangeMin = -3;
            break;
        case kPresetArcTan:
            preset.title = "ArcTan Z";
            preset.StepX = 0.01;
            preset.XMin = -2;
            preset.XMax = 2;
            preset.RangeMax = 1.570796326794895;
            preset.RangeMin = -1.570796326794895;
            break;
        default:
            throw RuntimeError(RuntimeError::kInvalidCall);
    }
    // The window is square: the same grid on both axes.
    preset.StepY = preset.StepX;
    preset.YMin = preset.XMin;
    preset.YMax = preset.XMax;
    return preset;
}

Complex EvaluatePreset(std::int16_t Index, const Complex& z, const WindowState& state) {
    switch (Index) {
        case kPresetSin:
            return ComplexSin(z);
        case kPresetLog:
            return ComplexLog(z);
        case kPresetCos:
            return ComplexCos(z);
        case kPresetTan:
            return ComplexTan(z);
        case kPresetArcTan:
            return ComplexArcTan(z, state);
        default:
            throw RuntimeError(RuntimeError::kInvalidCall);
    }
}

std::string_view PresetName(std::int16_t Index) {
    switch (Index) {
        case kPresetSin:
            return "sin";
        case kPresetLog:
            return "log";
        case kPresetCos:
            return "cos";
        case kPresetTan:
            return "tan";
        case kPresetArcTan:
            return "arctan";
        default:
            return {};
    }
}

std::int16_t PresetIndexByName(std::string_view name) {
    for (std::int16_t index = 0; index < kPresetCount; ++index) {
        if (PresetName(index) == name) {
            return index;
        }
    }
    return -1;
}

}  // namespace complexplot
