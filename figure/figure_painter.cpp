#include "figure_painter.h"

#include <QBitmap>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

#include "axis_ticks.h"
#include "legend_axis.h"
#include "level_curve_paths.h"

namespace complexplot {

namespace {

constexpr double kVectorWidth = 1600.0;
// At most this tall for its width: as tall as an A4 page in portrait, for
// maps taller than wide.
constexpr double kTallest = 1.41;

// Sizes in units of width / 1600.
constexpr double kTitleSize = 32;
// A title's lines, at most three, each this many title sizes below the last.
constexpr std::size_t kMostTitleLines = 3;
constexpr double kTitleLineSpacing = 1.25;
constexpr double kCaptionSize = 24;
constexpr double kLabelSize = 20;
constexpr double kMargin = 40;
constexpr double kTickLength = 8;
constexpr double kTextGap = 6;
constexpr double kMapGap = 30;
constexpr double kLegendGap = 36;
constexpr double kLegendBarWidth = 28;
constexpr double kFrame = 1.5;

// Space left between neighbouring labels, in units of the label size.
constexpr double kLabelSpacing = 0.6;
// The hatching over points without a value: lines this far apart and wide.
constexpr double kHatchSpacing = 8;
constexpr double kHatchWidth = 2;

const QColor kInk(0, 0, 0);

QFont figureFont(double pixels) {
    QFont font;
    // Latin, Greek and the maths from DejaVu Sans, the Japanese from IPA Gothic.
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("IPAGothic")});
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    return font;
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

double labelWidth(const QFont& font, const std::string& label) {
    return QFontMetricsF(font).horizontalAdvance(text(label));
}

double widestLabel(const AxisTicks& ticks, const QFont& font) {
    double widest = 0;
    for (const Tick& tick : ticks.ticks) {
        widest = std::max(widest, labelWidth(font, tick.label));
    }
    return widest;
}

// Each pixel as a square of `scale` pixels: an exact enlargement, where a
// painter's own scaling would round its steps.
QImage enlarged(const QImage& image, int scale) {
    QImage large(image.width() * scale, image.height() * scale, image.format());
    if (large.isNull()) {
        throw std::bad_alloc();
    }
    const int bytes = image.depth() / 8;
    for (int row = 0; row < large.height(); ++row) {
        const uchar* source = image.constScanLine(row / scale);
        uchar* line = large.scanLine(row);
        for (int column = 0; column < large.width(); ++column) {
            std::memcpy(line + column * bytes, source + (column / scale) * bytes, bytes);
        }
    }
    return large;
}

// The heights of the rows above and below the maps.
struct Rows {
    double title = 0;
    double caption = 0;
    double xLabels = 0;
    double xOffset = 0;
    double swatch = 0;

    double total() const { return title + caption + xLabels + xOffset + swatch; }
};

double labelHeight(double unit) {
    return 1.4 * kLabelSize * unit;
}

// How the labels of each kind are measured along their axis.
struct Measures {
    QFont font;
    double height = 0;

    LabelExtent across() const {
        return [this](const std::string& label) { return labelWidth(font, label); };
    }
    LabelExtent upright() const {
        return [this](const std::string&) { return height; };
    }
    double gapAcross() const { return kLabelSpacing * height; }
    double gapUpright() const { return 0.15 * height; }
};

Measures measuresFor(double unit) {
    return Measures{figureFont(kLabelSize * unit), labelHeight(unit)};
}

// The ticks along the map's height and the legends' for a map that tall.
struct UprightTicks {
    AxisTicks y;
    AxisTicks legend;
    AxisTicks realLegend;
    bool twoLegends = false;
};

// A legend is as tall as the maps, but never too short for its ends and a
// value between them to read.
double legendHeightFor(double mapHeight, const Measures& measures) {
    return std::max(mapHeight, 5 * measures.height);
}

// The legend of the right-hand map (or of both), or of the left one where
// it has its own.
LegendAxis legendOf(const FigureContent& content, bool leftMapsOwn) {
    return legendAxisOf(
        content.kind, content.curve, content.symlogScale,
        leftMapsOwn ? content.range : content.imaginaryRange.value_or(content.range), leftMapsOwn);
}

AxisTicks legendTicks(const LegendAxis& legend, double height, const Measures& measures) {
    return legendTicks(legend, height, measures.upright(), measures.gapUpright());
}

UprightTicks uprightTicks(const FigureContent& content, double mapHeight,
                          const Measures& measures) {
    UprightTicks ticks;
    ticks.y = chooseTicks(content.bottom, content.top, content.piTicksAlongY, mapHeight,
                          measures.upright(), measures.gapUpright());
    const double height = legendHeightFor(mapHeight, measures);
    ticks.legend = legendTicks(legendOf(content, false), height, measures);
    ticks.twoLegends = content.imaginaryRange.has_value();
    if (ticks.twoLegends) {
        ticks.realLegend = legendTicks(legendOf(content, true), height, measures);
    }
    return ticks;
}

// The widths beside the maps: the gutter of the y labels (and the y offset
// above it), and each legend with its labels.
struct SideWidths {
    double yGutter = 0;
    double legend = 0;
    double realLegend = 0;

