// Speed of the expression language: a typed expression over a 1024 x 1024
// grid, against the yardstick of the same function written as a plain C++
// loop over std::complex at the same pixel centres. Both write into a grid
// made once, so that what is measured is the evaluation.

#include <benchmark/benchmark.h>

#include <complex>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "level_curves.h"
#include "map_geometry.h"
#include "map_shading.h"
#include "row_workers.h"
#include "value_grid.h"
#include "zeros_and_poles.h"

using namespace complexplot;

namespace {

using Formula = std::function<ComplexValue(ComplexValue)>;

struct Case {
    const char* expression;
    ComplexValue (*compiled)(ComplexValue);
};

// Written as anyone would write them in C++; the same operations in the
// same order as the language's, so that the values are equal bit for bit.
const Case kCases[] = {
    {"sin(z)", [](ComplexValue z) { return std::sin(z); }},
    {"log(z)", [](ComplexValue z) { return std::log(z); }},
    {"exp(1/z)", [](ComplexValue z) { return std::exp(1.0 / z); }},
    {"(z^2+1)/(z^2-1)",
     [](ComplexValue z) {
         const ComplexValue square = z * z;
         return (square + 1.0) / (square - 1.0);
     }},
    {"z^5-1", [](ComplexValue z) { return z * z * z * z * z - 1.0; }},
    {"atan(z)", [](ComplexValue z) { return std::atan(z); }},
    {"sqrt(z)*cos(z)", [](ComplexValue z) { return std::sqrt(z) * std::cos(z); }},
};

// 1024 x 1024 over -half ... half, both ways.
MapGeometry grid(double half = 2.0) {
    return MapGeometry{-half, half, -half, half, 1024, 1024};
}

void Expression(benchmark::State& state, const Case& c, int threads) {
    const CompiledExpression function(c.expression);
    const MapGeometry geometry = grid();
    std::vector<ComplexValue> values(static_cast<std::size_t>(geometry.width) * geometry.height);
    const std::uint64_t fallbacksBefore = scalarFallbackCount();
    for (auto _ : state) {
        computeValues(function, geometry, threads, values);
        benchmark::DoNotOptimize(values.data());
    }
    // How many points per million the vector kernels handed to the scalar
    // path (a point counts once for each operation that did).
    state.counters["scalar_per_million"] =
        static_cast<double>(scalarFallbackCount() - fallbacksBefore) * 1e6 /
        (static_cast<double>(values.size()) * static_cast<double>(state.iterations()));
}

void Compiled(benchmark::State& state, const Case& c) {
    const MapGeometry geometry = grid();
    std::vector<ComplexValue> values(static_cast<std::size_t>(geometry.width) * geometry.height);
    for (auto _ : state) {
        for (int row = 0; row < geometry.height; ++row) {
            const double y = geometry.sampleY(row);
            for (int column = 0; column < geometry.width; ++column) {
                values[static_cast<std::size_t>(row) * geometry.width + column] =
                    c.compiled(ComplexValue(geometry.sampleX(column), y));
            }
        }
        benchmark::DoNotOptimize(values.data());
    }
}

// A map from the expression to its pixels, on all cores: the values, then
// the range and the pixels of each kind, as the renderer makes them (the
// values counted for the shared range as they are made, as it does).
void ValuesAndPixels(benchmark::State& state, const char* expression, MapKind kind) {
    const CompiledExpression function(expression);
    const MapGeometry geometry = grid();
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (auto _ : state) {
        LargeVector<ComplexValue> values(static_cast<std::size_t>(geometry.width) *
                                         geometry.height);
        PartSizeTally counted(sampleValues(function, geometry, sampleStride(values.size())),
                              values.size(), threads);
        std::optional<ModulusArgumentRows> rows;
        MadeRow madeRow;
        if (kind == MapKind::realImaginary) {
            madeRow = [&](std::span<const ComplexValue> row, int worker) {
                counted.add(row, worker);
            };
        } else if (kind == MapKind::modulusArgument) {
            rows.emplace(values.size(), threads);
            madeRow = [&](std::span<const ComplexValue> row, int worker) {
                rows->add(row, static_cast<std::size_t>(row.data() - values.data()), worker);
            };
        }
        computeValues(function, geometry, threads, values, {}, nullptr, madeRow);
        MapShading shading;
        shading.kind = kind;
        ShadedMaps maps;
        if (kind == MapKind::modulusArgument) {
            maps = rows->maps(values, rows->automaticRange(), threads);
        } else {
            if (kind == MapKind::realImaginary) {
                shading.realRange = shading.imaginaryRange =
                    counted.automaticRange(values, threads);
            }
            maps = shadeMaps(values, shading, threads);
        }
        benchmark::DoNotOptimize(maps.first.data());
        benchmark::DoNotOptimize(maps.colours.data());
    }
}

// The level curves of both maps at the default levels, checks included,
// against the yardsticks of computing the same values and of a plain pass
// that reads them once, all on every core.
int everyCore() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

MapShading shadingOf(std::span<const ComplexValue> values, int threads) {
    MapShading shading;
    shading.realRange = shading.imaginaryRange = automaticRange(values, threads);
    return shading;
}

void LevelCurvesOf(benchmark::State& state, const char* expression, double half) {
    const CompiledExpression function(expression);
    const MapGeometry geometry = grid(half);
    const int threads = everyCore();
    const LargeVector<ComplexValue> values = computeValues(function, geometry, threads);
    const std::vector<LevelSet> sets = defaultLevels(shadingOf(values, threads));
    std::size_t segments = 0;
    for (auto _ : state) {
        segments = 0;
        for (const auto& curves : levelCurvesOfSets(function, geometry, values, sets, threads)) {
            for (const LevelCurve& curve : curves) {
                segments += curve.segments.size();
            }
        }
    }
    state.counters["segments"] = static_cast<double>(segments);
}

// Finding, confirming, locating and taking the residues of the zeros and
// poles, against the same yardsticks.
void ZerosAndPolesOf(benchmark::State& state, const char* expression, double half) {
    const CompiledExpression function(expression);
    const DifferentiatedExpression derivative(expression);
    const MapGeometry geometry = grid(half);
    const int threads = everyCore();
    const LargeVector<ComplexValue> values = computeValues(function, geometry, threads);
    std::size_t found = 0;
    for (auto _ : state) {
        found = findZerosAndPoles(function, derivative, geometry, values, threads).points.size();
    }
    state.counters["points"] = static_cast<double>(found);
}

void ComputeValues(benchmark::State& state, const char* expression, double half) {
    const CompiledExpression function(expression);
    const MapGeometry geometry = grid(half);
    LargeVector<ComplexValue> values(static_cast<std::size_t>(geometry.width) * geometry.height);
    for (auto _ : state) {
        computeValues(function, geometry, everyCore(), values);
        benchmark::DoNotOptimize(values.data());
    }
}

void ReadPass(benchmark::State& state, const char* expression, double half) {
    const MapGeometry geometry = grid(half);
    const LargeVector<ComplexValue> values =
        computeValues(CompiledExpression(expression), geometry, everyCore());
    std::vector<double> sums(static_cast<std::size_t>(geometry.height));
    for (auto _ : state) {
        forEachRow(geometry.height, everyCore(), [&](int row, int) {
            double sum = 0;
            for (int column = 0; column < geometry.width; ++column) {
                const ComplexValue v =
                    values[static_cast<std::size_t>(row) * geometry.width + column];
                sum += v.real() + v.imag();
            }
            sums[static_cast<std::size_t>(row)] = sum;
        });
        benchmark::DoNotOptimize(sums.data());
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (const Case& c : kCases) {
        const std::string name = c.expression;
        // Real time throughout: the work is done on other threads than the
        // one that measures.
        benchmark::RegisterBenchmark(("Compiled/" + name).c_str(), Compiled, c)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Expression/" + name).c_str(), Expression, c, 1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Expression/" + name + "/threads:2").c_str(), Expression, c,
                                     2)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    // What a map shows costs beside the values: each kind against Re and Im.
    for (const char* expression : {"sin(z)", "exp(1/z)"}) {
        for (const auto& [kind, name] : {std::pair{MapKind::realImaginary, "re-im"},
                                         std::pair{MapKind::modulusArgument, "modulus-arg"},
                                         std::pair{MapKind::phase, "phase"}}) {
            benchmark::RegisterBenchmark(
                ("ValuesAndPixels/" + std::string(expression) + "/" + name).c_str(),
                ValuesAndPixels, expression, kind)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    for (const auto& [expression, half] :
         {std::pair{"sin(z)", 2.0}, {"(z^2+1)/(z^2-1)", 2.0}, {"tan(z)", 5.0}}) {
        const std::string where = std::string(expression) + (half == 2.0 ? "" : "/-5..5");
        for (const auto& [name, run] : {std::pair{"LevelCurves/", &LevelCurvesOf},
                                        {"ZerosAndPoles/", &ZerosAndPolesOf},
                                        {"ComputeValues/", &ComputeValues},
                                        {"ReadPass/", &ReadPass}}) {
            const bool curves = name == std::string("LevelCurves/");
            if ((curves && half != 2.0) || (!curves && expression == std::string("sin(z)") &&
                                            name == std::string("ZerosAndPoles/"))) {
                continue;
            }
            benchmark::RegisterBenchmark((name + where).c_str(), run, expression, half)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
