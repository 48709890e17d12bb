#include "raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace complexplot {

namespace {

// round(v) = floor(v + 0.5). The result is kept one pixel beyond each end of
// the area, so that far-away coordinates still convert to int safely and
// still clip away. Within that range floor is truncation corrected for
// negative numbers, which is exact and avoids a library call per corner.
int roundToPixel(double v, int extent) {
    const double shifted = std::clamp(v + 0.5, -1.0, static_cast<double>(extent));
    const int truncated = static_cast<int>(shifted);
    return truncated > shifted ? truncated - 1 : truncated;
}

QRgb toRgb(RgbColour colour) {
    return qRgb(colour.red, colour.green, colour.blue);
}

}  // namespace

RasterSurface::RasterSurface(int scaleFactor, RgbColour background)
    : width_(kBaseWidth * scaleFactor),
      height_(kBaseHeight * scaleFactor),
      pixels_(static_cast<std::size_t>(width_) * height_, toRgb(background)),
      image_(reinterpret_cast<uchar*>(pixels_.data()), width_, height_,
             static_cast<qsizetype>(width_) * sizeof(QRgb), QImage::Format_RGB32),
      background_(background),
      scaleWidth_(static_cast<float>(width_)),
      scaleHeight_(static_cast<float>(height_)) {
    forgetColumns();
    forgetRows();
    forgetChanges();
}

void RasterSurface::setScaleLeft(float value) {
    scaleLeft_ = value;
    forgetColumns();
}

void RasterSurface::setScaleTop(float value) {
    scaleTop_ = value;
    forgetRows();
}

void RasterSurface::setScaleWidth(float value) {
    scaleWidth_ = value;
    forgetColumns();
}

void RasterSurface::setScaleHeight(float value) {
    scaleHeight_ = value;
    forgetRows();
}

void RasterSurface::Cls() {
    std::fill(pixels_.begin(), pixels_.end(), toRgb(background_));
    markChanged(0, 0, width_ - 1, height_ - 1);
}

[[gnu::noinline]] int RasterSurface::pixelColumn(float x) const {
    const double px = (static_cast<double>(x) - static_cast<double>(scaleLeft_)) * width_ /
                      static_cast<double>(scaleWidth_);
    return roundToPixel(px, width_);
}

[[gnu::noinline]] int RasterSurface::pixelRow(float y) const {
    const double py = (static_cast<double>(y) - static_cast<double>(scaleTop_)) * height_ /
                      static_cast<double>(scaleHeight_);
    return roundToPixel(py, height_);
}

void RasterSurface::forgetChanges() {
    // Empty: any painted pixel lowers the left and top ends and raises the
    // right and bottom ones.
    changedLeft_ = std::numeric_limits<int>::max();
    changedTop_ = std::numeric_limits<int>::max();
    changedRight_ = std::numeric_limits<int>::min();
    changedBottom_ = std::numeric_limits<int>::min();
}

void RasterSurface::forgetColumns() {
    rememberedLeftEdge_ = std::numeric_limits<float>::quiet_NaN();
}

void RasterSurface::forgetRows() {
    const float nothing = std::numeric_limits<float>::quiet_NaN();
    rememberedBottomEdge_ = nothing;
    rememberedTopRows_.fill(RememberedRow{nothing, 0});
}

int RasterSurface::topEdgeRow(float y) {
    const std::size_t box = boxInColumn_++;
    if (box >= kRememberedRows) {
        return pixelRow(y);
    }
    RememberedRow& remembered = rememberedTopRows_[box];
    if (remembered.edge != y) {
        remembered.edge = y;
        remembered.row = pixelRow(y);
    }
    return remembered.row;
}

[[gnu::noinline]] bool RasterSurface::startColumn(float x1, float x2) {
    if (std::isnan(x1) || std::isnan(x2)) {
        return false;
    }
    const int column1 = pixelColumn(x1);
    const int column2 = pixelColumn(x2);
    rememberedLeftEdge_ = x1;
    rememberedRightEdge_ = x2;
    rememberedLeftColumn_ = std::max(std::min(column1, column2), 0);
    rememberedRightColumn_ = std::min(std::max(column1, column2), width_ - 1);
    narrowColumn_ = rememberedLeftColumn_ <= rememberedRightColumn_ &&
                    rememberedRightColumn_ - rememberedLeftColumn_ <= 1;
    boxInColumn_ = 0;
    return true;
}

