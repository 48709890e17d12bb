#pragma once

#include <QPointF>
#include <QRectF>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "map_geometry.h"
#include "map_renderer.h"

namespace complexplot {

// The two maps side by side, as in a figure (or the phase portrait alone):
// each with ticks and numbers on its edges, a legend with numbers, and the
// count of points without a value. At rest each map pixel is one device pixel. While a new view is
// drawn, the last maps are shown moved and scaled to it, then the coarse
// pass. The mouse zooms, pans and reads; what it asks for goes out as
// signals, in map pixels from the map's top left corner.
class MapCanvas : public QWidget {
    Q_OBJECT

public:
    explicit MapCanvas(QWidget* parent = nullptr);

    // How many device pixels each map has across and down at this size.
    QSize mapPixels() const;
    // The view the maps show now, and the maps drawn for it (or for an
    // earlier view, shown moved until the new ones come).
    void setView(const MapGeometry& view);
    void setMaps(std::shared_ptr<const RenderedMaps> maps);
    // The maps at rest for the current view, if drawn; whether its coarse
    // pass is shown.
    std::shared_ptr<const RenderedMaps> restingMaps() const;
    bool hasCoarseMaps() const { return coarse_ != nullptr; }
    std::shared_ptr<const RenderedMaps> coarseMaps() const { return coarse_; }
    // Where each map stands in the widget.
    QRectF mapRect(bool imaginary) const;
    // The map place under a point of the widget, if any.
    std::optional<QPointF> mapPlaceAt(QPointF point) const;

    // Maps of this size, where the canvas has room for them; nullopt: as
    // large as it has room for.
    void holdMapPixels(std::optional<QSize> pixels);
    // Whether each map has a legend of its own beside it: the maps make
    // room for it.
    void setLegendForEach(bool each);
    // What the maps show: the phase portrait stands alone, and |f| and arg
    // each have a legend of their own.
    void setKind(MapKind kind);
    MapKind kind() const { return kind_; }

    // The face of a legend's labels: the canvas's own, made smaller where
    // the widest of them would not fit the room each legend keeps for its
    // labels (ends that differ only in their twelfth digit, say), so that
    // every label is drawn whole.
    QFont legendLabelFont(const QStringList& labels) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void mapPixelsChanged(QSize pixels);
    void zoomRequested(double column, double row, double factor);
    void panRequested(double columns, double rows);
    void zoomIntoRequested(double column0, double row0, double column1, double row1);
    // NaN when the pointer left the maps.
    void pointerMoved(double column, double row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paintMap(QPainter& painter, bool imaginary);
    void paintTicks(QPainter& painter, const QRectF& rect);
    void paintLegends(QPainter& painter);
    void paintFooter(QPainter& painter);
    double legendWidth() const;
    double oneLegendWidth() const;
    bool legendForEach() const;
    double legendLabelWidth() const;
    // The maps shown: the first (Re f, |f| or the phase), and the second
    // (Im f, arg f) but beside the phase portrait.
    std::vector<bool> shownMaps() const;

    MapGeometry view_;
    bool forEach_ = false;
    MapKind kind_ = MapKind::realImaginary;
    std::optional<QSize> held_;
    std::shared_ptr<const RenderedMaps> resting_;  // the last full pass
    std::shared_ptr<const RenderedMaps> coarse_;   // the coarse pass of the current view
    std::optional<QPointF> pointer_;               // map place under the pointer
    std::optional<QPointF> dragFrom_;
    std::optional<QPointF> bandFrom_;
    QPointF bandTo_;
};

}  // namespace complexplot
