#include "picture_widget.h"

#include <QPaintEvent>
#include <QPainter>

namespace complexplot {

PictureWidget::PictureWidget(QWidget* parent)
    : QWidget(parent), surface_(std::make_unique<RasterSurface>()) {
    setFixedSize(RasterSurface::kBaseWidth, RasterSurface::kBaseHeight);
    // Every pixel is painted from the image: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

PictureWidget::~PictureWidget() = default;

void PictureWidget::setSurface(std::unique_ptr<RasterSurface> surface) {
    surface_ = std::move(surface);
    update();
}

void PictureWidget::scheduleChangedArea() {
    const QRect changed = surface_->takeChangedArea();
    if (changed.isNull()) {
        return;
    }
    // Surface pixels to widget pixels, widened to whole widget pixels.
    const int scale = surface_->scaleFactor();
    update(QRect(QPoint(changed.left() / scale, changed.top() / scale),
                 QPoint(changed.right() / scale, changed.bottom() / scale)));
}

void PictureWidget::paintEvent(QPaintEvent* event) {
    // A surface of scale N holds N x N of its pixels for each of the widget's,
    // which a painter on a device of N device pixels to the pixel draws one
    // to one.
    QPainter painter(this);
    const QRect dirty = event->rect();
    const int scale = surface_->scaleFactor();
    painter.drawImage(dirty, surface_->image(),
                      QRect(dirty.topLeft() * scale, dirty.size() * scale));
}

}  // namespace complexplot
