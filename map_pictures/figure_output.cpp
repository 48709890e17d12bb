#include "figure_output.h"

#include <numbers>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "axis_ticks.h"
#include "figure_file.h"
#include "math_notation.h"
#include "png_file.h"
#include "presets.h"

namespace complexplot {

namespace {

// What each preset draws, where it differs from the principal function of
// its name: the logarithm's imaginary part is arcsin(y/|z|), without the cut
// of the principal argument, and the arctangent is 0 on a thin strip about
// the imaginary axis.
const char* formulaOf(std::int16_t index) {
    switch (index) {
        case kPresetSin:
            return "sin z";
        case kPresetLog:
            return "ln|z| + i\u00b7arcsin(y/|z|)";
        case kPresetCos:
            return "cos z";
        case kPresetTan:
            return "tan z";
        default:
            return "arctan z, but 0 where |x| < 10\u207b\u2076";
    }
}

std::string lowerCaseSuffix(const std::string& path) {
    std::string suffix = path.substr(path.size() >= 4 ? path.size() - 4 : 0);
    for (char& c : suffix) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return suffix;
}

}  // namespace

FigureContent presetFigureContent(std::int16_t index, const RasterSurface& real,
                                  const RasterSurface& imaginary) {
    FigureContent content = presetFigureLabels(index);
    content.real = real.image().copy();
    content.imaginary = imaginary.image().copy();
    return content;
}

std::string presetTitle(std::int16_t index) {
    return std::string(LoadPreset(index).title) + " \u2014 f(z) = " + formulaOf(index);
}

FigureContent presetFigureLabels(std::int16_t index) {
    const Preset preset = LoadPreset(index);
    FigureContent content;
    content.title = presetTitle(index);
    // The run's cells tile the pictures from XMin to XMax + StepX across and
    // from YMin to YMax + StepY up.
    content.left = preset.XMin;
    content.right = preset.XMax + preset.StepX;
    content.bottom = preset.YMin;
    content.top = preset.YMax + preset.StepY;
    const bool circular = index == kPresetSin || index == kPresetCos || index == kPresetTan;
    content.piTicksAlongX = circular;
    content.piTicksAlongY = circular;
    content.range = GreyRange{preset.RangeMin, preset.RangeMax};
    return content;
}

FigureContent functionFigureContent(const FunctionRequest& request, const FunctionMaps& maps) {
    FigureContent content = functionFigureLabels(request, maps.shading, maps.pointsWithoutValue);
    content.real = maps.first;
    content.imaginary = maps.second;
    content.curves = maps.curves;
    content.marks = maps.marks;
    const auto width = static_cast<std::size_t>(request.geometry.width);
    content.withoutValue.reserve(maps.withoutValue.size());
    for (const std::size_t place : maps.withoutValue) {
        content.withoutValue.emplace_back(static_cast<int>(place % width),
                                          static_cast<int>(place / width));
    }
    return content;
}

FigureContent functionFigureLabels(const FunctionRequest& request, const MapShading& shading,
                                   std::size_t pointsWithoutValue) {
    const MapGeometry& geometry = request.geometry;
    FigureContent content;
    content.title = "f(z) = " + mathNotation(request.expression);
    content.left = geometry.x0;
    content.right = geometry.x1;
    content.bottom = geometry.y0;
    content.top = geometry.y1;
    content.piTicksAlongX = readsInPi(geometry.x0, geometry.x1);
    content.piTicksAlongY = readsInPi(geometry.y0, geometry.y1);
    content.kind = shading.kind;
    content.curve = shading.curve;
    content.symlogScale = shading.symlogScale;
    const GreyRange argument{-std::numbers::pi, std::numbers::pi};
    switch (shading.kind) {
        case MapKind::realImaginary:
            content.range = shading.realRange;
            if (shading.rangeForEach) {
                content.imaginaryRange = shading.imaginaryRange;
            }
            break;
        case MapKind::modulusArgument:
            content.range = shading.realRange;
            content.imaginaryRange = argument;
            break;
        case MapKind::phase:
            content.range = argument;
            break;
    }
    content.pointsWithoutValue = pointsWithoutValue;
    return content;
}

int narrowestPngWidth(const FigureContent& labels, QSize mapPixels, int from) {
    if (largestPngMaps(labels, mapPixels, from) == mapPixels) {
        return from;
    }
    // The room grows with the width.
    int narrow = from;
    int wide = kWidestPngFigure;
    while (wide - narrow > 1) {
        const int middle = narrow + (wide - narrow) / 2;
        (largestPngMaps(labels, mapPixels, middle) == mapPixels ? wide : narrow) = middle;
    }
    return wide;
}

int pngFigureWidth(const FigureContent& content, int width, bool widthGiven) {
    return widthGiven ? width : narrowestPngWidth(content, content.real.size(), width);
}

void checkPngFigureFits(const FigureContent& labels, QSize mapPixels, int pngWidth,
                        const std::string& smallerMaps) {
    if (largestPngMaps(labels, mapPixels, pngWidth) == mapPixels) {
        return;
    }
    const std::string maps = "maps of " + std::to_string(mapPixels.width()) + " x " +
                             std::to_string(mapPixels.height()) + " pixels";
    const std::string orVector = ", or write the figure as .pdf or .svg";
    if (largestPngMaps(labels, mapPixels, kWidestPngFigure) == mapPixels) {
        const int wide = narrowestPngWidth(labels, mapPixels, pngWidth);
        throw FigureTooNarrow(maps + " need a PNG figure at least " + std::to_string(wide) +
                              " pixels wide: give --figure-width " + std::to_string(wide) +
                              orVector);
    }
    // Each side that is too long is named, with the longest that fits; a
    // side that fits stays as it is.
    const QSizeF room = pngRoomForEachMap(labels, kWidestPngFigure);
    const int mostWide = std::max(1, static_cast<int>(std::floor(room.width())));
    const int mostHigh = std::max(1, static_cast<int>(std::floor(room.height())));
    const bool tooWide = mapPixels.width() > mostWide;
    const bool tooHigh = mapPixels.height() > mostHigh;
    const std::string sides = tooWide && tooHigh ? "too wide and too high"
                              : tooWide          ? "too wide"
                                                 : "too high";
    throw FigureTooNarrow(maps + " are " + sides + " for a PNG figure, which is at most " +
                          std::to_string(kWidestPngFigure) + " pixels wide: give " + smallerMaps +
                          " (at most " + std::to_string(std::min(mapPixels.width(), mostWide)) +
                          " x " + std::to_string(std::min(mapPixels.height(), mostHigh)) +
                          " fit at --figure-width " + std::to_string(kWidestPngFigure) + ")" +
                          orVector);
}

bool figureIsPng(const std::string& path) {
    return lowerCaseSuffix(path) == ".png";
}

QByteArray figureFileBytes(const std::vector<FigureContent>& figures, const std::string& path,
                           int pngWidth, PageSize page,
                           const std::optional<std::string>& documentTitle) {
    const std::string suffix = lowerCaseSuffix(path);
    if (suffix == ".svg") {
        return figureSvg(figures.front());
    }
    if (suffix == ".pdf") {
        return figurePdf(figures, page == PageSize::letter ? QPageSize::Letter : QPageSize::A4,
                         documentTitle);
    }
    return encodePng(figureImage(figures.front(), pngWidth));
}

}  // namespace complexplot
