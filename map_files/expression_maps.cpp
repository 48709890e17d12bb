#include "expression_maps.h"

#include <future>
#include <optional>
#include <ostream>
#include <sstream>

#include "atomic_file.h"
#include "npy_file.h"
#include "png_encoding.h"
#include "row_workers.h"

namespace complexplot {

void ProgressReport::show(const std::string&, long long, long long) {}

void ProgressReport::clear() {}

namespace {

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

// The ranges of Re and Im maps: given, or worked out (each a pass over the
// values, so only a range not given), with symlog's t; said in a form that
// can be given back.
void shadeRealImaginary(const FunctionRequest& request, std::span<const ComplexValue> values,
                        const PartSizeTally* counted, MapShading& shading, std::ostream& said) {
    shading.rangeForEach = request.rangeForEach;
    if (request.rangeForEach) {
        shading.realRange = request.realRange
                                ? *request.realRange
                                : automaticPartRange(values, Part::real, request.threads);
        shading.imaginaryRange = request.imaginaryRange
                                     ? *request.imaginaryRange
                                     : automaticPartRange(values, Part::imaginary, request.threads);
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
                            : counted     ? counted->automaticRange(values, request.threads)
                                          : automaticRange(values, request.threads);
        shading.imaginaryRange = shading.realRange;
        said << "complex-plot-render: grey range " << shortestText(shading.realRange.low) << " to "
             << shortestText(shading.realRange.high)
             << (request.range ? " (as given)\n"
                               : " (automatic: -M to M, M the 98th percentile of |Re f| and "
                                 "|Im f|)\n");
    }
    shading.curve = request.greys;
    if (request.greys == GreyCurve::symlog) {
        shading.symlogScale = request.symlogScale ? *request.symlogScale
                                                  : automaticSymlogScale(values, request.threads);
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

}  // namespace

ExpressionMaps makeExpressionMaps(const FunctionRequest& request, bool axes, std::ostream& messages,
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
    return expressionMapsOfValues(std::move(values), request, axes, &messages,
                                  counted ? &*counted : nullptr, rows ? &*rows : nullptr);
}

ExpressionMaps expressionMapsOfValues(LargeVector<ComplexValue> values,
                                      const FunctionRequest& request, bool axes,
                                      std::ostream* messages, const PartSizeTally* counted,
                                      ModulusArgumentRows* rows) {
    std::ostringstream unheard;
    std::ostream& said = messages != nullptr ? *messages : unheard;
    const MapGeometry& geometry = request.geometry;
    ExpressionMaps maps;
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
            shadeRealImaginary(request, maps.values, counted, shading, said);
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
        maps.first = phaseMapImage(std::move(shaded.colours), geometry, axes);
    } else {
        maps.first = greyMapImage(std::move(shaded.first), geometry, shaded.withoutValue, axes);
        maps.second = greyMapImage(std::move(shaded.second), geometry, shaded.withoutValue, axes);
    }
    maps.withoutValue = std::move(shaded.withoutValue);
    return maps;
}

void writeMapFiles(MapKind kind, const std::string& stem, bool twoThreads, ProgressReport& progress,
                   const std::function<std::string(int)>& encode) {
    const std::vector<MapFileName> names = mapFileNames(kind);
    const int count = static_cast<int>(names.size());
    progress.show("encoding the maps", 0, count);
    std::future<std::string> secondBytes;
    if (count == 2) {
        secondBytes = std::async(twoThreads ? std::launch::async : std::launch::deferred,
                                 [&] { return encode(1); });
    }
    const std::string firstBytes = encode(0);
    progress.show("encoding the maps", 1, count);
    const std::string secondEncoded = count == 2 ? secondBytes.get() : std::string();
    progress.show("writing the maps", 0, count);
    writeFileAtomically(stem + names[0].suffix, firstBytes);
    if (count == 2) {
        progress.show("writing the maps", 1, count);
        writeFileAtomically(stem + names[1].suffix, secondEncoded);
    }
}

void writeMapFiles(const ExpressionMaps& maps, const std::string& stem, bool twoThreads,
                   ProgressReport& progress) {
    writeMapFiles(maps.shading.kind, stem, twoThreads, progress,
                  [&](int map) { return encodePng(map == 0 ? maps.first : maps.second); });
}

void writeValuesFile(const LargeVector<ComplexValue>& values, const MapGeometry& geometry,
                     const std::string& path) {
    const std::string header = npyHeader(geometry.height, geometry.width);
    const std::string_view data(reinterpret_cast<const char*>(values.data()),
                                values.size() * sizeof(ComplexValue));
    writeFileAtomically(path, {header, data});
}

void writeRequestedValues(const FunctionRequest& request, const LargeVector<ComplexValue>& values,
                          ProgressReport& progress) {
    if (!request.dataFile.empty()) {
        progress.show("writing the values", 0, 1);
        writeValuesFile(values, request.geometry, request.dataFile);
    }
}

}  // namespace complexplot
