// Speed of the plot: the arithmetic alone, and the whole run with drawing.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "headless_controls.h"
#include "plot_run.h"

using namespace complexplot;

namespace {

// The preset's whole grid, evaluated and grey-mapped into an array with the
// run's own loop rules, and nothing drawn: the floor for PlotRun.
void Evaluate(benchmark::State& benchmarkState, std::int16_t index) {
    const Preset preset = LoadPreset(index);
    const WindowState range{preset.RangeMin, preset.RangeMax};
    std::vector<std::uint8_t> greys(2 * 401 * 401);
    for (auto _ : benchmarkState) {
        std::size_t cell = 0;
        const double columnBound = preset.XMax + preset.StepX;
        for (double x = preset.XMin; x <= columnBound; x += preset.StepX) {
            const double rowBound = preset.YMax + preset.StepY;
            for (double y = preset.YMin; y <= rowBound; y += preset.StepY) {
                const Complex w = EvaluatePreset(index, MakeComplex(x, y), range);
                greys[cell++] = static_cast<std::uint8_t>(GreyLevel(w.Re, range));
                greys[cell++] = static_cast<std::uint8_t>(GreyLevel(w.Im, range));
            }
        }
        benchmark::DoNotOptimize(greys.data());
        benchmark::ClobberMemory();
    }
}

// One click on raster surfaces without a window.
void PlotRun(benchmark::State& benchmarkState, std::int16_t index) {
    HeadlessControls controls;
    WindowState state;
    for (auto _ : benchmarkState) {
        Command1_Click(index, controls, state);
        benchmark::DoNotOptimize(controls.picture1().image().constBits());
    }
}

void registerAll() {
    for (std::int16_t index = 0; index < kPresetCount; ++index) {
        const std::string name(PresetName(index));
        benchmark::RegisterBenchmark(("Evaluate/" + name).c_str(), Evaluate, index)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("PlotRun/" + name).c_str(), PlotRun, index)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
