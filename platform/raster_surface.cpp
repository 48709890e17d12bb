#include "raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <tuple>

namespace complexplot {

namespace {

// round(v) = floor(v + 0.5), kept one pixel beyond each end of the area, so
// that far-away coordinates convert to int safely and still clip away.
// Within that range floor is truncation corrected for negative numbers,
// which is exact and spares a library call per corner.
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
    : scaleFactor_(scaleFactor),
      width_(kBaseWidth * scaleFactor),
      height_(kBaseHeight * scaleFactor),
      pixels_(static_cast<std::size_t>(width_) * height_, toRgb(background)),
      image_(reinterpret_cast<uchar*>(pixels_.data()), width_, height_,
             static_cast<qsizetype>(width_) * sizeof(QRgb), QImage::Format_RGB32),
      background_(toRgb(background)),
      scaleWidth_(static_cast<float>(width_)),
      scaleHeight_(static_cast<float>(height_)) {
    forgetChanges();
}

void RasterSurface::Cls() {
    std::fill(pixels_.begin(), pixels_.end(), background_);
    markChanged(0, 0, width_ - 1, height_ - 1);
}

// A new frame moves every edge: nothing worked out for edges holds.
void RasterSurface::setFrame(float& field, float value) {
    field = value;
    columnEdge1_ = std::numeric_limits<float>::quiet_NaN();
    chainEdge_ = std::numeric_limits<float>::quiet_NaN();
}

int RasterSurface::pixelColumn(float x) const {
    const double px = (static_cast<double>(x) - static_cast<double>(scaleLeft_)) * width_ /
                      static_cast<double>(scaleWidth_);
    return roundToPixel(px, width_);
}

int RasterSurface::pixelRow(float y) const {
    const double py = (static_cast<double>(y) - static_cast<double>(scaleTop_)) * height_ /
                      static_cast<double>(scaleHeight_);
    return roundToPixel(py, height_);
}

void RasterSurface::fillPixels(int left, int top, int right, int bottom, QRgb pixel) {
    // In locals: the pixel stores could otherwise alias the members and force
    // a reload at every row.
    const int width = width_;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width - 1);
    bottom = std::min(bottom, height_ - 1);
    if (left > right || top > bottom) {
        return;
    }
    markChanged(left, top, right, bottom);
    QRgb* line = pixels_.data() + static_cast<std::size_t>(top) * width;
    for (int row = top; row <= bottom; ++row, line += width) {
        for (int column = left; column <= right; ++column) {
            line[column] = pixel;
        }
    }
}

void RasterSurface::fillBox(float x1, float y1, float x2, float y2, RgbColour colour) {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) {
        return;
    }
    // A run paints a whole column of boxes between the same two edges: their
    // pixel columns are worked out once per column.
    if (x1 != columnEdge1_ || x2 != columnEdge2_) {
        columnEdge1_ = x1;
        columnEdge2_ = x2;
        std::tie(leftColumn_, rightColumn_) = std::minmax({pixelColumn(x1), pixelColumn(x2)});
    }
    // Each box of a column starts where the one below it ended.
    const int row1 = y1 == chainEdge_ ? chainRow_ : pixelRow(y1);
    const int row2 = pixelRow(y2);
    chainEdge_ = y2;
    chainRow_ = row2;
    // The list form returns values: the pair form would refer to temporaries.
    const auto [top, bottom] = std::minmax({row1, row2});
    fillPixels(leftColumn_, top, rightColumn_, bottom, toRgb(colour));
}

void RasterSurface::drawLine(float x1, float y1, float x2, float y2, RgbColour colour) {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) {
        return;
    }
    const int column1 = pixelColumn(x1);
    const int column2 = pixelColumn(x2);
    const int row1 = pixelRow(y1);
    const int row2 = pixelRow(y2);
    // The pen is as many pixels wide as the scale, so that a line keeps its
    // weight in print; it is centred on the pixel of the one-pixel line,
    // with the odd pixel of an even width to the right and below.
    const int before = (scaleFactor_ - 1) / 2;
    const int after = scaleFactor_ / 2;
    const QRgb pixel = toRgb(colour);
    if (column1 == column2 || row1 == row2) {
        fillPixels(std::min(column1, column2) - before, std::min(row1, row2) - before,
                   std::max(column1, column2) + after, std::max(row1, row2) + after, pixel);
        return;
    }
    // A slanted line: one pen's square per step along its longer direction.
    const int steps = std::max(std::abs(column2 - column1), std::abs(row2 - row1));
    for (int step = 0; step <= steps; ++step) {
        const double t = static_cast<double>(step) / steps;
        const int column = static_cast<int>(std::floor(column1 + (column2 - column1) * t + 0.5));
        const int row = static_cast<int>(std::floor(row1 + (row2 - row1) * t + 0.5));
        fillPixels(column - before, row - before, column + after, row + after, pixel);
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

void RasterSurface::forgetChanges() {
    // Empty: any painted pixel lowers the left and top ends and raises the
    // right and bottom ones.
    changedLeft_ = std::numeric_limits<int>::max();
    changedTop_ = std::numeric_limits<int>::max();
    changedRight_ = std::numeric_limits<int>::min();
    changedBottom_ = std::numeric_limits<int>::min();
}

void RasterSurface::markChanged(int left, int top, int right, int bottom) {
    changedLeft_ = std::min(changedLeft_, left);
    changedTop_ = std::min(changedTop_, top);
    changedRight_ = std::max(changedRight_, right);
    changedBottom_ = std::max(changedBottom_, bottom);
}

}  // namespace complexplot
