#include "map_image.h"

#include <cstring>
#include <utility>

#include "grey_scale.h"

namespace complexplot {

namespace {

constexpr RgbColour kRealAxisColour{255, 0, 0};
constexpr RgbColour kImaginaryAxisColour{0, 0, 255};

void paint(MapImage& image, int column, int row, RgbColour colour) {
    std::uint8_t* pixel = image.pixels.data() + row * image.rowBytes() + 3 * column;
    pixel[0] = colour.red;
    pixel[1] = colour.green;
    pixel[2] = colour.blue;
}

// The real axis first, then the imaginary one across it.
void paintAxes(MapImage& image, const MapGeometry& geometry, RgbColour real, RgbColour imaginary) {
    if (const int row = geometry.realAxisRow(); row >= 0) {
        for (int column = 0; column < image.width; ++column) {
            paint(image, column, row, real);
        }
    }
    if (const int column = geometry.imaginaryAxisColumn(); column >= 0) {
        for (int row = 0; row < image.height; ++row) {
            paint(image, column, row, imaginary);
        }
    }
}

}  // namespace

MapImage greyMapImage(LargeVector<std::uint8_t>&& greys, const MapGeometry& geometry,
                      const std::vector<std::size_t>& withoutValue, bool axes) {
    MapImage image;
    image.width = geometry.width;
    image.height = geometry.height;
    image.grey = withoutValue.empty() && !axes;
    if (image.grey) {
        image.pixels = std::move(greys);
        return image;
    }
    image.pixels = LargeVector<std::uint8_t>(3 * greys.size());
    std::uint8_t* out = image.pixels.data();
    for (const std::uint8_t grey : greys) {
        out[0] = out[1] = out[2] = grey;
        out += 3;
    }
    const auto width = static_cast<std::size_t>(geometry.width);
    for (const std::size_t place : withoutValue) {
        paint(image, static_cast<int>(place % width), static_cast<int>(place / width),
              kNoValueColour);
    }
    if (axes) {
        paintAxes(image, geometry, kRealAxisColour, kImaginaryAxisColour);
    }
    return image;
}

MapImage phaseMapImage(LargeVector<std::uint8_t>&& colours, const MapGeometry& geometry,
                       bool axes) {
    MapImage image;
    image.width = geometry.width;
    image.height = geometry.height;
    image.grey = false;
    image.pixels = std::move(colours);
    if (axes) {
        constexpr RgbColour kWhite{255, 255, 255};
        paintAxes(image, geometry, kWhite, kWhite);
    }
    return image;
}

}  // namespace complexplot
