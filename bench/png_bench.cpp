// Speed of the PNG writer on the maps of a 2048 x 2048 render: a grey map
// (Re sin z) and an RGB one (the same with axes), against the yardstick of
// deflating the same rows, each with its filter byte and the filter
// applied, at the writer's level (Deflate), and of zlib's fastest level,
// which the writer used before (DeflateZlib). The difference is what the
// writer costs around the compression.

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <QGuiApplication>
#include <sstream>
#include <vector>

#include "compiled_expression.h"
#include "function_maps.h"
#include "png_file.h"

using namespace complexplot;

namespace {

QImage mapOf(bool axes) {
    FunctionRequest request;
    request.expression = "sin(z)";
    request.geometry.x0 = -2;
    request.geometry.x1 = 2;
    request.geometry.y0 = -2;
    request.geometry.y1 = 2;
    request.geometry.width = 2048;
    request.geometry.height = 2048;
    request.threads = 2;
    LargeVector<ComplexValue> values =
        computeValues(CompiledExpression(request.expression), request.geometry, 2);
    return mapsOfValues(std::move(values), request, axes, nullptr).first;
}

// The rows as PNG filters them with Sub: each byte less the one a pixel to
// its left, after a filter-type byte.
std::vector<unsigned char> subFilteredRows(const QImage& image) {
    const int pixelBytes = image.format() == QImage::Format_Grayscale8 ? 1 : 3;
    const int rowBytes = image.width() * pixelBytes;
    std::vector<unsigned char> rows;
    rows.reserve(static_cast<std::size_t>(rowBytes + 1) * image.height());
    for (int row = 0; row < image.height(); ++row) {
        const uchar* line = image.constScanLine(row);
        rows.push_back(1);
        for (int k = 0; k < rowBytes; ++k) {
            rows.push_back(
                static_cast<unsigned char>(line[k] - (k >= pixelBytes ? line[k - pixelBytes] : 0)));
        }
    }
    return rows;
}

void Deflate(benchmark::State& state, bool axes) {
    const std::vector<unsigned char> rows = subFilteredRows(mapOf(axes));
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(kPngDeflateLevel);
    std::vector<unsigned char> out(libdeflate_zlib_compress_bound(compressor, rows.size()));
    for (auto _ : state) {
        const std::size_t bytes =
            libdeflate_zlib_compress(compressor, rows.data(), rows.size(), out.data(), out.size());
        state.counters["bytes"] = static_cast<double>(bytes);
    }
    libdeflate_free_compressor(compressor);
}

void DeflateZlib(benchmark::State& state, bool axes) {
    const std::vector<unsigned char> rows = subFilteredRows(mapOf(axes));
    std::vector<unsigned char> out(compressBound(rows.size()));
    for (auto _ : state) {
        z_stream stream{};
        deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
        stream.next_in = const_cast<unsigned char*>(rows.data());
        stream.avail_in = static_cast<uInt>(rows.size());
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        deflate(&stream, Z_FINISH);
        state.counters["bytes"] = static_cast<double>(stream.total_out);
        deflateEnd(&stream);
    }
}

void EncodePng(benchmark::State& state, bool axes) {
    const QImage map = mapOf(axes);
    for (auto _ : state) {
        const QByteArray bytes = encodePng(map);
        state.counters["bytes"] = static_cast<double>(bytes.size());
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    for (const bool axes : {false, true}) {
        const std::string kind = axes ? "/rgb" : "/grey";
        benchmark::RegisterBenchmark(("Deflate" + kind).c_str(), Deflate, axes)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("DeflateZlib" + kind).c_str(), DeflateZlib, axes)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("EncodePng" + kind).c_str(), EncodePng, axes)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
