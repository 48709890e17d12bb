#pragma once

namespace complexplot {

// A rectangle of the complex plane, x0 <= x <= x1 and y0 <= y <= y1,
// sampled on a grid of width x height pixels, one value per pixel at its
// centre, row 0 at the top.
struct MapGeometry {
    double x0 = -2.0;
    double x1 = 2.0;
    double y0 = -2.0;
    double y1 = 2.0;
    int width = 512;
    int height = 512;

    // The centre of pixel column c and of pixel row r, computed in double in
    // exactly this order, so that any tool can reproduce the grid.
    double sampleX(int column) const { return x0 + (column + 0.5) * (x1 - x0) / width; }
    double sampleY(int row) const { return y1 - (row + 0.5) * (y1 - y0) / height; }

    // The pixel column the imaginary axis (x = 0) runs through and the pixel
    // row of the real axis (y = 0), or -1 where the axis lies outside.
    int imaginaryAxisColumn() const;
    int realAxisRow() const;
};

}  // namespace complexplot
