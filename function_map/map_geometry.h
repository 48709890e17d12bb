#pragma once

#include <cstddef>
#include <vector>

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

    bool operator==(const MapGeometry&) const = default;

    // The plane at a place on the map, in pixels from its top left corner
    // (pixel c's centre is at c + 0.5), and back.
    double xAt(double column) const;
    double yAt(double row) const;
    double columnAt(double x) const;
    double rowAt(double y) const;

    // The views an explorer moves through. Zoomed by `factor` (above 1: in)
    // about a place on the map, which stays where it is; panned so that the
    // map follows the pointer by that many pixels; the rectangle between
    // two places; the same centre and pixel size on a map of another size.
    MapGeometry zoomedAbout(double column, double row, double factor) const;
    MapGeometry pannedBy(double columns, double rows) const;
    MapGeometry zoomedInto(double column0, double row0, double column1, double row1) const;
    MapGeometry resizedTo(int newWidth, int newHeight) const;

    // Whether neighbouring pixels still sample distinct points: a pixel at
    // least 8 units in the last place of the largest coordinate in view
    // wide and high, and the pixel centres finite.
    bool pixelsAreDistinct() const;
    // Whether the view lies within +-10^15, as far as it may be moved out.
    bool withinReach() const;
};

// The views gone through, for back and forward: a new view drops the ones
// ahead of the current one.
class ViewHistory {
public:
    explicit ViewHistory(const MapGeometry& first);

    const MapGeometry& current() const { return views_[at_]; }
    void push(const MapGeometry& view);
    // False, and nothing moves, at either end.
    bool back();
    bool forward();
    // The current view replaced, not added, as by a resize.
    void replaceCurrent(const MapGeometry& view);

private:
    std::vector<MapGeometry> views_;
    std::size_t at_ = 0;
};

}  // namespace complexplot