    bool covers(const SideWidths& other) const {
        return yGutter >= other.yGutter && legend >= other.legend && realLegend >= other.realLegend;
    }
};

SideWidths sideWidths(const UprightTicks& ticks, const Measures& measures, double unit) {
    const double besideText = (kTickLength + 2 * kTextGap) * unit;
    SideWidths widths;
    widths.yGutter = std::max(widestLabel(ticks.y, measures.font),
                              labelWidth(measures.font, ticks.y.offsetLabel)) +
                     besideText;
    auto legendWidth = [&](const AxisTicks& legend) {
        return (kLegendGap + kLegendBarWidth) * unit + besideText +
               widestLabel(legend, measures.font);
    };
    widths.legend = legendWidth(ticks.legend);
    widths.realLegend = ticks.twoLegends ? legendWidth(ticks.realLegend) : 0;
    return widths;
}

// Where a title may break: after a blank, or after an operator of a formula.
bool breaksAfter(QChar c) {
    return c == u' ' || c == u'+' || c == u'\u2212' || c == u'\u00b7' || c == u'/' || c == u',' ||
           c == u'=';
}

// How much of `text` from `from` fits `width` in the font: at least one
// character, and where it can, up to a break.
qsizetype lineLength(const QFontMetricsF& metrics, const QString& text, qsizetype from,
                     double width) {
    qsizetype fits = 1;
    while (from + fits < text.size() &&
           metrics.horizontalAdvance(text.mid(from, fits + 1)) <= width) {
        ++fits;
    }
    if (from + fits == text.size()) {
        return fits;
    }
    for (qsizetype k = fits; k > fits / 2; --k) {
        if (breaksAfter(text[from + k - 1])) {
            return k;
        }
    }
    return fits;
}

std::vector<QString> brokenTitle(const std::string& title);

}  // namespace

std::vector<QString> titleLines(const std::string& title) {
    // A layout asks for the same title's lines dozens of times while it
    // sizes the maps; measuring a long title each time took most of a run.
    thread_local std::string lastTitle;
    thread_local std::vector<QString> lastLines;
    if (!lastLines.empty() && title == lastTitle) {
        return lastLines;
    }
    lastLines = brokenTitle(title);
    lastTitle = title;
    return lastLines;
}

namespace {

std::vector<QString> brokenTitle(const std::string& title) {
    // Measured at the vector figure's size: a PNG figure of any width is
    // that figure scaled, so it breaks in the same places.
    const QFontMetricsF metrics(figureFont(kTitleSize));
    const double width = kVectorWidth - 2 * kMargin;
    const QString whole = text(title);
    std::vector<QString> lines;
    // A fourth line is enough to know that the third is cut.
    for (qsizetype from = 0; from < whole.size() && lines.size() <= kMostTitleLines;) {
        const qsizetype length = lineLength(metrics, whole, from, width);
        lines.push_back(whole.mid(from, length).trimmed());
        from += length;
    }
    if (lines.size() <= kMostTitleLines) {
        return lines;
    }
    // Cut at the last break of the last line that still leaves room for
    // the ellipsis.
    lines.resize(kMostTitleLines);
    QString& last = lines.back();
    const double room = width - metrics.horizontalAdvance(QStringLiteral(" …"));
    qsizetype length = last.size();
    while (length > 0 && metrics.horizontalAdvance(last.left(length)) > room)
        --length;
    qsizetype cut = length;
    while (cut > 0 && !breaksAfter(last[cut - 1]))
        --cut;
    last = last.left(cut > 0 ? cut : length).trimmed() + QStringLiteral(" …");
    return lines;
}

}  // namespace

bool titleFits(const std::string& title) {
    const QFontMetricsF metrics(figureFont(kTitleSize));
    const double width = kVectorWidth - 2 * kMargin;
    const QString whole = text(title);
    std::size_t count = 0;
    for (qsizetype from = 0; from < whole.size() && count <= kMostTitleLines; ++count) {
        from += lineLength(metrics, whole, from, width);
    }
    return count <= kMostTitleLines;
}

