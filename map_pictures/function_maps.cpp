#include "function_maps.h"

#include <QImage>
#include <cstring>
#include <ostream>
#include <utility>

#include "atomic_file.h"
#include "level_lines.h"
#include "png_file.h"
#include "zero_pole_report.h"

namespace complexplot {

namespace {

// A map's image for Qt to draw on or over. A grey map whose rows start on
// four-byte boundaries, as Qt asks, is wrapped without a copy: the image
// owns its greys and frees them with itself; any other is copied.
QImage qImageOf(MapImage&& map) {
    if (map.empty()) {
        return QImage();
    }
    if (map.grey && map.width % 4 == 0) {
        auto* owned = new LargeVector<std::uint8_t>(std::move(map.pixels));
        QImage image(
            owned->data(), map.width, map.height, map.width, QImage::Format_Grayscale8,
            [](void* held) { delete static_cast<LargeVector<std::uint8_t>*>(held); }, owned);
        if (image.isNull()) {
            delete owned;
            throw std::bad_alloc();
        }
        return image;
    }
    QImage image(map.width, map.height,
                 map.grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    for (int row = 0; row < map.height; ++row) {
        std::memcpy(image.scanLine(row), map.row(row), map.rowBytes());
    }
    return image;
}

// Each map's level curves, found on its values.
void findLevelCurves(const FunctionRequest& request, FunctionMaps& maps) {
    const CompiledExpression function(request.expression);
    const auto sets = levelSetsOfMaps(request, maps.shading);
    // Every set of every map in one pass over the values.
    std::vector<LevelSet> all;
    for (const auto& mapSets : sets) {
        all.insert(all.end(), mapSets.begin(), mapSets.end());
    }
    auto found = levelCurvesOfSets(function, request.geometry, maps.values, all, request.threads);
    std::size_t next = 0;
    for (const auto& mapSets : sets) {
        std::vector<LevelCurve> curves;
        for (std::size_t k = 0; k < mapSets.size(); ++k, ++next) {
            curves.insert(curves.end(), std::make_move_iterator(found[next].begin()),
                          std::make_move_iterator(found[next].end()));
        }
        maps.curves.push_back(std::move(curves));
    }
}

// The plain maps, with what the request draws over them.
FunctionMaps withCurvesAndZeros(ExpressionMaps plain, const FunctionRequest& request,
                                std::ostream* messages) {
    FunctionMaps maps;
    maps.values = std::move(plain.values);
    maps.shading = plain.shading;
    maps.first = qImageOf(std::move(plain.first));
    maps.second = qImageOf(std::move(plain.second));
    maps.pointsWithoutValue = plain.pointsWithoutValue;
    maps.withoutValue = std::move(plain.withoutValue);
    if (request.contours) {
        findLevelCurves(request, maps);
    }
    if (request.zeros) {
        maps.zeros = findZerosAndPoles(CompiledExpression(request.expression),
                                       DifferentiatedExpression(request.expression),
                                       request.geometry, maps.values, request.threads);
        maps.marks = pointMarks(*maps.zeros, request.geometry);
        if (messages != nullptr) {
            *messages << zerosAndPolesReport(*maps.zeros, "complex-plot-render: ");
        }
    }
    return maps;
}

}  // namespace

FunctionMaps makeFunctionMaps(const FunctionRequest& request, bool axes, std::ostream& messages,
                              ProgressReport& progress) {
    return withCurvesAndZeros(makeExpressionMaps(request, axes, messages, progress), request,
                              &messages);
}

FunctionMaps mapsOfValues(LargeVector<ComplexValue> values, const FunctionRequest& request,
                          bool axes, std::ostream* messages, const PartSizeTally* counted,
                          ModulusArgumentRows* rows) {
    return withCurvesAndZeros(
        expressionMapsOfValues(std::move(values), request, axes, messages, counted, rows), request,
        messages);
}

void writeMapFiles(const FunctionMaps& maps, const std::string& stem, bool twoThreads,
                   ProgressReport& progress) {
    writeMapFiles(maps.shading.kind, stem, twoThreads, progress, [&](int map) {
        const QImage& image = map == 0 ? maps.first : maps.second;
        const auto index = static_cast<std::size_t>(map);
        return pngDataOf(withCurvesAndMarks(
            image, index < maps.curves.size() ? &maps.curves[index] : nullptr, maps.marks));
    });
}

void writeZerosFile(const ZerosAndPoles& found, const std::string& path) {
    writeFileAtomically(path, zerosAndPolesTable(found));
}

}  // namespace complexplot
