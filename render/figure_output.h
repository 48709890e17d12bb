#pragma once

#include <QByteArray>
#include <cstdint>
#include <string>

#include "figure_painter.h"
#include "function_render.h"
#include "raster_surface.h"

namespace complexplot {

// A preset's figure: its window title and formula, the two pictures of a
// run, the frame of the run's grid, ticks at multiples of pi for sin, cos
// and tan, and the preset's range.
FigureContent presetFigureContent(std::int16_t index, const RasterSurface& real,
                                  const RasterSurface& imaginary);

// An expression's figure: the expression as typed, its maps, its window
// (with ticks at multiples of pi along an axis whose ends are multiples of
// pi/4) and the range the maps were drawn on.
FigureContent functionFigureContent(const FunctionRequest& request, const FunctionMaps& maps);

// The figure file's contents in the format its suffix names: .png (a
// picture pngWidth pixels wide), .svg or .pdf. Raises FigureTooNarrow.
QByteArray figureFileBytes(const FigureContent& content, const std::string& path, int pngWidth);

}  // namespace complexplot
