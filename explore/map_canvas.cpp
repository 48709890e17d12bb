#include "map_canvas.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>
#include <numbers>

#include "axis_ticks.h"
#include "legend_axis.h"

namespace complexplot {

namespace {

// Logical pixels around and between the maps.
constexpr double kMargin = 8;
constexpr double kGutter = 76;  // the y labels beside each map
constexpr double kMapGap = 12;
constexpr double kCaption = 22;  // above the maps
constexpr double kXLabels = 40;  // below: the x labels and an offset
constexpr double kFooter = 22;   // the count of points without a value
constexpr double kLegendBar = 16;
constexpr double kTick = 5;
// The smallest map the window keeps, in logical pixels a side.
constexpr double kSmallestMap = 64;
// The zoom of one notch of a wheel (120 units of angle).
constexpr double kZoomPerNotch = 1.25;

const QColor kInk(0, 0, 0);
const QColor kMarker(kNoValueColour.red, kNoValueColour.green, kNoValueColour.blue);

// Whether two views show the same rectangle of the plane, at whatever
// resolution: the coarse pass of a view is that view at a quarter of it.
bool sameBounds(const MapGeometry& a, const MapGeometry& b) {
    return a.x0 == b.x0 && a.x1 == b.x1 && a.y0 == b.y0 && a.y1 == b.y1;
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString captionOf(MapKind kind, bool second) {
    switch (kind) {
        case MapKind::modulusArgument:
            return second ? QStringLiteral("偏角 arg f(z)") : QStringLiteral("絶対値 |f(z)|");
        case MapKind::phase:
            return QStringLiteral("位相 arg f(z)");
        default:
            return second ? QStringLiteral("虚数部 Im f(z)") : QStringLiteral("実数部 Re f(z)");
    }
}

QColor wheelColour(double angle) {
    const RgbColour colour = phaseColour(angle);
    return QColor(colour.red, colour.green, colour.blue);
}

}  // namespace

MapCanvas::MapCanvas(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize MapCanvas::sizeHint() const {
    return QSize(1100, 560);
}

// Room for the widest label a legend can have.
double MapCanvas::legendLabelWidth() const {
    return QFontMetricsF(font()).horizontalAdvance(QStringLiteral("−8.88×10⁻³⁰⁰")) + 4;
}

QFont MapCanvas::legendLabelFont(const QStringList& labels) const {
    const QFontMetricsF metrics(font());
    double widest = 0;
    for (const QString& label : labels) {
        widest = std::max(widest, metrics.horizontalAdvance(label));
    }
    QFont smaller = font();
    // The room less a little, since a face's widths do not scale exactly.
    const double room = legendLabelWidth() - 4;
    if (widest > room && smaller.pointSizeF() > 0) {
        smaller.setPointSizeF(smaller.pointSizeF() * room / widest);
    } else if (widest > room) {
        smaller.setPixelSize(std::max(1, static_cast<int>(smaller.pixelSize() * room / widest)));
    }
    return smaller;
}

// One legend with its labels.
double MapCanvas::oneLegendWidth() const {
    return kMargin + kLegendBar + kTick + legendLabelWidth();
}

bool MapCanvas::legendForEach() const {
    return forEach_ || kind_ == MapKind::modulusArgument;
}

void MapCanvas::setKind(MapKind kind) {
    if (kind != kind_) {
        kind_ = kind;
        emit mapPixelsChanged(mapPixels());
        update();
    }
}

std::vector<bool> MapCanvas::shownMaps() const {
    if (kind_ == MapKind::phase) {
        return {false};
    }
    return {false, true};
}

void MapCanvas::setLegendForEach(bool each) {
    if (each != forEach_) {
        forEach_ = each;
        emit mapPixelsChanged(mapPixels());
        update();
    }
}

double MapCanvas::legendWidth() const {
    return (legendForEach() ? 2 : 1) * oneLegendWidth();
}

QSize MapCanvas::minimumSizeHint() const {
    // Both maps at least 64 pixels a side, with their ticks, labels and
    // legends, whatever the range.
    return QSize(static_cast<int>(std::ceil(2 * kMargin + 2 * kGutter + kMapGap +
                                            2 * oneLegendWidth() + 2 * kSmallestMap)),
                 static_cast<int>(std::ceil(kCaption + kXLabels + kFooter + kSmallestMap)));
}

QSize MapCanvas::mapPixels() const {
    const double ratio = devicePixelRatioF();
    const double across = kind_ == MapKind::phase
                              ? width() - 2 * kMargin - kGutter - legendWidth()
                              : (width() - 2 * kMargin - 2 * kGutter - kMapGap - legendWidth()) / 2;
    const double down = height() - kCaption - kXLabels - kFooter;
    const QSize room(std::max(1, static_cast<int>(std::floor(across * ratio))),
                     std::max(1, static_cast<int>(std::floor(down * ratio))));
    if (held_ && held_->width() <= room.width() && held_->height() <= room.height()) {
        return *held_;
    }
    return room;
}

void MapCanvas::holdMapPixels(std::optional<QSize> pixels) {
    if (pixels != held_) {
        held_ = pixels;
        emit mapPixelsChanged(mapPixels());
    }
}

// Side by side, each map's legend beside it where each has its own.
QRectF MapCanvas::mapRect(bool imaginary) const {
    const QSizeF size = QSizeF(mapPixels()) / devicePixelRatioF();
    const double realLegend = legendForEach() ? oneLegendWidth() : 0;
    const double left =
        kMargin + kGutter + (imaginary ? size.width() + realLegend + kMapGap + kGutter : 0);
    return QRectF(QPointF(std::round(left), kCaption), size);
}

std::optional<QPointF> MapCanvas::mapPlaceAt(QPointF point) const {
    for (const bool imaginary : shownMaps()) {
        const QRectF rect = mapRect(imaginary);
        if (rect.contains(point)) {
            return (point - rect.topLeft()) * devicePixelRatioF();
        }
    }
    return std::nullopt;
}

void MapCanvas::setView(const MapGeometry& view) {
    if (!(view == view_)) {
        view_ = view;
        coarse_.reset();
        update();
    }
}

void MapCanvas::setMaps(std::shared_ptr<const RenderedMaps> maps) {
    if (!maps) {
        return;
    }
    if (maps->coarse) {
        coarse_ = std::move(maps);
    } else {
        const bool each = maps->maps.shading.rangeForEach;
        const MapKind kind = maps->maps.shading.kind;
        resting_ = std::move(maps);
        coarse_.reset();
        setLegendForEach(each);
        setKind(kind);
    }
    update();
}

std::shared_ptr<const RenderedMaps> MapCanvas::restingMaps() const {
    if (resting_ && resting_->request.geometry == view_) {
        return resting_;
    }
    return nullptr;
}

void MapCanvas::resizeEvent(QResizeEvent*) {
    emit mapPixelsChanged(mapPixels());
}

void MapCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Around the maps only: each map fills its own place, and filling a
    // megapixel twice is most of the time a repaint takes.
    QRegion around(rect());
    for (const bool imaginary : shownMaps()) {
        around -= mapRect(imaginary).toAlignedRect();
    }
    painter.save();
    painter.setClipRegion(around);
    painter.fillRect(rect(), palette().window());
    painter.restore();
    painter.setPen(kInk);
    for (const bool imaginary : shownMaps()) {
        paintMap(painter, imaginary);
    }
    paintLegends(painter);
    paintFooter(painter);
    if (bandFrom_) {
        painter.setPen(QPen(QColor(255, 160, 0), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(*bandFrom_, bandTo_).normalized());
    }
}

void MapCanvas::paintMap(QPainter& painter, bool imaginary) {
    const QRectF rect = mapRect(imaginary);
    const double ratio = devicePixelRatioF();
    painter.setFont(font());
    painter.drawText(QRectF(rect.left(), 0, rect.width(), kCaption),
                     Qt::AlignLeft | Qt::AlignVCenter, captionOf(kind_, imaginary));
    const bool covered = resting_ && resting_->request.geometry == view_;
    if (!covered) {
        painter.fillRect(rect, QColor(128, 128, 128));
    }
    painter.save();
    painter.setClipRect(rect);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (resting_) {
        QImage image = imaginary ? resting_->imaginaryShown : resting_->realShown;
        const MapGeometry& drawn = resting_->request.geometry;
        if (covered) {
            image.setDevicePixelRatio(ratio);
            painter.drawImage(rect.topLeft(), image);
        } else {
            // The last maps where their view lies in the new one.
            const QRectF where(rect.left() + view_.columnAt(drawn.x0) / ratio,
                               rect.top() + view_.rowAt(drawn.y1) / ratio,
                               (view_.columnAt(drawn.x1) - view_.columnAt(drawn.x0)) / ratio,
                               (view_.rowAt(drawn.y0) - view_.rowAt(drawn.y1)) / ratio);
            if (std::isfinite(where.width()) && std::isfinite(where.height()) &&
                std::abs(where.width()) < 1e6 && std::abs(where.height()) < 1e6) {
                painter.drawImage(where, image);
            }
        }
    }
    if (coarse_ && sameBounds(coarse_->request.geometry, view_)) {
        painter.drawImage(rect, imaginary ? coarse_->imaginaryShown : coarse_->realShown);
    }
    if (pointer_) {
        // A small cross at the same z on both maps.
        const QPointF at = rect.topLeft() + *pointer_ / ratio;
        painter.setPen(QPen(QColor(255, 160, 0), 1));
        painter.drawLine(at - QPointF(5, 0), at + QPointF(5, 0));
        painter.drawLine(at - QPointF(0, 5), at + QPointF(0, 5));
    }
    painter.restore();
    painter.setPen(kInk);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(-1, -1, 0, 0));
    paintTicks(painter, rect);
}

void MapCanvas::paintTicks(QPainter& painter, const QRectF& rect) {
    const QFontMetricsF metrics(font());
    const double height = metrics.height();
    const AxisTicks x = chooseTicks(
        view_.x0, view_.x1, readsInPi(view_.x0, view_.x1), rect.width(),
        [&](const std::string& label) { return metrics.horizontalAdvance(text(label)); },
        0.6 * height);
    for (const Tick& tick : x.ticks) {
        const double at = rect.left() + view_.columnAt(tick.value) / devicePixelRatioF();
        painter.drawLine(QPointF(at, rect.bottom()), QPointF(at, rect.bottom() + kTick));
        const double width = metrics.horizontalAdvance(text(tick.label));
        const LabelSpan span = labelSpan(tick.value, width, view_.x0, view_.x1, rect.width());
        painter.drawText(QRectF(rect.left() + span.start, rect.bottom() + kTick, width, height),
                         Qt::AlignCenter, text(tick.label));
    }
    if (!x.offsetLabel.empty()) {
        painter.drawText(QRectF(rect.left(), rect.bottom() + kTick + height, rect.width(), height),
                         Qt::AlignRight | Qt::AlignVCenter, text(x.offsetLabel));
    }
    const AxisTicks y = chooseTicks(
        view_.y0, view_.y1, readsInPi(view_.y0, view_.y1), rect.height(),
        [&](const std::string&) { return height; }, 0.15 * height);
    for (const Tick& tick : y.ticks) {
        const double at = rect.top() + view_.rowAt(tick.value) / devicePixelRatioF();
        // Up to the frame, which stands left of the map's first column.
        painter.drawLine(QPointF(rect.left() - kTick - 1, at), QPointF(rect.left() - 2, at));
        const LabelSpan span = labelSpan(tick.value, height, view_.y0, view_.y1, rect.height());
        painter.drawText(
            QRectF(rect.left() - kGutter, rect.bottom() - span.end, kGutter - kTick - 2, height),
            Qt::AlignRight | Qt::AlignVCenter, text(tick.label));
    }
    if (!y.offsetLabel.empty()) {
        // Above the map's right end, across from the caption: whole inside
        // the window however long it is.
        const QString label = text(y.offsetLabel);
        painter.drawText(QRectF(rect.left(), 0, rect.width(), kCaption),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("y ") + label);
    }
}

void MapCanvas::paintLegends(QPainter& painter) {
    if (!resting_) {
        return;
    }
    const MapShading& shading = resting_->maps.shading;
    if (shading.kind != kind_) {
        return;  // maps of another kind, shown until the new ones come
    }
    const QFontMetricsF metrics(font());
    const double height = metrics.height();
    struct Placed {
        LegendAxis axis;
        QString name;
        QRectF beside;
    };
    auto axis = [&](const GreyRange& values, bool first) {
        return legendAxisOf(shading.kind, shading.curve, shading.symlogScale, values, first);
    };
    const GreyRange angles{-std::numbers::pi, std::numbers::pi};
    std::vector<Placed> legends;
    switch (shading.kind) {
        case MapKind::realImaginary:
            if (shading.rangeForEach) {
                legends = {
                    {axis(shading.realRange, true), QStringLiteral("Re"), mapRect(false)},
                    {axis(shading.imaginaryRange, false), QStringLiteral("Im"), mapRect(true)}};
            } else {
                legends = {{axis(shading.realRange, false), QString(), mapRect(true)}};
            }
            break;
        case MapKind::modulusArgument:
            legends = {{axis(shading.realRange, true), QString(), mapRect(false)},
                       {axis(angles, false), QString(), mapRect(true)}};
            break;
        case MapKind::phase:
            legends = {{axis(angles, true), QString(), mapRect(false)}};
            break;
    }
    for (const auto& [legend, name, beside] : legends) {
        const QRectF bar(beside.right() + kMargin, beside.top(), kLegendBar, beside.height());
        // 256 bands of grey, or of the wheel from -pi to pi.
        for (int band = 0; band < 256; ++band) {
            const double step = bar.height() / 256;
            painter.fillRect(
                QRectF(bar.left(), bar.bottom() - (band + 1) * step, bar.width(), step + 0.5),
                legend.wheel
                    ? wheelColour(-std::numbers::pi + 2 * std::numbers::pi * (band + 0.5) / 256)
                    : QColor(band, band, band));
        }
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(bar.adjusted(-1, -1, 0, 0));
        if (!name.isEmpty()) {
            painter.drawText(QRectF(bar.left() - 4, 0, 40, kCaption),
                             Qt::AlignLeft | Qt::AlignVCenter, name);
        }
        const GreyRange ends = legendCoordinates(legend);
        const AxisTicks ticks = legendTicks(
            legend, bar.height(), [&](const std::string&) { return height; }, 0.15 * height);
        QStringList labels;
        for (const Tick& tick : ticks.ticks) {
            labels << text(tick.label);
        }
        const QFont shared = painter.font();
        painter.setFont(legendLabelFont(labels));
        for (std::size_t k = 0; k < ticks.ticks.size(); ++k) {
            const Tick& tick = ticks.ticks[k];
            const LabelSpan span = labelSpan(tick.value, height, ends.low, ends.high, bar.height());
            const double at =
                bar.bottom() - (tick.value - ends.low) / (ends.high - ends.low) * bar.height();
            painter.drawLine(QPointF(bar.right(), at), QPointF(bar.right() + kTick, at));
            painter.drawText(QRectF(bar.right() + kTick + 2, bar.bottom() - span.end,
                                    legendLabelWidth(), height),
                             Qt::AlignLeft | Qt::AlignVCenter, labels[static_cast<int>(k)]);
        }
        painter.setFont(shared);
    }
}

void MapCanvas::paintFooter(QPainter& painter) {
    if (!resting_) {
        return;
    }
    const std::size_t count = resting_->maps.pointsWithoutValue;
    const QRectF left = mapRect(false);
    const double top = height() - kFooter + 4;
    const QRectF swatch(left.left(), top, 12, 12);
    painter.fillRect(swatch, kind_ == MapKind::phase
                                 ? QColor(kPhaseNoValueColour.red, kPhaseNoValueColour.green,
                                          kPhaseNoValueColour.blue)
                                 : kMarker);
    painter.drawRect(swatch);
    painter.drawText(QRectF(swatch.right() + 6, top - 4, 600, kFooter),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     count == 1 ? tr("no value: 1 point")
                                : tr("no value: %1 points").arg(static_cast<qulonglong>(count)));
}

void MapCanvas::wheelEvent(QWheelEvent* event) {
    const std::optional<QPointF> place = mapPlaceAt(event->position());
    if (!place || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    // 1.25 times a notch of 120; a touchpad's small angles in proportion.
    const double notches = event->angleDelta().y() / 120.0;
    emit zoomRequested(place->x(), place->y(), std::pow(kZoomPerNotch, notches));
    event->accept();
}

void MapCanvas::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (!mapPlaceAt(event->position())) {
        return;
    }
    const bool band =
        event->button() == Qt::RightButton ||
        (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier) != 0);
    if (band) {
        bandFrom_ = event->position();
        bandTo_ = event->position();
    } else if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF position = event->position();
    if (dragFrom_) {
        const QPointF moved = (position - *dragFrom_) * devicePixelRatioF();
        dragFrom_ = position;
        if (moved != QPointF()) {
            emit panRequested(moved.x(), moved.y());
        }
    }
    if (bandFrom_) {
        bandTo_ = position;
        update();
    }
    pointer_ = mapPlaceAt(position);
    if (pointer_) {
        emit pointerMoved(pointer_->x(), pointer_->y());
    } else {
        emit pointerMoved(NAN, NAN);
    }
    update();
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (dragFrom_) {
        dragFrom_.reset();
        unsetCursor();
    }
    if (bandFrom_) {
        const QPointF start = *bandFrom_;
        bandFrom_.reset();
        // The band's far corner, held inside the map it started on.
        for (const bool imaginary : shownMaps()) {
            const QRectF rect = mapRect(imaginary);
            if (!rect.contains(start)) {
                continue;
            }
            const QPointF to(std::clamp(event->position().x(), rect.left(), rect.right()),
                             std::clamp(event->position().y(), rect.top(), rect.bottom()));
            const QPointF from = (start - rect.topLeft()) * devicePixelRatioF();
            const QPointF end = (to - rect.topLeft()) * devicePixelRatioF();
            if (std::abs(end.x() - from.x()) >= 3 && std::abs(end.y() - from.y()) >= 3) {
                emit zoomIntoRequested(from.x(), from.y(), end.x(), end.y());
            }
        }
        update();
    }
}

void MapCanvas::leaveEvent(QEvent*) {
    pointer_.reset();
    emit pointerMoved(NAN, NAN);
    update();
}

}  // namespace complexplot
