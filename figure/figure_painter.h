#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <cstddef>
#include <stdexcept>
#include <string>

#include "grey_scale.h"

namespace complexplot {

// What a figure shows: a title, the two maps with the plane coordinates of
// their edges, and the grey range they were drawn on.
struct FigureContent {
    std::string title;
    QImage real;
    QImage imaginary;
    // The plane at the maps' left, right, bottom and top edges.
    double left = -2.0;
    double right = 2.0;
    double bottom = -2.0;
    double top = 2.0;
    // Ticks at multiples of pi rather than at round numbers.
    bool piTicksAlongX = false;
    bool piTicksAlongY = false;
    GreyRange range;
    std::size_t pointsWithoutValue = 0;
};

// Where everything goes, in the figure's own units: pixels of a PNG figure,
// or a page 1600 units wide for SVG and PDF. In a PNG figure the maps are
// enlarged by a whole number and stand on whole pixels.
struct FigureLayout {
    double width = 1600.0;
    double height = 0.0;
    double unit = 1.0;  // the width / 1600: sizes of text, lines and gaps scale with it
    QRectF realMap;
    QRectF imaginaryMap;
    QRectF legendBar;
    int wholeScale = 0;  // PNG only: how many figure pixels a map pixel is wide
};

// The maps do not fit a PNG figure of that width at one figure pixel per map
// pixel. The message says what width would do.
class FigureTooNarrow : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest maps of the shape of `mapPixels` that a PNG figure
// `pixelWidth` pixels wide shows at one figure pixel or more per map pixel:
// mapPixels itself when they fit. Only the content's labels count here, not
// its maps.
QSize largestPngMaps(const FigureContent& content, QSize mapPixels, int pixelWidth);

// A PNG figure at `pixelWidth` pixels (the maps at a whole scale), or a
// vector figure (SVG, PDF) when pixelWidth is 0.
FigureLayout layoutFigure(const FigureContent& content, int pixelWidth);

// Draws the figure with the painter, in the layout's units. The maps are
// drawn as images without smoothing, the rest as text and shapes.
void paintFigure(QPainter& painter, const FigureContent& content, const FigureLayout& layout);

}  // namespace complexplot
