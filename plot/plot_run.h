#pragma once

// One plot run: what a click on a function button does.

#include <cstdint>
#include <string_view>

#include "complex_functions.h"
#include "plot_platform.h"
#include "presets.h"

namespace complexplot {

// Maps v on the window's current range to a grey level 0..255: RangeMin and
// below give 0, RangeMax and above give 255. Reads the range live.
int GreyLevel(double v, const WindowState& state);

// Frames a surface so that (x1, y1) is its top-left corner and (x2, y2) its
// bottom-right corner.
void SetPlotScale(PictureSurface& surface, double x1, double y1, double x2, double y2);

// n copies of "■" (U+25A0), for n in 0..40.
std::string_view ProgressBar(int n);

// The click handler's body: clears and frames both pictures, sweeps the
// preset's grid column by column painting the real part into Picture1 and
// the imaginary part into Picture2, counts the progress bar up, draws the
// axes when Check1 is 1, and puts the pointer back. Sets the window's range
// from the preset. Runtime errors of the evaluators or of the controls pass
// through to the caller.
void Command1_Click(std::int16_t Index, PlotControls& controls, WindowState& state);

}  // namespace complexplot
