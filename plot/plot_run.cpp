#include "plot_run.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <vector>

#include "checked_double.h"

namespace complexplot {

namespace {

constexpr int kProgressLength = 40;
constexpr RgbColour kRealAxisColour{255, 0, 0};
constexpr RgbColour kImaginaryAxisColour{0, 0, 255};

RgbColour grey(int level) {
    const auto component = static_cast<std::uint8_t>(level);
    return RgbColour{component, component, component};
}

// 40 * ((x - XMin) / Width), halves to the even neighbour (the default
// rounding mode, which nearbyint follows).
int progressCount(double x, double XMin, double Width) {
    const double share = (40.0 * ((CheckedDouble(x) - XMin) / Width)).value();
    return static_cast<int>(std::nearbyint(std::clamp(share, 0.0, double{kProgressLength})));
}

// What one cell paints, worked out before its column is drawn.
struct CellPaint {
    float bottom = 0.0f;
    float top = 0.0f;
    RgbColour real;
    RgbColour imaginary;
};

// One column of cells, bottom row first. The cells are evaluated first and
// painted after, with the same calls in the same order as one cell at a time
// would make: evaluation touches no surface, and the window's range cannot
// change in between (only the event turn can, and it comes before the
// column). Apart, the long arithmetic of neighbouring cells overlaps in the
// processor instead of waiting on the drawing. If a cell fails, what one pass
// would have painted before the failure is painted, then the error goes on.
void sweepColumn(std::int16_t Index, double x, double StepX, double YMin, double rowBound,
                 double StepY, const WindowState& state, std::vector<CellPaint>& cells,
                 PictureSurface& picture1, PictureSurface& picture2) {
    cells.clear();
    bool failedAfterRealPart = false;
    std::exception_ptr failure;
    try {
        for (double y = YMin; y <= rowBound; y += StepY) {
            const Complex w = EvaluatePreset(Index, MakeComplex(x, y), state);
            const RgbColour real = grey(GreyLevel(w.Re, state));
            // The fields are written one by one into their place: a cell
            // built aside and copied in whole would be read back before its
            // parts have reached memory, which stalls the processor.
            CellPaint& cell = cells.emplace_back();
            // Coordinates go to the surfaces in single precision; the far
            // edge is summed in double first, then rounded.
            cell.bottom = static_cast<float>(y);
            cell.top = static_cast<float>(y + StepY);
            cell.real = real;
            failedAfterRealPart = true;
            cell.imaginary = grey(GreyLevel(w.Im, state));
            failedAfterRealPart = false;
        }
    } catch (...) {
        failure = std::current_exception();
    }

    const float left = static_cast<float>(x);
    const float right = static_cast<float>(x + StepX);
    const std::size_t complete = cells.size() - (failedAfterRealPart ? 1 : 0);
    for (std::size_t row = 0; row < complete; ++row) {
        const CellPaint& cell = cells[row];
        picture1.fillBox(left, cell.bottom, right, cell.top, cell.real);
        picture2.fillBox(left, cell.bottom, right, cell.top, cell.imaginary);
    }
    if (failedAfterRealPart) {
        const CellPaint& cell = cells.back();
        picture1.fillBox(left, cell.bottom, right, cell.top, cell.real);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace

int GreyLevel(double v, const WindowState& state) {
    const CheckedDouble q =
        (CheckedDouble(v) - state.RangeMin) / (CheckedDouble(state.RangeMax) - state.RangeMin);
    const double scaled = (255.0 * q).value();
    // g = floor(scaled), then clamped to 0..255. floor(s) < 0 exactly when
    // s < 0, and floor(s) > 255 exactly when s >= 256; in between, truncation
    // is floor. This spares a library call per cell.
    if (scaled < 0) {
        return 0;
    }
    if (scaled >= 256) {
        return 255;
    }
    return static_cast<int>(scaled);
}

void SetPlotScale(PictureSurface& surface, double x1, double y1, double x2, double y2) {
    surface.setScaleTop(static_cast<float>(y1));
    surface.setScaleLeft(static_cast<float>(x1));
    surface.setScaleWidth(static_cast<float>(x2 - x1));
    surface.setScaleHeight(static_cast<float>(y2 - y1));
}

std::string_view ProgressBar(int n) {
    static const std::string kFullBar = [] {
        std::string bar;
        for (int i = 0; i < kProgressLength; ++i) {
            bar += "\u25A0";
        }
        return bar;
    }();
    const std::size_t bytesPerSquare = kFullBar.size() / kProgressLength;
    const int count = std::clamp(n, 0, kProgressLength);
    return std::string_view(kFullBar).substr(0, count * bytesPerSquare);
}

void Command1_Click(std::int16_t Index, PlotControls& controls, WindowState& state) {
    PictureSurface& picture1 = controls.Picture1();
    PictureSurface& picture2 = controls.Picture2();
    picture1.Cls();
    picture2.Cls();

    const std::int16_t savedPointer = controls.mousePointer();
    controls.setMousePointer(kPointerHourglass);

    const Preset preset = LoadPreset(Index);
    const double StepX = preset.StepX;
    const double StepY = preset.StepY;
    const double XMin = preset.XMin;
    const double YMin = preset.YMin;
    const double XMax = preset.XMax;
    const double YMax = preset.YMax;
    state.RangeMax = preset.RangeMax;
    state.RangeMin = preset.RangeMin;
    controls.setTitle(preset.title);

    // The cells tile each surface exactly: left edge XMin, right edge
    // XMax + StepX, bottom YMin, top YMax + StepY.
    SetPlotScale(picture1, XMin, YMax + StepY, XMax + StepX, YMin);
    SetPlotScale(picture2, XMin, YMax + StepY, XMax + StepX, YMin);

    const double Width = XMax - XMin;

    // The loop variables are doubles that advance by addition, so rounding
    // accumulates and decides how many cells there are: 101 or 401 per axis
    // with the presets. Each loop fixes its bound when it starts, and runs
    // while the variable is at most the bound.
    std::vector<CellPaint> cells;
    const double columnBound = XMax + StepX;
    for (double x = XMin; x <= columnBound; x += StepX) {
        controls.setProgressCaption(ProgressBar(progressCount(x, XMin, Width)));
        controls.repaintProgress();
        controls.processPendingEvents();
        sweepColumn(Index, x, StepX, YMin, YMax + StepY, StepY, state, cells, picture1, picture2);
    }

    if (controls.checkValue() == 1) {
        for (PictureSurface* picture : {&picture1, &picture2}) {
            picture->drawLine(static_cast<float>(XMin), 0.0f, static_cast<float>(XMax + StepX),
                              0.0f, kRealAxisColour);
            picture->drawLine(0.0f, static_cast<float>(YMin), 0.0f,
                              static_cast<float>(YMax + StepY), kImaginaryAxisColour);
        }
    }

    controls.setProgressCaption("");
    controls.setMousePointer(savedPointer);
}

}  // namespace complexplot
