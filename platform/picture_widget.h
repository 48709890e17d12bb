#pragma once

#include <QWidget>
#include <memory>

#include "raster_surface.h"

namespace complexplot {

// A picture box: a widget that shows a raster surface, pixel for pixel, with
// no border. What the surface holds is repainted from itself whenever the
// window needs it, so a covered or minimised window keeps its maps.
class PictureWidget : public QWidget {
    Q_OBJECT

public:
    explicit PictureWidget(QWidget* parent = nullptr);
    ~PictureWidget() override;

    RasterSurface& surface() { return *surface_; }
    const RasterSurface& surface() const { return *surface_; }

    // Shows another surface of the same size from now on.
    void setSurface(std::unique_ptr<RasterSurface> surface);

    // Schedules a repaint of just the area drawn since the last call.
    void scheduleChangedArea();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<RasterSurface> surface_;
};

}  // namespace complexplot
