#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "axis_ticks.h"
#include "grey_scale.h"
#include "level_curves.h"
#include "map_shading.h"
#include "zero_pole_marks.h"

namespace complexplot {

// What a figure shows: a title, the two maps with the plane coordinates of
// their edges, and the grey range they were drawn on: one for both, or one
// for each. Or the modulus and the argument, each with its own legend, or
// the phase portrait alone with its colour wheel.
struct FigureContent {
    std::string title;
    // Re f and Im f, |f| and arg f, or the phase portrait (imaginary null).
    MapKind kind = MapKind::realImaginary;
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
    // The real map's range, and the imaginary map's too unless it has its
    // own; each range has its own legend.
    // With |f| and arg f, the range of |f|; the argument's is fixed.
    GreyRange range;
    std::optional<GreyRange> imaginaryRange;
    // How the legends of Re and Im read: linear, or symlog with this t.
    GreyCurve curve = GreyCurve::linear;
    double symlogScale = 1.0;
    // Each map's level curves, in its pixels (none without --contours).
    std::vector<std::vector<LevelCurve>> curves;
    // The zeros and poles, marked on every map (none without --zeros).
    std::vector<PointMark> marks;
    std::size_t pointsWithoutValue = 0;
    // The map pixels of those points, in order row by row.
    std::vector<QPoint> withoutValue;
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
    // The legend of the imaginary map, or of both; the real map's own, if
    // it has one, else empty.
    QRectF legendBar;
    QRectF realLegendBar;
    int wholeScale = 0;  // PNG only: how many figure pixels a map pixel is wide
    // The imaginary map below the real one, each with its legend beside
    // it, where that prints the maps larger than side by side.
    bool stacked = false;
    // The ticks, chosen for the room their labels have.
    AxisTicks xTicks;
    AxisTicks yTicks;
    AxisTicks legendTicks;
    AxisTicks realLegendTicks;
    bool hasSwatch = false;
    // What the axes and legends span: the plane at the maps' edges, and the
    // legends' ranges.
    double xLow = 0;
    double xHigh = 1;
    double yLow = 0;
    double yHigh = 1;
    GreyRange legendRange;
    GreyRange realLegendRange;
};

// A label as the figure draws it: its box in the layout's units, its text,
// and the value it stands for (for an offset, the offset itself).
struct PlacedLabel {
    enum class Kind { xAxis, yAxis, legend, offset };
    Kind kind = Kind::xAxis;
    QRectF box;
    std::string text;
    double value = 0.0;
    double offset = 0.0;  // what the text is a difference from
    QRectF axis;          // the map or legend bar it belongs to
};

// The maps do not fit a PNG figure of that width at one figure pixel per map
// pixel. The message says what would do.
class FigureTooNarrow : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest maps of the shape of `mapPixels` that a PNG figure
// `pixelWidth` pixels wide shows at one figure pixel or more per map pixel:
// mapPixels itself when they fit. Only the content's labels count here, not
// its maps.
QSize largestPngMaps(const FigureContent& content, QSize mapPixels, int pixelWidth);

// A figure's title broken into lines that fit across it, at blanks and
// after the operators of a formula; at most three, the third cut at a break
// with "…" where more would be needed.
std::vector<QString> titleLines(const std::string& title);

// Whether the title fits three lines uncut.
bool titleFits(const std::string& title);

// The room for each map, in figure pixels, in a PNG figure `pixelWidth`
// pixels wide with the content's labels.
QSizeF pngRoomForEachMap(const FigureContent& content, int pixelWidth);

// A PNG figure at `pixelWidth` pixels (the maps at a whole scale), or a
// vector figure (SVG, PDF) when pixelWidth is 0.
FigureLayout layoutFigure(const FigureContent& content, int pixelWidth);

// Every label of the figure (ticks, legends, offsets) where it is drawn.
std::vector<PlacedLabel> placedLabels(const FigureLayout& layout);

// Draws the figure with the painter, in the layout's units. The maps are
// drawn as images without smoothing, the rest as text and shapes; the
// points without a value are hatched, so that they stay apart from every
// grey in print.
void paintFigure(QPainter& painter, const FigureContent& content, const FigureLayout& layout);

}  // namespace complexplot