namespace {

double titleHeight(const FigureContent& content, double unit) {
    const auto lines =
        static_cast<double>(std::max<std::size_t>(1, titleLines(content.title).size()));
    return (1.8 + kTitleLineSpacing * (lines - 1)) * kTitleSize * unit;
}

Rows rowsFor(const FigureContent& content, double unit) {
    Rows rows;
    rows.title = titleHeight(content, unit);
    rows.caption = 1.6 * kCaptionSize * unit;
    rows.xLabels = (kTickLength + kTextGap) * unit + labelHeight(unit);
    // The offset of the x labels is the same whatever their room.
    const bool xOffset = !chooseTicks(
                              content.left, content.right, content.piTicksAlongX, 1e9,
                              [](const std::string&) { return 1.0; }, 0)
                              .offsetLabel.empty();
    rows.xOffset = xOffset ? labelHeight(unit) : 0;
    rows.swatch = content.pointsWithoutValue > 0 ? 2.0 * kLabelSize * unit : 0;
    return rows;
}

// What stands between the maps one above the other: the upper one's x
// labels and the lower one's caption, apart by the gap between maps.
double stackedGap(const Rows& rows, double unit) {
    return rows.xLabels + rows.xOffset + kMapGap * unit + rows.caption;
}

// The room for each map in a figure of that width, with those widths
// beside the maps: side by side, or one above the other.
QSizeF roomForEachMap(const FigureContent& content, double width, const SideWidths& widths,
                      bool stacked) {
    const double unit = width / kVectorWidth;
    const Rows rows = rowsFor(content, unit);
    const double fixedHeight = 2 * kMargin * unit + rows.total();
    if (stacked) {
        const double mapsWidth = width - 2 * kMargin * unit - widths.yGutter -
                                 std::max(widths.legend, widths.realLegend);
        return QSizeF(mapsWidth, (kTallest * width - fixedHeight - stackedGap(rows, unit)) / 2);
    }
    // One map (the phase portrait) or two side by side.
    const double maps = content.kind == MapKind::phase ? 1 : 2;
    const double mapsWidth = width - 2 * kMargin * unit - maps * widths.yGutter -
                             (maps - 1) * kMapGap * unit - widths.legend - widths.realLegend;
    return QSizeF(mapsWidth / maps, kTallest * width - fixedHeight);
}

// How large the maps print on an A4 page, the page turned to the figure's
// shape, in points per map pixel, for the room each map has.
double printedScale(const FigureContent& content, const SideWidths& widths, bool stacked) {
    const double pixelsWide = content.real.width();
    const double pixelsHigh = content.real.height();
    const QSizeF room = roomForEachMap(content, kVectorWidth, widths, stacked);
    const double scale = std::min(room.width() / pixelsWide, room.height() / pixelsHigh);
    const Rows rows = rowsFor(content, 1.0);
    const double mapsHigh =
        stacked ? 2 * scale * pixelsHigh + stackedGap(rows, 1.0) : scale * pixelsHigh;
    const double height = 2 * kMargin + rows.total() + mapsHigh;
    // A4 within margins of 12 mm, in points.
    const double longSide = 842 - 68;
    const double shortSide = 595 - 68;
    const bool landscape = kVectorWidth >= height;
    const double pointsPerUnit = landscape ? std::min(longSide / kVectorWidth, shortSide / height)
                                           : std::min(shortSide / kVectorWidth, longSide / height);
    return scale * pointsPerUnit;
}

// Stacked where that prints the maps at least a tenth larger: wide maps.
// Square ones print about as large either way and stay side by side.
bool prefersStacked(const FigureContent& content, const SideWidths& widths) {
    return content.kind != MapKind::phase &&
           printedScale(content, widths, true) > 1.1 * printedScale(content, widths, false);
}

// The widths beside the maps before their size is known: those of the
// labels at the most room they could have, which are the densest.
SideWidths firstSideWidths(const FigureContent& content, double width) {
    const double unit = width / kVectorWidth;
    const Measures measures = measuresFor(unit);
    return sideWidths(uprightTicks(content, kTallest * width, measures), measures, unit);
}

// A frame's lines: in a PNG figure on whole pixels, at least one.
double frameThickness(const FigureLayout& layout) {
    const double thickness = kFrame * layout.unit;
    return layout.wholeScale > 0 ? std::max(1.0, std::round(thickness)) : thickness;
}

void fillFrame(QPainter& painter, const QRectF& inside, double thickness) {
    const QRectF outside = inside.adjusted(-thickness, -thickness, thickness, thickness);
    painter.fillRect(QRectF(outside.topLeft(), QSizeF(outside.width(), thickness)), kInk);
    painter.fillRect(
        QRectF(QPointF(outside.left(), inside.bottom()), QSizeF(outside.width(), thickness)), kInk);
    painter.fillRect(QRectF(outside.topLeft(), QSizeF(thickness, outside.height())), kInk);
    painter.fillRect(
        QRectF(QPointF(inside.right(), outside.top()), QSizeF(thickness, outside.height())), kInk);
}

// Diagonal lines of ink over the area the painter is clipped to, within
// the rectangle.
void hatch(QPainter& painter, const QRectF& area, double unit) {
    painter.setPen(QPen(kInk, kHatchWidth * unit, Qt::SolidLine, Qt::FlatCap));
    const double spacing = kHatchSpacing * unit;
    for (double shift = -area.height(); shift < area.width(); shift += spacing) {
        painter.drawLine(QPointF(area.left() + shift, area.bottom()),
                         QPointF(area.left() + shift + area.height(), area.top()));
    }
}

// The colour of the points without a value: the marker's green, or on the
// phase portrait, whose wheel holds that green, mid-grey.
RgbColour noValueColourOf(const FigureContent& content) {
    return content.kind == MapKind::phase ? kPhaseNoValueColour : kNoValueColour;
}

// Hatches the map's pixels of the marker colour, so that in print they
// stay apart from every grey; the map's own pixels stay as they are below.
void hatchPointsWithoutValue(QPainter& painter, const QRectF& rect, const QImage& image,
                             double unit, RgbColour marker) {
    const QImage mask =
        image.convertToFormat(QImage::Format_RGB32)
            .createMaskFromColor(qRgb(marker.red, marker.green, marker.blue), Qt::MaskOutColor);
    const QRegion region(QBitmap::fromImage(mask));
    if (region.isEmpty()) {
        return;
    }
    QTransform toFigure;
    toFigure.translate(rect.left(), rect.top());
    toFigure.scale(rect.width() / image.width(), rect.height() / image.height());
    painter.save();
    QPainterPath area;
    area.addRegion(region);
    painter.setClipPath(toFigure.map(area));
    hatch(painter, rect, unit);
    painter.restore();
}

// Every point without a value shows over the axes, green and hatched where
// an axis covers it in the map, and a point with no such neighbour gets a
// ring of ink about 2 mm across (12 units: 2 mm on an A4 page), so that a
// single pole on a grid is found in print.
void markPointsWithoutValue(QPainter& painter, const FigureContent& content,
                            const FigureLayout& layout, const QRectF& rect, const QImage& image) {
    const double cellWidth = rect.width() / image.width();
    const double cellHeight = rect.height() / image.height();
    const RgbColour colour = noValueColourOf(content);
    const QRgb marker = qRgb(colour.red, colour.green, colour.blue);
    auto cell = [&](QPoint point) {
        return QRectF(rect.left() + point.x() * cellWidth, rect.top() + point.y() * cellHeight,
                      cellWidth, cellHeight);
    };
    // The points come row by row, so a neighbour is found by bisection.
    auto lacksValue = [&](int column, int row) {
        return std::binary_search(
            content.withoutValue.begin(), content.withoutValue.end(), QPoint(column, row),
            [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
    };
    const double radius = 6 * layout.unit;
    for (const QPoint point : content.withoutValue) {
        if (image.pixel(point) != marker) {
            painter.fillRect(cell(point), QColor(marker));
            painter.save();
            painter.setClipRect(cell(point));
            hatch(painter, cell(point), layout.unit);
            painter.restore();
        }
        bool isolated = true;
        for (int dy = -1; dy <= 1 && isolated; ++dy) {
            for (int dx = -1; dx <= 1 && isolated; ++dx) {
                isolated = (dx == 0 && dy == 0) || !lacksValue(point.x() + dx, point.y() + dy);
            }
        }
        if (isolated) {
            painter.save();
            painter.setPen(QPen(kInk, frameThickness(layout)));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(cell(point).center(), radius, radius);
            painter.restore();
        }
    }
}

std::pair<QString, QString> captionsOf(MapKind kind) {
    switch (kind) {
        case MapKind::modulusArgument:
            return {QStringLiteral("絶対値 |f(z)|"), QStringLiteral("偏角 arg f(z)")};
        case MapKind::phase:
            return {QStringLiteral("位相 arg f(z)"), QString()};
        default:
            return {QStringLiteral("実数部 Re f(z)"), QStringLiteral("虚数部 Im f(z)")};
    }
}

void drawLabel(QPainter& painter, const PlacedLabel& label) {
    painter.drawText(label.box, Qt::AlignCenter, text(label.text));
}

void paintMap(QPainter& painter, const FigureContent& content, const FigureLayout& layout,
              const QRectF& rect, const QImage& image, const QString& caption,
              const std::vector<LevelCurve>* curves) {
    const double unit = layout.unit;
    const double frame = frameThickness(layout);

    painter.setFont(figureFont(kCaptionSize * unit));
    const double captionHeight = 1.6 * kCaptionSize * unit;
    painter.drawText(
        QRectF(rect.left(), rect.top() - captionHeight - frame, rect.width() * 2, captionHeight),
        Qt::AlignLeft | Qt::AlignVCenter, caption);

    if (layout.wholeScale > 0) {
        painter.drawImage(rect.topLeft().toPoint(), enlarged(image, layout.wholeScale));
    } else {
        painter.drawImage(rect, image);
    }
    // Paths over the map, as sharp at any size as the figure's text, half
    // as thick again as over a map file's pixels.
    QTransform toFigure;
    toFigure.translate(rect.left(), rect.top());
    toFigure.scale(rect.width() / image.width(), rect.height() / image.height());
    if (curves != nullptr && !curves->empty()) {
        painter.save();
        painter.setClipRect(rect);
        paintLevelCurves(painter, *curves, toFigure, 1.5 * unit);
        painter.restore();
    }
    if (content.pointsWithoutValue > 0) {
        hatchPointsWithoutValue(painter, rect, image, unit, noValueColourOf(content));
        markPointsWithoutValue(painter, content, layout, rect, image);
    }
    if (!content.marks.empty()) {
        painter.save();
        painter.setClipRect(rect);
        paintPointMarks(painter, content.marks, toFigure, 1.5 * unit);
        painter.restore();
    }
    fillFrame(painter, rect, frame);

    const double tick = kTickLength * unit;
    for (const Tick& t : layout.xTicks.ticks) {
        const double x = std::clamp(
            rect.left() + (t.value - content.left) / (content.right - content.left) * rect.width(),
            rect.left(), rect.right());
        painter.fillRect(QRectF(x - frame / 2, rect.bottom() + frame, frame, tick), kInk);
    }
    for (const Tick& t : layout.yTicks.ticks) {
        const double y = std::clamp(
            rect.top() + (content.top - t.value) / (content.top - content.bottom) * rect.height(),
            rect.top(), rect.bottom());
        painter.fillRect(QRectF(rect.left() - frame - tick, y - frame / 2, tick, frame), kInk);
    }
}

// The phase portrait's bar: the wheel's colours from -pi at the bottom to
// pi at the top, in a PNG figure a pixel row each, the colour of the angle
// at its centre, and in a vector figure in 360 bands.
void paintWheelBar(QPainter& painter, const FigureLayout& layout, const QRectF& bar) {
    constexpr double pi = std::numbers::pi;
    auto colourAt = [](double fromBottom) {
        const RgbColour colour = phaseColour(-pi + 2 * pi * fromBottom);
        return QColor(colour.red, colour.green, colour.blue);
    };
    if (layout.wholeScale > 0) {
        const int rows = std::max(2, static_cast<int>(std::lround(bar.height())));
        QImage colours(1, rows, QImage::Format_RGB32);
        for (int row = 0; row < rows; ++row) {
            colours.setPixelColor(0, row, colourAt((rows - 1 - row + 0.5) / rows));
        }
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(bar, colours);
        painter.restore();
        return;
    }
    constexpr int kBands = 360;
    const double band = bar.height() / kBands;
    for (int k = 0; k < kBands; ++k) {
        const double top = bar.bottom() - (k + 1) * band;
        painter.fillRect(QRectF(bar.left(), top - (k < kBands - 1 ? band / 2 : 0), bar.width(),
                                band * (k < kBands - 1 ? 1.5 : 1.0)),
                         colourAt((k + 0.5) / kBands));
    }
}

// The legend bar from black at the range's low end to white at its high
// end, each grey exactly as the maps use it.
void paintLegend(QPainter& painter, const FigureLayout& layout, const QRectF& bar,
                 const GreyRange& range, const AxisTicks& ticks, bool wheel) {
    if (wheel) {
        paintWheelBar(painter, layout, bar);
    } else if (layout.wholeScale > 0) {
        // In a PNG figure a pixel row each, every one the grey of the value
        // at its centre, the centres from the range's bottom (black) to its
        // top (white), drawn as an image without smoothing, so that no row
        // blends into the next.
        const int rows = std::max(2, static_cast<int>(std::lround(bar.height())));
        QImage greys(1, rows, QImage::Format_Grayscale8);
        for (int row = 0; row < rows; ++row) {
            const double fromBottom = static_cast<double>(rows - 1 - row) / (rows - 1);
            *greys.scanLine(row) = static_cast<uchar>(std::floor(255 * fromBottom));
        }
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(bar, greys);
        painter.restore();
    } else {
        // In a vector figure the 256 greys as bands, each reaching half into
        // the next, so that no seam shows between them.
        const double band = bar.height() / 256;
        for (int grey = 0; grey < 256; ++grey) {
            const double top = bar.bottom() - (grey + 1) * band;
            painter.fillRect(QRectF(bar.left(), top - (grey < 255 ? band / 2 : 0), bar.width(),
                                    band * (grey < 255 ? 1.5 : 1.0)),
                             QColor(grey, grey, grey));
        }
    }
    const double frame = frameThickness(layout);
    fillFrame(painter, bar, frame);
    for (const Tick& t : ticks.ticks) {
        const double y =
            bar.bottom() - (t.value - range.low) / (range.high - range.low) * bar.height();
        painter.fillRect(
            QRectF(bar.right() + frame, y - frame / 2, kTickLength * layout.unit, frame), kInk);
    }
}

QRectF swatchBox(const FigureLayout& layout) {
    const double size = kLabelSize * layout.unit;
    return QRectF(layout.realMap.left(), layout.height - kMargin * layout.unit - 1.5 * size, size,
                  size);
}

void paintSwatch(QPainter& painter, const FigureContent& content, const FigureLayout& layout) {
    const double unit = layout.unit;
    const QRectF box = swatchBox(layout);
    const RgbColour colour = noValueColourOf(content);
    painter.fillRect(box, QColor(colour.red, colour.green, colour.blue));
    painter.save();
    painter.setClipRect(box);
    hatch(painter, box, unit);
    painter.restore();
    painter.setPen(kInk);
    painter.setFont(figureFont(kLabelSize * unit));
    const std::size_t count = content.pointsWithoutValue;
    const double size = box.height();
    painter.drawText(QRectF(box.right() + kTextGap * unit, box.top() - size, 1000 * unit, 3 * size),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("値なし (no value): %1 %2")
                         .arg(count)
                         .arg(count == 1 ? QStringLiteral("point") : QStringLiteral("points")));
}

}  // namespace

QSizeF pngRoomForEachMap(const FigureContent& content, int pixelWidth) {
    const bool stacked = prefersStacked(content, firstSideWidths(content, kVectorWidth));
    return roomForEachMap(content, pixelWidth, firstSideWidths(content, pixelWidth), stacked);
}

QSize largestPngMaps(const FigureContent& content, QSize mapPixels, int pixelWidth) {
    const QSizeF room = pngRoomForEachMap(content, pixelWidth);
    const double scale =
        std::min(room.width() / mapPixels.width(), room.height() / mapPixels.height());
    if (scale >= 1) {
        return mapPixels;
    }
    return QSize(std::max(0, static_cast<int>(std::floor(scale * mapPixels.width()))),
                 std::max(0, static_cast<int>(std::floor(scale * mapPixels.height()))));
}

// The maps one above the other, each legend beside its map (one legend for
// both beside the upper map), the whole centred across.
void placeStacked(FigureLayout& layout, const SideWidths& widths, const Rows& rows,
                  const Measures& measures, double shownWidth, double shownHeight, bool png) {
    const double unit = layout.unit;
    auto place = [&](double value) { return png ? std::round(value) : value; };
    const bool each = widths.realLegend > 0;
    const double legendWidth = std::max(widths.legend, widths.realLegend);
    const double left =
        place((layout.width - (widths.yGutter + shownWidth + legendWidth)) / 2 + widths.yGutter);
    const double top = place(kMargin * unit + rows.title + rows.caption);
    const double legendHeight = legendHeightFor(shownHeight, measures);
    // The upper map's legend may be taller than it.
    const double upperHeight =
        std::max(shownHeight + rows.xLabels + rows.xOffset, legendHeight + measures.height / 2);
    const double lowerTop = place(top + upperHeight + kMapGap * unit + rows.caption);
    layout.realMap = QRectF(left, top, shownWidth, shownHeight);
    layout.imaginaryMap = QRectF(left, lowerTop, shownWidth, shownHeight);
    const double barLeft = left + shownWidth + kLegendGap * unit;
    if (each) {
        layout.realLegendBar = QRectF(barLeft, top, kLegendBarWidth * unit, legendHeight);
        layout.legendBar = QRectF(barLeft, lowerTop, kLegendBarWidth * unit, legendHeight);
    } else {
        layout.legendBar = QRectF(barLeft, top, kLegendBarWidth * unit, legendHeight);
    }
    layout.height = lowerTop +
                    std::max(shownHeight + rows.xLabels + rows.xOffset,
                             (each ? legendHeight + measures.height / 2 : 0.0)) +
                    rows.swatch + kMargin * unit;
    if (png) {
        layout.height = std::ceil(layout.height);
    }
}

FigureLayout layoutFigure(const FigureContent& content, int pixelWidth) {
    FigureLayout layout;
    const bool png = pixelWidth > 0;
    layout.width = png ? pixelWidth : kVectorWidth;
    layout.unit = layout.width / kVectorWidth;
    const double unit = layout.unit;
    const Measures measures = measuresFor(unit);
    const Rows rows = rowsFor(content, unit);
    const double margin = kMargin * unit;
    const double pixelsWide = content.real.width();
    const double pixelsHigh = content.real.height();

    // The labels beside the maps take room from them, and the room decides
    // the labels: from the densest labels on, until the labels chosen for
    // the maps' height fit the widths the maps were sized with.
    SideWidths widths = firstSideWidths(content, layout.width);
    // The arrangement is chosen at the vector figure's size, so that every
    // format of one figure has the same.
    layout.stacked = prefersStacked(content, firstSideWidths(content, kVectorWidth));
    UprightTicks ticks;
    double shownWidth = 0;
    double shownHeight = 0;
    for (int round = 0; round < 8; ++round) {
        const QSizeF room = roomForEachMap(content, layout.width, widths, layout.stacked);
        if (png) {
            layout.wholeScale = static_cast<int>(
                std::floor(std::min(room.width() / pixelsWide, room.height() / pixelsHigh)));
            if (layout.wholeScale < 1) {
                throw FigureTooNarrow("maps of " + std::to_string(content.real.width()) + " x " +
                                      std::to_string(content.real.height()) +
                                      " pixels do not fit a PNG figure " +
                                      std::to_string(pixelWidth) + " pixels wide");
            }
            shownWidth = layout.wholeScale * pixelsWide;
            shownHeight = layout.wholeScale * pixelsHigh;
        } else {
            const double scale = std::min(room.width() / pixelsWide, room.height() / pixelsHigh);
            shownWidth = scale * pixelsWide;
            shownHeight = scale * pixelsHigh;
        }
        ticks = uprightTicks(content, shownHeight, measures);
        const SideWidths needed = sideWidths(ticks, measures, unit);
        if (widths.covers(needed)) {
            break;
        }
        widths = SideWidths{std::max(widths.yGutter, needed.yGutter),
                            std::max(widths.legend, needed.legend),
                            std::max(widths.realLegend, needed.realLegend)};
    }
    layout.yTicks = ticks.y;
    layout.legendTicks = ticks.legend;
    layout.realLegendTicks = ticks.realLegend;
    layout.xTicks = chooseTicks(content.left, content.right, content.piTicksAlongX, shownWidth,
                                measures.across(), measures.gapAcross());
    layout.hasSwatch = content.pointsWithoutValue > 0;
    layout.xLow = content.left;
    layout.xHigh = content.right;
    layout.yLow = content.bottom;
    layout.yHigh = content.top;
    layout.legendRange = legendCoordinates(legendOf(content, false));
    layout.realLegendRange = legendCoordinates(legendOf(content, true));

    if (layout.stacked) {
        placeStacked(layout, widths, rows, measures, shownWidth, shownHeight, png);
        return layout;
    }
    // The content centred across; in a PNG figure the maps on whole pixels.
    const double realLegend = widths.realLegend;
    const bool single = content.kind == MapKind::phase;
    const double contentWidth =
        single ? widths.yGutter + shownWidth + widths.legend
               : 2 * widths.yGutter + 2 * shownWidth + kMapGap * unit + realLegend + widths.legend;
    auto place = [&](double value) { return png ? std::round(value) : value; };
    const double left = place((layout.width - contentWidth) / 2 + widths.yGutter);
    const double top = place(margin + rows.title + rows.caption);
    const double legendHeight = legendHeightFor(shownHeight, measures);
    layout.realMap = QRectF(left, top, shownWidth, shownHeight);
    if (content.imaginaryRange) {
        layout.realLegendBar = QRectF(layout.realMap.right() + kLegendGap * unit, top,
                                      kLegendBarWidth * unit, legendHeight);
    }
    if (!single) {
        layout.imaginaryMap =
            QRectF(place(left + shownWidth + realLegend + kMapGap * unit + widths.yGutter), top,
                   shownWidth, shownHeight);
    }
    const QRectF& rightMap = single ? layout.realMap : layout.imaginaryMap;
    layout.legendBar =
        QRectF(rightMap.right() + kLegendGap * unit, top, kLegendBarWidth * unit, legendHeight);
    // Below the maps and their x labels, or below a legend taller than
    // them and its last label.
    layout.height =
        top +
        std::max(shownHeight + rows.xLabels + rows.xOffset, legendHeight + measures.height / 2) +
        rows.swatch + margin;
    if (png) {
        layout.height = std::ceil(layout.height);
    }
    return layout;
}

std::vector<PlacedLabel> placedLabels(const FigureLayout& layout) {
    const double unit = layout.unit;
    const Measures measures = measuresFor(unit);
    const double frame = frameThickness(layout);
    const double tick = kTickLength * unit;
    const double gap = kTextGap * unit;
    const double height = measures.height;
    std::vector<PlacedLabel> labels;
    auto add = [&](PlacedLabel::Kind kind, const QRectF& box, const std::string& label,
                   double value, double offset, const QRectF& axis) {
        labels.push_back(PlacedLabel{kind, box, label, value, offset, axis});
    };
    for (const QRectF& map : {layout.realMap, layout.imaginaryMap}) {
        if (map.isEmpty()) {
            continue;  // the phase portrait stands alone
        }
        const AxisTicks& x = layout.xTicks;
        const double below = map.bottom() + frame + tick + gap / 2;
        for (const Tick& t : x.ticks) {
            const double width = labelWidth(measures.font, t.label);
            const LabelSpan span =
                labelSpan(t.value, width, layout.xLow, layout.xHigh, map.width());
            add(PlacedLabel::Kind::xAxis, QRectF(map.left() + span.start, below, width, height),
                t.label, t.value, x.offset, map);
        }
        if (!x.offsetLabel.empty()) {
            const double width = labelWidth(measures.font, x.offsetLabel);
            add(PlacedLabel::Kind::offset,
                QRectF(map.right() - width, below + height, width, height), x.offsetLabel, x.offset,
                0, map);
        }
        const AxisTicks& y = layout.yTicks;
        const double right = map.left() - frame - tick - gap;
        for (const Tick& t : y.ticks) {
            const double width = labelWidth(measures.font, t.label);
            const LabelSpan span =
                labelSpan(t.value, height, layout.yLow, layout.yHigh, map.height());
            add(PlacedLabel::Kind::yAxis,
                QRectF(right - width, map.bottom() - span.end, width, height), t.label, t.value,
                y.offset, map);
        }
        if (!y.offsetLabel.empty()) {
            const double width = labelWidth(measures.font, y.offsetLabel);
            add(PlacedLabel::Kind::offset,
                QRectF(right - width, map.top() - frame - height, width, height), y.offsetLabel,
                y.offset, 0, map);
        }
    }
    auto legendLabels = [&](const QRectF& bar, const AxisTicks& ticks, const GreyRange& range) {
        const double left = bar.right() + frame + tick + gap;
        for (const Tick& t : ticks.ticks) {
            const double width = labelWidth(measures.font, t.label);
            const LabelSpan span = labelSpan(t.value, height, range.low, range.high, bar.height());
            add(PlacedLabel::Kind::legend, QRectF(left, bar.bottom() - span.end, width, height),
                t.label, t.value, 0, bar);
        }
    };
    legendLabels(layout.legendBar, layout.legendTicks, layout.legendRange);
    if (!layout.realLegendBar.isEmpty()) {
        legendLabels(layout.realLegendBar, layout.realLegendTicks, layout.realLegendRange);
    }
    return labels;
}

void paintFigure(QPainter& painter, const FigureContent& content, const FigureLayout& layout) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Map pixels stay squares of one colour, and are stored without loss.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.fillRect(QRectF(0, 0, layout.width, layout.height), Qt::white);
    painter.setPen(kInk);

    painter.setFont(figureFont(kTitleSize * layout.unit));
    const std::vector<QString> lines = titleLines(content.title);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const double lineTop = (kMargin + kTitleLineSpacing * kTitleSize * k) * layout.unit;
        painter.drawText(QRectF(0, lineTop, layout.width, 1.8 * kTitleSize * layout.unit),
                         Qt::AlignHCenter | Qt::AlignVCenter, lines[k]);
    }
    const auto [leftCaption, rightCaption] = captionsOf(content.kind);
    auto curvesOf = [&](std::size_t map) {
        return map < content.curves.size() ? &content.curves[map] : nullptr;
    };
    paintMap(painter, content, layout, layout.realMap, content.real, leftCaption, curvesOf(0));
    if (content.kind != MapKind::phase) {
        paintMap(painter, content, layout, layout.imaginaryMap, content.imaginary, rightCaption,
                 curvesOf(1));
    }
    paintLegend(painter, layout, layout.legendBar, layout.legendRange, layout.legendTicks,
                content.kind == MapKind::phase);
    if (content.imaginaryRange) {
        paintLegend(painter, layout, layout.realLegendBar, layout.realLegendRange,
                    layout.realLegendTicks, false);
    }
    painter.setPen(kInk);
    painter.setFont(figureFont(kLabelSize * layout.unit));
    for (const PlacedLabel& label : placedLabels(layout)) {
        drawLabel(painter, label);
    }
    if (content.pointsWithoutValue > 0) {
        paintSwatch(painter, content, layout);
    }
    painter.restore();
}

}  // namespace complexplot
