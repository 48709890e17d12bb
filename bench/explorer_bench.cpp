// Speed of the explorer, offscreen, on maps of 1024 x 768 with all cores:
// a view change until its maps are repainted at rest (FullPass) against
// computeValues for the same maps and threads (Compute); for a function
// slow enough that a coarse pass is drawn first, that pass until it is on
// screen (CoarsePass) against its full pass; the longest time the event loop does
// not turn while a 2048 x 2048 render runs (EventLoopGap, a counter); and a
// new view until the last worker of the old render has stopped (Cancel).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <memory>
#include <thread>

#include "compiled_expression.h"
#include "explorer_window.h"
#include "map_renderer.h"
#include "value_grid.h"

using namespace complexplot;

namespace {

const char* const kExpressions[] = {"sin(z)", "exp(1/z)", "(z^2+1)/(z^2-1)"};
constexpr int kWidth = 1024;
constexpr int kHeight = 768;
// Slow enough that a render of 2048 x 2048 takes seconds.
const char* const kSlowExpression = "atan(sin(z))^3+exp(1/z)*log(z)";

MapGeometry benchView() {
    MapGeometry view;
    view.x0 = -2;
    view.x1 = 2;
    view.y0 = -1.5;
    view.y1 = 1.5;
    view.width = kWidth;
    view.height = kHeight;
    return view;
}

// A render of 2048 x 2048 points of a slow expression: seconds of work.
RenderJob slowJob() {
    RenderJob job;
    job.id = 1;
    job.expression = kSlowExpression;
    job.view = benchView();
    job.view.width = 2048;
    job.view.height = 2048;
    return job;
}

// An explorer whose maps are 1024 x 768, drawn at rest.
std::unique_ptr<ExplorerWindow> openExplorer(const char* expression) {
    ExplorerStart start;
    start.expression = expression;
    start.view = benchView();
    start.sized = true;
    auto window = std::make_unique<ExplorerWindow>(start);
    window->show();
    const QSize have = window->canvas()->mapPixels();
    window->resize(window->size() + QSize(2 * (kWidth - have.width()), kHeight - have.height()));
    QElapsedTimer waited;
    waited.start();
    while (window->canvas()->restingMaps() == nullptr ||
           window->canvas()->mapPixels() != QSize(kWidth, kHeight)) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (waited.elapsed() > 60000) {
            break;
        }
    }
    return window;
}

// Turns the event loop until the condition holds, then once more, so that
// what it shows is painted. Between events the thread sleeps, as the
// program's own loop does: a loop that spins would take a core from the
// workers.
template <typename Condition>
void turnUntil(Condition condition) {
    while (!condition()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QApplication::processEvents();
}

void FullPass(benchmark::State& state, const char* expression) {
    const auto window = openExplorer(expression);
    if (window->canvas()->mapPixels() != QSize(kWidth, kHeight)) {
        state.SkipWithError("the maps did not reach 1024 x 768");
        return;
    }
    double direction = 1;
    for (auto _ : state) {
        window->panBy(direction, 0);
        direction = -direction;
        turnUntil([&] { return window->canvas()->restingMaps() != nullptr; });
    }
}

void CoarsePass(benchmark::State& state, const char* expression) {
    const auto window = openExplorer(expression);
    double direction = 1;
    for (auto _ : state) {
        window->panBy(direction, 0);
        direction = -direction;
        turnUntil([&] {
            return window->canvas()->hasCoarseMaps() || window->canvas()->restingMaps() != nullptr;
        });
        state.PauseTiming();
        turnUntil([&] { return window->canvas()->restingMaps() != nullptr; });
        state.ResumeTiming();
    }
}

void Compute(benchmark::State& state, const char* expression) {
    const CompiledExpression function(expression);
    const MapGeometry view = benchView();
    LargeVector<ComplexValue> values(static_cast<std::size_t>(kWidth) * kHeight);
    for (auto _ : state) {
        computeValues(function, view, MapRenderer::workerThreads(), values);
        benchmark::DoNotOptimize(values.data());
    }
}

// The longest stretch in which a timer of 1 ms could not fire while a
// render of 2048 x 2048 runs.
void EventLoopGap(benchmark::State& state) {
    for (auto _ : state) {
        MapRenderer renderer;
        bool done = false;
        QObject::connect(&renderer, &MapRenderer::rendered,
                         [&](std::shared_ptr<const RenderedMaps> maps) { done = !maps->coarse; });
        const RenderJob job = slowJob();
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longest = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        tick.start();
        last = clock.nsecsElapsed();
        renderer.render(job);
        while (!done) {
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        state.counters["longest_gap_ms"] = static_cast<double>(longest) / 1e6;
    }
}

// From a new render to the last worker of the old one stopped.
void Cancel(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        MapRenderer renderer;
        renderer.render(slowJob());
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        state.ResumeTiming();
        renderer.stop();
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    for (const char* expression : kExpressions) {
        benchmark::RegisterBenchmark((std::string("FullPass/") + expression).c_str(), FullPass,
                                     expression)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("Compute/") + expression).c_str(), Compute,
                                     expression)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    // A full pass within a frame has no coarse pass before it.
    using Pass = void (*)(benchmark::State&, const char*);
    const std::pair<const char*, Pass> slowPasses[] = {{"CoarsePass/", CoarsePass},
                                                       {"FullPass/", FullPass}};
    for (const auto& [name, pass] : slowPasses) {
        benchmark::RegisterBenchmark((std::string(name) + kSlowExpression).c_str(), pass,
                                     kSlowExpression)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("EventLoopGap", EventLoopGap)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
    benchmark::RegisterBenchmark("Cancel", Cancel)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
