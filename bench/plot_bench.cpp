// Speed of the plot: the arithmetic alone, and the whole run with drawing.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>

#include <algorithm>
#include <cmath>
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

// The yardstick for PlotRun: the same sweep written as the simplest
// straight loop there is. The evaluator, the grey level and the box fill by
// the raster contract are inline, straight into two pixel buffers, with no
// platform interface, no virtual call and no check beyond the evaluators'.
void Bare(benchmark::State& benchmarkState, std::int16_t index) {
    const Preset preset = LoadPreset(index);
    const WindowState range{preset.RangeMin, preset.RangeMax};
    constexpr int kWidth = RasterSurface::kBaseWidth;
    constexpr int kHeight = RasterSurface::kBaseHeight;
    std::vector<std::uint32_t> real(kWidth * kHeight);
    std::vector<std::uint32_t> imaginary(kWidth * kHeight);
    // The run's frame, as the surfaces store it.
    const double left = static_cast<float>(preset.XMin);
    const double top = static_cast<float>(preset.YMax + preset.StepY);
    const double width = static_cast<float>(preset.XMax + preset.StepX - preset.XMin);
    const double height = static_cast<float>(preset.YMin - (preset.YMax + preset.StepY));
    auto pixel = [](double v, int extent) {
        return static_cast<int>(std::floor(std::clamp(v + 0.5, -1.0, static_cast<double>(extent))));
    };
    auto grey = [&](double v) {
        const double level =
            std::floor(255 * ((v - range.RangeMin) / (range.RangeMax - range.RangeMin)));
        const auto g = static_cast<std::uint32_t>(std::clamp(level, 0.0, 255.0));
        return 0xff000000u | g << 16 | g << 8 | g;
    };
    for (auto _ : benchmarkState) {
        const double columnBound = preset.XMax + preset.StepX;
        for (double x = preset.XMin; x <= columnBound; x += preset.StepX) {
            const int c1 = pixel((static_cast<float>(x) - left) * kWidth / width, kWidth);
            const int c2 =
                pixel((static_cast<float>(x + preset.StepX) - left) * kWidth / width, kWidth);
            const int firstColumn = std::max(std::min(c1, c2), 0);
            const int lastColumn = std::min(std::max(c1, c2), kWidth - 1);
            const double rowBound = preset.YMax + preset.StepY;
            for (double y = preset.YMin; y <= rowBound; y += preset.StepY) {
                const Complex w = EvaluatePreset(index, MakeComplex(x, y), range);
                const std::uint32_t realPixel = grey(w.Re);
                const std::uint32_t imaginaryPixel = grey(w.Im);
                const int r1 = pixel((static_cast<float>(y) - top) * kHeight / height, kHeight);
                const int r2 =
                    pixel((static_cast<float>(y + preset.StepY) - top) * kHeight / height, kHeight);
                const int firstRow = std::max(std::min(r1, r2), 0);
                const int lastRow = std::min(std::max(r1, r2), kHeight - 1);
                for (int row = firstRow; row <= lastRow; ++row) {
                    for (int column = firstColumn; column <= lastColumn; ++column) {
                        real[row * kWidth + column] = realPixel;
                        imaginary[row * kWidth + column] = imaginaryPixel;
                    }
                }
            }
        }
        benchmark::DoNotOptimize(real.data());
        benchmark::DoNotOptimize(imaginary.data());
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
        benchmark::RegisterBenchmark(("Bare/" + name).c_str(), Bare, index)
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
