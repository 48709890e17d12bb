#include "map_geometry.h"

#include <algorithm>
#include <cmath>

namespace complexplot {

namespace {

// The pixel whose band [start + k step, start + (k + 1) step) holds the
// point at distance `offset` from the start; the far edge belongs to the
// last pixel.
int pixelHolding(double offset, double extent, int pixels) {
    if (offset < 0.0 || offset > extent) {
        return -1;
    }
    return std::min(static_cast<int>(std::floor(offset * pixels / extent)), pixels - 1);
}

}  // namespace

int MapGeometry::imaginaryAxisColumn() const {
    return pixelHolding(0.0 - x0, x1 - x0, width);
}

int MapGeometry::realAxisRow() const {
    return pixelHolding(y1 - 0.0, y1 - y0, height);
}

double MapGeometry::xAt(double column) const {
    return x0 + column * (x1 - x0) / width;
}

double MapGeometry::yAt(double row) const {
    return y1 - row * (y1 - y0) / height;
}

double MapGeometry::columnAt(double x) const {
    return (x - x0) / (x1 - x0) * width;
}

double MapGeometry::rowAt(double y) const {
    return (y1 - y) / (y1 - y0) * height;
}

MapGeometry MapGeometry::zoomedAbout(double column, double row, double factor) const {
    MapGeometry view = *this;
    const double x = xAt(column);
    const double y = yAt(row);
    const double spanX = (x1 - x0) / factor;
    const double spanY = (y1 - y0) / factor;
    view.x0 = x - column / width * spanX;
    view.x1 = view.x0 + spanX;
    view.y1 = y + row / height * spanY;
    view.y0 = view.y1 - spanY;
    return view;
}

MapGeometry MapGeometry::pannedBy(double columns, double rows) const {
    MapGeometry view = *this;
    const double dx = columns * (x1 - x0) / width;
    const double dy = rows * (y1 - y0) / height;
    view.x0 = x0 - dx;
    view.x1 = x1 - dx;
    view.y0 = y0 + dy;
    view.y1 = y1 + dy;
    return view;
}

MapGeometry MapGeometry::zoomedInto(double column0, double row0, double column1,
                                    double row1) const {
    MapGeometry view = *this;
    view.x0 = xAt(std::min(column0, column1));
    view.x1 = xAt(std::max(column0, column1));
    view.y1 = yAt(std::min(row0, row1));
    view.y0 = yAt(std::max(row0, row1));
    // The rectangle's longer side fills the map; pixels stay square.
    const double pixel = std::max((view.x1 - view.x0) / width, (view.y1 - view.y0) / height);
    const double centreX = view.x0 / 2 + view.x1 / 2;
    const double centreY = view.y0 / 2 + view.y1 / 2;
    view.x0 = centreX - pixel * width / 2;
    view.x1 = centreX + pixel * width / 2;
    view.y0 = centreY - pixel * height / 2;
    view.y1 = centreY + pixel * height / 2;
    return view;
}

MapGeometry MapGeometry::resizedTo(int newWidth, int newHeight) const {
    MapGeometry view = *this;
    const double pixelX = (x1 - x0) / width;
    const double pixelY = (y1 - y0) / height;
    const double centreX = x0 / 2 + x1 / 2;
    const double centreY = y0 / 2 + y1 / 2;
    view.width = newWidth;
    view.height = newHeight;
    view.x0 = centreX - pixelX * newWidth / 2;
    view.x1 = centreX + pixelX * newWidth / 2;
    view.y0 = centreY - pixelY * newHeight / 2;
    view.y1 = centreY + pixelY * newHeight / 2;
    return view;
}

bool MapGeometry::pixelsAreDistinct() const {
    const double largest = std::max({std::fabs(x0), std::fabs(x1), std::fabs(y0), std::fabs(y1)});
    const double lastPlace = std::nextafter(largest, HUGE_VAL) - largest;
    const double pixelX = (x1 - x0) / width;
    const double pixelY = (y1 - y0) / height;
    return pixelX >= 8 * lastPlace && pixelY >= 8 * lastPlace &&
           std::isfinite(sampleX(width - 1)) && std::isfinite(sampleY(height - 1));
}

bool MapGeometry::withinReach() const {
    constexpr double kReach = 1e15;
    return x0 >= -kReach && x1 <= kReach && y0 >= -kReach && y1 <= kReach;
}

ViewHistory::ViewHistory(const MapGeometry& first) : views_{first} {}

void ViewHistory::push(const MapGeometry& view) {
    views_.resize(at_ + 1);
    views_.push_back(view);
    at_ = views_.size() - 1;
}

bool ViewHistory::back() {
    if (at_ == 0) {
        return false;
    }
    --at_;
    return true;
}

bool ViewHistory::forward() {
    if (at_ + 1 >= views_.size()) {
        return false;
    }
    ++at_;
    return true;
}

void ViewHistory::replaceCurrent(const MapGeometry& view) {
    views_[at_] = view;
}

}  // namespace complexplot
