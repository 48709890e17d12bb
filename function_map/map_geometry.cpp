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

}  // namespace complexplot
