#pragma once

#include <QByteArray>
#include <cstdint>
#include <string>

#include "figure_painter.h"
#include "function_maps.h"
#include "raster_surface.h"
#include "render_options.h"

namespace complexplot {

// A preset's figure: its window title and formula, the two pictures of a
// run, the frame of the run's grid, ticks at multiples of pi for sin, cos
// and tan, and the preset's range.
FigureContent presetFigureContent(std::int16_t index, const RasterSurface& real,
                                  const RasterSurface& imaginary);

// A preset's figure without its pictures: what its labels need.
FigureContent presetFigureLabels(std::int16_t index);

// The title a preset's figure has of its own: its window's title and the
// formula drawn.
std::string presetTitle(std::int16_t index);

// An expression's figure without its maps, for what they show and the
// ranges they were shaded with, and a count of points without a value.
FigureContent functionFigureLabels(const FunctionRequest& request, const MapShading& shading,
                                   std::size_t pointsWithoutValue);

// Raises FigureTooNarrow unless the maps fit a PNG figure `pngWidth` pixels
// wide with these labels; the message gives a way that does, within the
// limits: a wider figure, smaller maps (`smallerMaps` says how, with the
// largest that fit), or a .pdf or .svg. Without a range yet, the widest
// legend there can be stands in for the labels.
void checkPngFigureFits(const FigureContent& labels, QSize mapPixels, int pngWidth,
                        const std::string& smallerMaps);

// The narrowest PNG figure from `from` pixels wide up to the widest that
// holds the maps with these labels; the widest where none does.
int narrowestPngWidth(const FigureContent& labels, QSize mapPixels, int from);

// The width of a PNG figure: the one given, or from 1600 as wide as its
// maps need.
int pngFigureWidth(const FigureContent& content, int width, bool widthGiven);

// An expression's figure: the expression as typed, its maps, its window
// (with ticks at multiples of pi along an axis whose ends are multiples of
// pi/4) and the range the maps were drawn on.
FigureContent functionFigureContent(const FunctionRequest& request, const FunctionMaps& maps);

// Whether the figure's file name asks for a PNG picture.
bool figureIsPng(const std::string& path);

// The figure file's contents in the format its suffix names: .png (a
// picture pngWidth pixels wide) or .svg of the first figure, or .pdf of
// them all, a page each, with the document's title if given. Raises
// FigureTooNarrow.
QByteArray figureFileBytes(const std::vector<FigureContent>& figures, const std::string& path,
                           int pngWidth, PageSize page = PageSize::a4,
                           const std::optional<std::string>& documentTitle = std::nullopt);

}  // namespace complexplot
