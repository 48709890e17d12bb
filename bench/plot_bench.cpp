// Speed of the plot: the arithmetic alone, and the whole run with drawing.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>

#include <cstdint>
#include <vector>

#include "headless_controls.h"
#include "main_window.h"
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

// One click on a button of the window, offscreen, from the click until the
// handler returns: with the 101 or 401 turns of caption, repaint and events.
void ClickRun(benchmark::State& benchmarkState, frmMain* window, std::int16_t index) {
    QPushButton* button = window->Command1(index);
    for (auto _ : benchmarkState) {
        button->click();
    }
}

void registerAll(frmMain* window) {
    for (std::int16_t index = 0; index < kPresetCount; ++index) {
        const std::string name(PresetName(index));
        benchmark::RegisterBenchmark(("Evaluate/" + name).c_str(), Evaluate, index)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("PlotRun/" + name).c_str(), PlotRun, index)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ClickRun/" + name).c_str(), ClickRun, window, index)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The window is measured offscreen, whatever display there is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    frmMain window;
    window.show();
    QCoreApplication::processEvents();
    registerAll(&window);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
