#include "picture_widget.h"

#include <QPaintEvent>
#include <QPainter>

namespace complexplot {

PictureWidget::PictureWidget(QWidget* parent)
    : QWidget(parent), surface_(std::make_unique<RasterSurface>()) {
    setFixedSize(surface_->image().size());
    // Every pixel is painted from the image: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

PictureWidget::~PictureWidget() = default;

void PictureWidget::setSurface(std::unique_ptr<RasterSurface> surface) {
    surface_ = std::move(surface);
    setFixedSize(surface_->image().size());
    update();
}

void PictureWidget::scheduleChangedArea() {
    const QRect changed = surface_->takeChangedArea();
    if (!changed.isNull()) {
        update(changed);
    }
}

void PictureWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.drawImage(dirty, surface_->image(), dirty);
}

}  // namespace complexplot
