#include "raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace complexplot {

namespace {

// round(v) = floor(v + 0.5). The result is kept one pixel beyond each end of
// the area, so that far-away coordinates still convert to int safely and
// still clip away.
int roundToPixel(double v, int extent) {
    const double rounded = std::floor(v + 0.5);
    return static_cast<int>(std::clamp(rounded, -1.0, static_cast<double>(extent)));
}

QRgb toRgb(RgbColour colour) {
    return qRgb(colour.red, colour.green, colour.blue);
}

}  // namespace

RasterSurface::RasterSurface(int scaleFactor, RgbColour background)
    : image_(kBaseWidth * scaleFactor, kBaseHeight * scaleFactor, QImage::Format_RGB32),
      background_(background),
      scaleWidth_(static_cast<float>(kBaseWidth * scaleFactor)),
      scaleHeight_(static_cast<float>(kBaseHeight * scaleFactor)) {
    image_.fill(toRgb(background_));
}

void RasterSurface::Cls() {
    image_.fill(toRgb(background_));
    markChanged(0, 0, image_.width() - 1, image_.height() - 1);
}

int RasterSurface::pixelColumn(float x) const {
    const double px = (static_cast<double>(x) - static_cast<double>(scaleLeft_)) * image_.width() /
                      static_cast<double>(scaleWidth_);
    return roundToPixel(px, image_.width());
}

int RasterSurface::pixelRow(float y) const {
    const double py = (static_cast<double>(y) - static_cast<double>(scaleTop_)) * image_.height() /
                      static_cast<double>(scaleHeight_);
    return roundToPixel(py, image_.height());
}

void RasterSurface::fillBox(float x1, float y1, float x2, float y2, RgbColour colour) {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) {
        return;
    }
    const int column1 = pixelColumn(x1);
    const int column2 = pixelColumn(x2);
    const int row1 = pixelRow(y1);
    const int row2 = pixelRow(y2);
    fillPixels(std::min(column1, column2), std::min(row1, row2), std::max(column1, column2),
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
    changedLeft_ = 0;
    changedTop_ = 0;
    changedRight_ = -1;
    changedBottom_ = -1;
    return area;
}

void RasterSurface::fillPixels(int left, int top, int right, int bottom, RgbColour colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, image_.width() - 1);
    bottom = std::min(bottom, image_.height() - 1);
    if (left > right || top > bottom) {
        return;
    }
    const QRgb pixel = toRgb(colour);
    for (int row = top; row <= bottom; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(row));
        std::fill(line + left, line + right + 1, pixel);
    }
    markChanged(left, top, right, bottom);
}

void RasterSurface::markChanged(int left, int top, int right, int bottom) {
    if (changedRight_ < changedLeft_) {
        changedLeft_ = left;
        changedTop_ = top;
        changedRight_ = right;
        changedBottom_ = bottom;
        return;
    }
    changedLeft_ = std::min(changedLeft_, left);
    changedTop_ = std::min(changedTop_, top);
    changedRight_ = std::max(changedRight_, right);
    changedBottom_ = std::max(changedBottom_, bottom);
}

}  // namespace complexplot
