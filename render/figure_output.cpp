#include "figure_output.h"

#include <cctype>

#include "axis_ticks.h"
#include "figure_file.h"
#include "png_file.h"
#include "presets.h"

namespace complexplot {

namespace {

const char* formulaOf(std::int16_t index) {
    switch (index) {
        case kPresetSin:
            return "sin z";
        case kPresetLog:
            return "log z";
        case kPresetCos:
            return "cos z";
        case kPresetTan:
            return "tan z";
        default:
            return "arctan z";
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
    const Preset preset = LoadPreset(index);
    FigureContent content;
    content.title = std::string(preset.title) + " \u2014 f(z) = " + formulaOf(index);
    content.real = real.image().copy();
    content.imaginary = imaginary.image().copy();
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
    const MapGeometry& geometry = request.geometry;
    FigureContent content;
    content.title = "f(z) = " + request.expression;
    content.real = maps.real;
    content.imaginary = maps.imaginary;
    content.left = geometry.x0;
    content.right = geometry.x1;
    content.bottom = geometry.y0;
    content.top = geometry.y1;
    content.piTicksAlongX =
        isMultipleOfQuarterPi(geometry.x0) && isMultipleOfQuarterPi(geometry.x1);
    content.piTicksAlongY =
        isMultipleOfQuarterPi(geometry.y0) && isMultipleOfQuarterPi(geometry.y1);
    content.range = maps.range;
    content.pointsWithoutValue = maps.pointsWithoutValue;
    return content;
}

QByteArray figureFileBytes(const FigureContent& content, const std::string& path, int pngWidth) {
    const std::string suffix = lowerCaseSuffix(path);
    if (suffix == ".svg") {
        return figureSvg(content);
    }
    if (suffix == ".pdf") {
        return figurePdf(content);
    }
    return encodePng(figureImage(content, pngWidth));
}

}  // namespace complexplot
