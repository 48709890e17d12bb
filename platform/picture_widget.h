#pragma once

#include <QWidget>
#include <memory>

#include "raster_surface.h"

namespace complexplot {

// A picture box: a widget that shows a raster surface, pixel for pixel, with
// no border. A surface drawn at scale N shows at the same size, for a screen
// or picture of N device pixels to the pixel. What the surface holds is repainted from itself
// whenever the window needs it, so a covered or minimised window keeps its maps.
class PictureWidget : public QWidget {
    Q_OBJECT

public:
    explicit PictureWidget(QWidget* parent = nullptr);
    ~PictureWidget() override;

    RasterSurface& surface() { return *surface_; }
    const RasterSurface& surface() const { return *surface_; }

    // Shows another surface from now on, of any scale.
    void setSurface(std::unique_ptr<RasterSurface> surface);

    // Schedules a repaint of just the area drawn since the last call.
    void scheduleChangedArea();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<RasterSurface> surface_;
};

}  // namespace complexplot