// The path nearly every cell of a run takes: the same column as the box
// before, this box's bottom edge that box's top edge, this box's top edge
// the one remembered for its place in the column, and no more than two
// pixels each way. Anything else goes the general way.
void RasterSurface::fillBox(float x1, float y1, float x2, float y2, RgbColour colour) {
    if (x1 == rememberedLeftEdge_ && x2 == rememberedRightEdge_ && narrowColumn_ &&
        y1 == rememberedBottomEdge_ && boxInColumn_ < kRememberedRows &&
        rememberedTopRows_[boxInColumn_].edge == y2) [[likely]] {
        const int row1 = rememberedBottomRow_;
        const int row2 = rememberedTopRows_[boxInColumn_].row;
        const int top = std::min(row1, row2);
        const int bottom = std::max(row1, row2);
        if (bottom - top <= 1 && top >= 0 && bottom < height_) [[likely]] {
            ++boxInColumn_;
            rememberedBottomEdge_ = y2;
            rememberedBottomRow_ = row2;
            // Writing both ends of both rows covers the box whether it is one
            // or two pixels across, with no loop whose length the processor
            // would have to guess. A pixel written twice is the same pixel.
            const int left = rememberedLeftColumn_;
            const int right = rememberedRightColumn_;
            const QRgb pixel = toRgb(colour);
            QRgb* const topLine = pixels_.data() + static_cast<std::size_t>(top) * width_;
            QRgb* const bottomLine = topLine + static_cast<std::size_t>(bottom - top) * width_;
            topLine[left] = pixel;
            topLine[right] = pixel;
            bottomLine[left] = pixel;
            bottomLine[right] = pixel;
            markChanged(left, top, right, bottom);
            return;
        }
    }
    fillBoxGenerally(x1, y1, x2, y2, colour);
}

[[gnu::noinline]] void RasterSurface::fillBoxGenerally(float x1, float y1, float x2, float y2,
                                                       RgbColour colour) {
    if (!(x1 == rememberedLeftEdge_ && x2 == rememberedRightEdge_)) {
        if (!startColumn(x1, x2)) {
            return;
        }
    }
    if (std::isnan(y1) || std::isnan(y2)) {
        return;
    }
    const int row1 = y1 == rememberedBottomEdge_ ? rememberedBottomRow_ : pixelRow(y1);
    const int row2 = topEdgeRow(y2);
    rememberedBottomEdge_ = y2;
    rememberedBottomRow_ = row2;
    fillPixels(rememberedLeftColumn_, std::min(row1, row2), rememberedRightColumn_,
               std::max(row1, row2), colour);
}

void RasterSurface::drawLine(float x1, float y1, float x2, float y2, RgbColour colour) {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) {
        return;
    }
    const int column1 = pixelColumn(x1);
    const int column2 = pixelColumn(x2);
    const int row1 = pixelRow(y1);
    const int row2 = pixelRow(y2);
    if (column1 == column2 || row1 == row2) {
        fillPixels(std::min(column1, column2), std::min(row1, row2), std::max(column1, column2),
                   std::max(row1, row2), colour);
        return;
    }
    // A slanted line: one pixel per step along its longer direction.
    const int steps = std::max(std::abs(column2 - column1), std::abs(row2 - row1));
    for (int step = 0; step <= steps; ++step) {
        const double t = static_cast<double>(step) / steps;
        const int column = static_cast<int>(std::floor(column1 + (column2 - column1) * t + 0.5));
        const int row = static_cast<int>(std::floor(row1 + (row2 - row1) * t + 0.5));
        fillPixels(column, row, column, row, colour);
    }
}

QRect RasterSurface::takeChangedArea() {
    if (changedRight_ < changedLeft_) {
        return QRect();
    }
    const QRect area(QPoint(changedLeft_, changedTop_), QPoint(changedRight_, changedBottom_));
    forgetChanges();
    return area;
}

[[gnu::noinline]] void RasterSurface::fillPixels(int left, int top, int right, int bottom,
                                                 RgbColour colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width_ - 1);
    bottom = std::min(bottom, height_ - 1);
    if (left > right || top > bottom) {
        return;
    }
    const QRgb pixel = toRgb(colour);
    QRgb* line = pixels_.data() + static_cast<std::size_t>(top) * width_;
    for (int row = top; row <= bottom; ++row, line += width_) {
        std::fill(line + left, line + right + 1, pixel);
    }
    markChanged(left, top, right, bottom);
}

void RasterSurface::markChanged(int left, int top, int right, int bottom) {
    changedLeft_ = std::min(changedLeft_, left);
    changedTop_ = std::min(changedTop_, top);
    changedRight_ = std::max(changedRight_, right);
    changedBottom_ = std::max(changedBottom_, bottom);
}

}  // namespace complexplot
