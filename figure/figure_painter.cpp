#include "figure_painter.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "axis_ticks.h"

namespace complexplot {

namespace {

constexpr double kVectorWidth = 1600.0;
// At most this tall for its width, so that the figure fills an A4
// landscape page across, where its smallest text prints at about 10 points.
constexpr double kTallest = 0.69;

// Sizes in units of width / 1600.
constexpr double kTitleSize = 32;
constexpr double kCaptionSize = 24;
constexpr double kLabelSize = 20;
constexpr double kMargin = 40;
constexpr double kTickLength = 8;
constexpr double kTextGap = 6;
constexpr double kMapGap = 30;
constexpr double kLegendGap = 36;
constexpr double kLegendBarWidth = 28;
constexpr double kFrame = 1.5;

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

std::vector<Tick> axisTicks(double low, double high, bool pi) {
    return pi ? piTicks(low, high) : roundTicks(low, high);
}

// The legend reads the range's two ends, with three significant digits, and
// the round values between them that leave room for their labels.
std::vector<Tick> legendTicks(const GreyRange& range) {
    const std::vector<Tick> round = roundTicks(range.low, range.high);
    const double step = round.size() > 1 ? round[1].value - round[0].value : range.high - range.low;
    std::vector<Tick> ticks = {Tick{range.low, threeDigits(range.low)}};
    for (const Tick& tick : round) {
        if (tick.value - range.low > 0.4 * step && range.high - tick.value > 0.4 * step) {
            ticks.push_back(tick);
        }
    }
    ticks.push_back(Tick{range.high, threeDigits(range.high)});
    return ticks;
}

double widestLabel(const std::vector<Tick>& ticks, const QFont& font) {
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (const Tick& tick : ticks) {
        widest = std::max(widest, metrics.horizontalAdvance(text(tick.label)));
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
    double swatch = 0;
};

Rows rowsFor(const FigureContent& content, double unit) {
    Rows rows;
    rows.title = 1.8 * kTitleSize * unit;
    rows.caption = 1.6 * kCaptionSize * unit;
    rows.xLabels = (kTickLength + kTextGap) * unit + 1.4 * kLabelSize * unit;
    rows.swatch = content.pointsWithoutValue > 0 ? 2.0 * kLabelSize * unit : 0;
    return rows;
}

double yGutterFor(const FigureContent& content, double unit) {
    const std::vector<Tick> ticks = axisTicks(content.bottom, content.top, content.piTicksAlongY);
    return widestLabel(ticks, figureFont(kLabelSize * unit)) + (kTickLength + 2 * kTextGap) * unit;
}

double legendWidthFor(const FigureContent& content, double unit) {
    return (kLegendBarWidth + kTickLength + kTextGap) * unit +
           widestLabel(legendTicks(content.range), figureFont(kLabelSize * unit));
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

void paintMap(QPainter& painter, const FigureContent& content, const FigureLayout& layout,
              const QRectF& rect, const QImage& image, const QString& caption) {
    const double unit = layout.unit;
    const double frame = frameThickness(layout);
    const QFont labelFont = figureFont(kLabelSize * unit);

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
    fillFrame(painter, rect, frame);

    painter.setFont(labelFont);
    const double tick = kTickLength * unit;
    const double gap = kTextGap * unit;
    const double labelHeight = 1.4 * kLabelSize * unit;
    for (const Tick& t : axisTicks(content.left, content.right, content.piTicksAlongX)) {
        const double x = std::clamp(
            rect.left() + (t.value - content.left) / (content.right - content.left) * rect.width(),
            rect.left(), rect.right());
        const double below = rect.bottom() + frame;
        painter.fillRect(QRectF(x - frame / 2, below, frame, tick), kInk);
        painter.drawText(QRectF(x - 100 * unit, below + tick + gap / 2, 200 * unit, labelHeight),
                         Qt::AlignHCenter | Qt::AlignTop, text(t.label));
    }
    for (const Tick& t : axisTicks(content.bottom, content.top, content.piTicksAlongY)) {
        const double y = std::clamp(
            rect.top() + (content.top - t.value) / (content.top - content.bottom) * rect.height(),
            rect.top(), rect.bottom());
        const double beside = rect.left() - frame;
        painter.fillRect(QRectF(beside - tick, y - frame / 2, tick, frame), kInk);
        painter.drawText(
            QRectF(beside - tick - gap - 300 * unit, y - labelHeight / 2, 300 * unit, labelHeight),
            Qt::AlignRight | Qt::AlignVCenter, text(t.label));
    }
}

// 256 bands from black at the range's low end to white at its high end:
// each grey exactly as the maps use it. Each band reaches half into the
// next, so that no seam shows between them.
void paintLegend(QPainter& painter, const FigureContent& content, const FigureLayout& layout) {
    const QRectF bar = layout.legendBar;
    const double band = bar.height() / 256;
    for (int grey = 0; grey < 256; ++grey) {
        const double top = bar.bottom() - (grey + 1) * band;
        painter.fillRect(QRectF(bar.left(), top - (grey < 255 ? band / 2 : 0), bar.width(),
                                band * (grey < 255 ? 1.5 : 1.0)),
                         QColor(grey, grey, grey));
    }
    const double unit = layout.unit;
    const double frame = frameThickness(layout);
    fillFrame(painter, bar, frame);
    painter.setFont(figureFont(kLabelSize * unit));
    const double labelHeight = 1.4 * kLabelSize * unit;
    const GreyRange& range = content.range;
    for (const Tick& t : legendTicks(range)) {
        const double y =
            bar.bottom() - (t.value - range.low) / (range.high - range.low) * bar.height();
        const double beside = bar.right() + frame;
        painter.fillRect(QRectF(beside, y - frame / 2, kTickLength * unit, frame), kInk);
        painter.drawText(QRectF(beside + (kTickLength + kTextGap) * unit, y - labelHeight / 2,
                                300 * unit, labelHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, text(t.label));
    }
}

void paintSwatch(QPainter& painter, const FigureContent& content, const FigureLayout& layout) {
    const double unit = layout.unit;
    const double size = kLabelSize * unit;
    const QRectF box(layout.realMap.left(), layout.height - kMargin * unit - 1.5 * size, size,
                     size);
    painter.fillRect(box, QColor(kNoValueColour.red, kNoValueColour.green, kNoValueColour.blue));
    painter.setFont(figureFont(kLabelSize * unit));
    const std::size_t count = content.pointsWithoutValue;
    painter.drawText(QRectF(box.right() + kTextGap * unit, box.top() - size, 1000 * unit, 3 * size),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("値なし (no value): %1 %2")
                         .arg(count)
                         .arg(count == 1 ? QStringLiteral("point") : QStringLiteral("points")));
}

}  // namespace

namespace {

// The room for each map in a figure of that width: what the labels, the
// legend, the gaps and the margins leave.
QSizeF roomForEachMap(const FigureContent& content, double width) {
    const double unit = width / kVectorWidth;
    const Rows rows = rowsFor(content, unit);
    const double mapsWidth = width - 2 * kMargin * unit - 2 * yGutterFor(content, unit) -
                             kMapGap * unit - kLegendGap * unit - legendWidthFor(content, unit);
    const double fixedHeight =
        2 * kMargin * unit + rows.title + rows.caption + rows.xLabels + rows.swatch;
    return QSizeF(mapsWidth / 2, kTallest * width - fixedHeight);
}

}  // namespace

QSize largestPngMaps(const FigureContent& content, QSize mapPixels, int pixelWidth) {
    const QSizeF room = roomForEachMap(content, pixelWidth);
    const double scale =
        std::min(room.width() / mapPixels.width(), room.height() / mapPixels.height());
    if (scale >= 1) {
        return mapPixels;
    }
    return QSize(std::max(0, static_cast<int>(std::floor(scale * mapPixels.width()))),
                 std::max(0, static_cast<int>(std::floor(scale * mapPixels.height()))));
}

FigureLayout layoutFigure(const FigureContent& content, int pixelWidth) {
    FigureLayout layout;
    const bool png = pixelWidth > 0;
    layout.width = png ? pixelWidth : kVectorWidth;
    layout.unit = layout.width / kVectorWidth;
    const double unit = layout.unit;
    const Rows rows = rowsFor(content, unit);
    const double yGutter = yGutterFor(content, unit);
    const double legendWidth = legendWidthFor(content, unit);
    const double margin = kMargin * unit;

    const QSizeF room = roomForEachMap(content, layout.width);
    const double mapWidth = room.width();
    const double mapHeight = room.height();
    const double pixelsWide = content.real.width();
    const double pixelsHigh = content.real.height();

    double shownWidth = 0;
    double shownHeight = 0;
    if (png) {
        layout.wholeScale =
            static_cast<int>(std::floor(std::min(mapWidth / pixelsWide, mapHeight / pixelsHigh)));
        if (layout.wholeScale < 1) {
            const double needed =
                std::ceil(layout.width * std::max(pixelsWide / mapWidth, pixelsHigh / mapHeight));
            throw FigureTooNarrow(
                "maps of " + std::to_string(content.real.width()) + " x " +
                std::to_string(content.real.height()) + " pixels need a PNG figure at least " +
                std::to_string(static_cast<long long>(needed)) + " pixels wide (--figure-width)");
        }
        shownWidth = layout.wholeScale * pixelsWide;
        shownHeight = layout.wholeScale * pixelsHigh;
    } else {
        const double scale = std::min(mapWidth / pixelsWide, mapHeight / pixelsHigh);
        shownWidth = scale * pixelsWide;
        shownHeight = scale * pixelsHigh;
    }

    // The content centred across; in a PNG figure the maps on whole pixels.
    const double contentWidth =
        2 * yGutter + 2 * shownWidth + kMapGap * unit + kLegendGap * unit + legendWidth;
    auto place = [&](double value) { return png ? std::round(value) : value; };
    const double left = place((layout.width - contentWidth) / 2 + yGutter);
    const double top = place(margin + rows.title + rows.caption);
    layout.realMap = QRectF(left, top, shownWidth, shownHeight);
    layout.imaginaryMap =
        QRectF(place(left + shownWidth + kMapGap * unit + yGutter), top, shownWidth, shownHeight);
    layout.legendBar = QRectF(layout.imaginaryMap.right() + kLegendGap * unit, top,
                              kLegendBarWidth * unit, shownHeight);
    layout.height = top + shownHeight + rows.xLabels + rows.swatch + margin;
    if (png) {
        layout.height = std::ceil(layout.height);
    }
    return layout;
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
    painter.drawText(QRectF(0, kMargin * layout.unit, layout.width, 1.8 * kTitleSize * layout.unit),
                     Qt::AlignHCenter | Qt::AlignVCenter, text(content.title));
    paintMap(painter, content, layout, layout.realMap, content.real,
             QStringLiteral("実数部 Re f(z)"));
    paintMap(painter, content, layout, layout.imaginaryMap, content.imaginary,
             QStringLiteral("虚数部 Im f(z)"));
    paintLegend(painter, content, layout);
    if (content.pointsWithoutValue > 0) {
        paintSwatch(painter, content, layout);
    }
    painter.restore();
}

}  // namespace complexplot
