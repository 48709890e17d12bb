#include "function_maps.h"

#include <QImage>
#include <charconv>
#include <cstring>
#include <future>
#include <optional>
#include <ostream>
#include <sstream>

#include "atomic_file.h"
#include "level_lines.h"
#include "npy_file.h"
#include "png_file.h"
#include "row_workers.h"
#include "value_grid.h"
#include "zero_pole_report.h"

namespace complexplot {

namespace {

constexpr RgbColour kRealAxisColour{255, 0, 0};
constexpr RgbColour kImaginaryAxisColour{0, 0, 255};

// A grey map's image made around its greys, without a copy: the image
// owns them and frees them with itself. Qt asks for rows that start on
// four-byte boundaries, so only where the width is a multiple of four.
QImage imageOwningGreys(LargeVector<std::uint8_t>&& greys, const MapGeometry& geometry) {
    auto* owned = new LargeVector<std::uint8_t>(std::move(greys));
    QImage image(
        owned->data(), geometry.width, geometry.height, geometry.width, QImage::Format_Grayscale8,
        [](void* held) { delete static_cast<LargeVector<std::uint8_t>*>(held); }, owned);
    if (image.isNull()) {
        delete owned;
        throw std::bad_alloc();
    }
    return image;
}

QImage mapImage(LargeVector<std::uint8_t>&& greys, const MapGeometry& geometry,
                const std::vector<std::size_t>& withoutValue, bool axes) {
    const int width = geometry.width;
    const bool onlyGreys = withoutValue.empty() && !axes;
    if (onlyGreys && width % 4 == 0) {
        return imageOwningGreys(std::move(greys), geometry);
    }
    QImage image(width, geometry.height,
                 onlyGreys ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    for (int row = 0; row < geometry.height; ++row) {
        const std::uint8_t* grey = greys.data() + static_cast<std::size_t>(row) * width;
        uchar* line = image.scanLine(row);
        if (onlyGreys) {
            std::memcpy(line, grey, width);
            continue;
        }
        for (int column = 0; column < width; ++column) {
            line[3 * column] = line[3 * column + 1] = line[3 * column + 2] = grey[column];
        }
    }
    auto paint = [&](int column, int row, RgbColour colour) {
        uchar* pixel = image.scanLine(row) + 3 * column;
        pixel[0] = colour.red;
        pixel[1] = colour.green;
        pixel[2] = colour.blue;
    };
    for (const std::size_t place : withoutValue) {
        paint(static_cast<int>(place % width), static_cast<int>(place / width), kNoValueColour);
    }
    // The real axis first, then the imaginary one across it.
    if (const int row = geometry.realAxisRow(); axes && row >= 0) {
        for (int column = 0; column < width; ++column) {
            paint(column, row, kRealAxisColour);
        }
    }
    if (const int column = geometry.imaginaryAxisColumn(); axes && column >= 0) {
        for (int row = 0; row < geometry.height; ++row) {
            paint(column, row, kImaginaryAxisColour);
        }
    }
    return image;
}

// A map that shows almost nothing: its range is far wider than what it
// holds, as when one part is much larger than the other or a pole sets it.
void noteWashedOut(const ShadedMaps& greys, const FunctionRequest& request,
                   std::ostream& messages) {
    const bool real = looksWashedOut(greys.first);
    const bool imaginary = looksWashedOut(greys.second);
    if (!real && !imaginary) {
        return;
    }
    const std::string which = real && imaginary ? "both maps are"
                              : real            ? "the real part's map is"
                                                : "the imaginary part's map is";
    const std::string remedy =
        !request.rangeForEach
            ? "--range each gives each map its own range"
            : std::string(real ? "--range-re" : "--range-im") + "=LO,HI gives a narrower range";
    messages << "complex-plot-render: " << which << " nearly all three greys or fewer: " << remedy
             << "\n";
}

}  // namespace

void ProgressReport::show(const std::string&, long long, long long) {}

void ProgressReport::clear() {}

FunctionMaps makeFunctionMaps(const FunctionRequest& request, bool axes, std::ostream& messages,
                              ProgressReport& progress) {
    const CompiledExpression function(request.expression);
    const MapGeometry& geometry = request.geometry;
    // What the maps need of each row is taken as the rows are made, while
    // they are in cache: the tally of the shared automatic range, or ln|f|
    // and the argument's greys; a pass over the values less.
    std::optional<PartSizeTally> counted;
    std::optional<ModulusArgumentRows> rows;
    LargeVector<ComplexValue> values(static_cast<std::size_t>(geometry.width) * geometry.height);
    MadeRow madeRow;
    if (request.show == MapKind::modulusArgument) {
        rows.emplace(values.size(), request.threads);
        madeRow = [&](std::span<const ComplexValue> row, int worker) {
            rows->add(row, static_cast<std::size_t>(row.data() - values.data()), worker);
        };
    } else if (!request.range && !request.rangeForEach && request.show == MapKind::realImaginary) {
        counted.emplace(sampleValues(function, geometry, sampleStride(values.size())),
                        values.size(), request.threads);
        madeRow = [&](std::span<const ComplexValue> row, int worker) { counted->add(row, worker); };
    }
    computeValues(
        function, geometry, request.threads, values,
        [&](int rowsDone) { progress.show("computing", rowsDone, geometry.height); }, nullptr,
        madeRow);
    progress.clear();
    return mapsOfValues(std::move(values), request, axes, &messages, counted ? &*counted : nullptr,
                        rows ? &*rows : nullptr);
}

namespace {

// The ranges of Re and Im maps: given, or worked out (each a pass over the
// values, so only a range not given), with symlog's t; said in a form that
// can be given back.
void shadeRealImaginary(const FunctionRequest& request, const FunctionMaps& maps,
                        const PartSizeTally* counted, MapShading& shading, std::ostream& said) {
    shading.rangeForEach = request.rangeForEach;
    if (request.rangeForEach) {
        shading.realRange = request.realRange
                                ? *request.realRange
                                : automaticPartRange(maps.values, Part::real, request.threads);
        shading.imaginaryRange =
            request.imaginaryRange
                ? *request.imaginaryRange
                : automaticPartRange(maps.values, Part::imaginary, request.threads);
        const bool given = request.realRange && request.imaginaryRange;
        said << "complex-plot-render: grey ranges --range-re="
             << shortestText(shading.realRange.low) << "," << shortestText(shading.realRange.high)
             << " --range-im=" << shortestText(shading.imaginaryRange.low) << ","
             << shortestText(shading.imaginaryRange.high)
             << (given ? " (as given)\n"
                       : " (automatic unless given: the 1st to the 99th percentile of each "
                         "part)\n");
    } else {
        shading.realRange = request.range ? *request.range
                            : counted     ? counted->automaticRange(maps.values, request.threads)
                                          : automaticRange(maps.values, request.threads);
        shading.imaginaryRange = shading.realRange;
        said << "complex-plot-render: grey range " << shortestText(shading.realRange.low) << " to "
             << shortestText(shading.realRange.high)
             << (request.range ? " (as given)\n"
                               : " (automatic: -M to M, M the 98th percentile of |Re f| and "
                                 "|Im f|)\n");
    }
    shading.curve = request.greys;
    if (request.greys == GreyCurve::symlog) {
        shading.symlogScale = request.symlogScale
                                  ? *request.symlogScale
                                  : automaticSymlogScale(maps.values, request.threads);
        said << "complex-plot-render: symlog greys, t = " << shortestText(shading.symlogScale)
             << (request.symlogScale ? " (as given)"
                                     : " (automatic: the power of ten nearest the median of the "
                                       "non-zero |Re f| and |Im f|)")
             << "; --greys symlog=" << shortestText(shading.symlogScale) << " gives it back\n";
    }
}

void shadeModulus(const FunctionRequest& request, const ModulusArgumentRows& rows,
                  MapShading& shading, std::ostream& said) {
    shading.realRange = request.range ? *request.range : rows.automaticRange();
    said << "complex-plot-render: modulus range --range=" << shortestText(shading.realRange.low)
         << "," << shortestText(shading.realRange.high)
         << (request.range ? " (as given)\n"
                           : " (automatic: the 1st to the 99th percentile of |f|, out to powers "
                             "of ten)\n");
}

QImage phaseImage(const LargeVector<std::uint8_t>& colours, const MapGeometry& geometry,
                  bool axes) {
    QImage image(geometry.width, geometry.height, QImage::Format_RGB888);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    const auto rowBytes = static_cast<std::size_t>(3 * geometry.width);
    for (int row = 0; row < geometry.height; ++row) {
        std::memcpy(image.scanLine(row), colours.data() + row * rowBytes, rowBytes);
    }
    // The axes in white, which is no colour of the wheel; the real axis
    // first, then the imaginary one across it.
    if (const int row = geometry.realAxisRow(); axes && row >= 0) {
        std::memset(image.scanLine(row), 255, rowBytes);
    }
    if (const int column = geometry.imaginaryAxisColumn(); axes && column >= 0) {
        for (int row = 0; row < geometry.height; ++row) {
            std::memset(image.scanLine(row) + 3 * column, 255, 3);
        }
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

}  // namespace

FunctionMaps mapsOfValues(LargeVector<ComplexValue> values, const FunctionRequest& request,
                          bool axes, std::ostream* messages, const PartSizeTally* counted,
                          ModulusArgumentRows* rows) {
    std::ostringstream unheard;
    std::ostream& said = messages != nullptr ? *messages : unheard;
    const MapGeometry& geometry = request.geometry;
    FunctionMaps maps;
    maps.values = std::move(values);
    MapShading& shading = maps.shading;
    shading.kind = request.show;
    ShadedMaps shaded;
    if (request.show == MapKind::modulusArgument) {
        // The rows made as the values were, or made here.
        std::optional<ModulusArgumentRows> made;
        if (rows == nullptr) {
            rows = &made.emplace(maps.values.size(), request.threads);
            forEachRow(geometry.height, request.threads, [&](int row, int worker) {
                const auto at = static_cast<std::size_t>(row) * geometry.width;
                rows->add(std::span(maps.values).subspan(at, geometry.width), at, worker);
            });
        }
        shadeModulus(request, *rows, shading, said);
        shaded = rows->maps(maps.values, shading.realRange, request.threads);
    } else {
        if (request.show == MapKind::realImaginary) {
            shadeRealImaginary(request, maps, counted, shading, said);
        }
        shaded = shadeMaps(maps.values, shading, request.threads);
    }
    maps.pointsWithoutValue = shaded.withoutValue.size();
    if (messages != nullptr && request.show == MapKind::realImaginary) {
        noteWashedOut(shaded, request, *messages);
    }
    if (const std::size_t count = maps.pointsWithoutValue; count > 0) {
        said << "complex-plot-render: " << count << (count == 1 ? " point has" : " points have")
             << " no finite value (a pole, an overflow or 0/0), painted "
             << (request.show == MapKind::phase ? "grey #808080\n" : "green #00a000\n");
    }
    if (request.show == MapKind::phase) {
        maps.first = phaseImage(shaded.colours, geometry, axes);
    } else {
        maps.first = mapImage(std::move(shaded.first), geometry, shaded.withoutValue, axes);
        maps.second = mapImage(std::move(shaded.second), geometry, shaded.withoutValue, axes);
    }
    maps.withoutValue = std::move(shaded.withoutValue);
    if (request.contours) {
        findLevelCurves(request, maps);
    }
    if (request.zeros) {
        maps.zeros = findZerosAndPoles(CompiledExpression(request.expression),
                                       DifferentiatedExpression(request.expression),
                                       request.geometry, maps.values, request.threads);
        maps.marks = pointMarks(*maps.zeros, request.geometry);
        said << zerosAndPolesReport(*maps.zeros, "complex-plot-render: ");
    }
    return maps;
}

void writeMapFiles(const FunctionMaps& maps, const std::string& stem, bool twoThreads,
                   ProgressReport& progress) {
    const std::vector<MapFileName> names = mapFileNames(maps.shading.kind);
    const int count = static_cast<int>(names.size());
    // Two maps are encoded side by side, one of them on a second thread.
    progress.show("encoding the maps", 0, count);
    // With level curves, each map is written with its curves drawn over it.
    auto shown = [&](std::size_t map) {
        const QImage& image = map == 0 ? maps.first : maps.second;
        return withCurvesAndMarks(image, map < maps.curves.size() ? &maps.curves[map] : nullptr,
                                  maps.marks);
    };
    std::future<QByteArray> secondBytes;
    if (count == 2) {
        secondBytes = std::async(twoThreads ? std::launch::async : std::launch::deferred,
                                 [&] { return encodePng(shown(1)); });
    }
    const QByteArray firstBytes = encodePng(shown(0));
    progress.show("encoding the maps", 1, count);
    const QByteArray secondEncoded = count == 2 ? secondBytes.get() : QByteArray();
    progress.show("writing the maps", 0, count);
    writeBytesFile(stem + names[0].suffix, firstBytes);
    if (count == 2) {
        progress.show("writing the maps", 1, count);
        writeBytesFile(stem + names[1].suffix, secondEncoded);
    }
}

void writeZerosFile(const ZerosAndPoles& found, const std::string& path) {
    writeFileAtomically(path, zerosAndPolesTable(found));
}

void writeValuesFile(const LargeVector<ComplexValue>& values, const MapGeometry& geometry,
                     const std::string& path) {
    const std::string header = npyHeader(geometry.height, geometry.width);
    const std::string_view data(reinterpret_cast<const char*>(values.data()),
                                values.size() * sizeof(ComplexValue));
    writeFileAtomically(path, {header, data});
}

}  // namespace complexplot
