#include "map_renderer.h"

#include "level_lines.h"

#include <QMetaType>
#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>

#include "compiled_expression.h"
#include "differentiated_expression.h"
#include "expression_message.h"
#include "value_grid.h"

namespace complexplot {

namespace {

// The coarse pass: the same view at a quarter of the resolution each way.
// A map as the screen shows it, 32-bit RGB, converted row by row here:
// Qt's own conversion hands a large image to a thread pool and, when no
// thread can be started, waits for it forever; and it gives a null image
// where memory runs out, which this reports.
QImage screenCopy(const QImage& map) {
    if (map.isNull()) {
        return {};
    }
    QImage shown(map.size(), QImage::Format_RGB32);
    if (shown.isNull()) {
        throw std::bad_alloc();
    }
    const int width = map.width();
    const bool grey = map.format() == QImage::Format_Grayscale8;
    for (int row = 0; row < map.height(); ++row) {
        const uchar* in = map.constScanLine(row);
        auto* out = reinterpret_cast<QRgb*>(shown.scanLine(row));
        if (grey) {
            for (int column = 0; column < width; ++column) {
                out[column] = 0xff000000u | 0x010101u * in[column];
            }
        } else {
            for (int column = 0; column < width; ++column) {
                out[column] = qRgb(in[3 * column], in[3 * column + 1], in[3 * column + 2]);
            }
        }
    }
    return shown;
}

MapGeometry coarseView(const MapGeometry& view) {
    MapGeometry coarse = view;
    coarse.width = std::max(1, view.width / 4);
    coarse.height = std::max(1, view.height / 4);
    return coarse;
}

FunctionRequest requestFor(const RenderJob& job, const MapGeometry& view) {
    FunctionRequest request;
    request.expression = job.expression;
    request.geometry = view;
    request.threads = MapRenderer::workerThreads();
    request.show = job.show;
    request.greys = job.show == MapKind::realImaginary ? job.greys : GreyCurve::linear;
    request.symlogScale = job.symlogScale;
    request.contours = job.contours;
    // Only for an f that may be meromorphic; the window says why not.
    request.zeros =
        job.zeros && !DifferentiatedExpression(job.expression).nonAnalyticOperation().has_value();
    if (job.show == MapKind::phase) {
        return request;
    }
    if (job.show == MapKind::modulusArgument) {
        if (job.range.fixed && job.range.real.low > 0) {
            request.range = job.range.real;
        }
        return request;
    }
    request.rangeForEach = job.range.forEach;
    if (job.range.fixed && job.range.forEach) {
        request.realRange = job.range.real;
        request.imaginaryRange = job.range.imaginary;
    } else if (job.range.fixed) {
        request.range = job.range.real;
    }
    return request;
}

}  // namespace

MapRenderer::MapRenderer(QObject* parent) : QObject(parent) {
    qRegisterMetaType<std::shared_ptr<const RenderedMaps>>();
}

MapRenderer::~MapRenderer() {
    stop();
}

int MapRenderer::workerThreads() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency() - 1));
}

int MapRenderer::finishingThreads() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

bool MapRenderer::fullPassIsSlow(const RenderJob& job) {
    // A frame at 60 Hz: a full pass within it shows no later than a coarse
    // one would, and the coarse pass and its painting would delay it.
    constexpr double kFrame = 1.0 / 60;
    const double points = static_cast<double>(job.view.width) * job.view.height;
    const std::lock_guard lock(costMutex_);
    return job.expression != costedExpression_ || secondsPerPoint_ * points > kFrame;
}

void MapRenderer::noteFullPass(const std::string& expression, double seconds, std::size_t points) {
    const std::lock_guard lock(costMutex_);
    costedExpression_ = expression;
    secondsPerPoint_ = seconds / static_cast<double>(std::max<std::size_t>(points, 1));
}

void MapRenderer::render(const RenderJob& job) {
    for (Worker& worker : workers_) {
        worker.cancellation->request();
    }
    reapFinished();
    Worker worker;
    worker.cancellation = std::make_shared<Cancellation>();
    worker.done = std::make_shared<std::atomic<bool>>(false);
    const bool coarseFirst = fullPassIsSlow(job);
    try {
        worker.thread = std::thread(
            [this, job, coarseFirst, cancellation = worker.cancellation, done = worker.done] {
                run(job, coarseFirst, *cancellation);
                done->store(true);
            });
    } catch (const std::system_error& error) {
        // No thread to be had (memory or processes run short): said, and
        // the last maps stay.
        emit failed(job.id, tr("cannot start a thread: %1").arg(error.what()));
        return;
    }
    workers_.push_back(std::move(worker));
}

void MapRenderer::stop() {
    for (Worker& worker : workers_) {
        worker.cancellation->request();
    }
    for (Worker& worker : workers_) {
        worker.thread.join();
    }
    workers_.clear();
}

void MapRenderer::reapFinished() {
    for (auto worker = workers_.begin(); worker != workers_.end();) {
        if (worker->done->load()) {
            worker->thread.join();
            worker = workers_.erase(worker);
        } else {
            ++worker;
        }
    }
}

void MapRenderer::run(const RenderJob& job, bool coarseFirst, const Cancellation& cancellation) {
    try {
        const CompiledExpression function(job.expression);
        for (const bool coarse : {true, false}) {
            if (coarse && !coarseFirst) {
                continue;
            }
            const auto start = std::chrono::steady_clock::now();
            const MapGeometry view = coarse ? coarseView(job.view) : job.view;
            const FunctionRequest request = requestFor(job, view);
            auto progress = [&](int rowsDone) {
                if (!coarse) {
                    emit progressed(job.id, rowsDone, view.height);
                }
            };
            LargeVector<ComplexValue> values =
                computeValues(function, view, request.threads, progress, &cancellation);
            if (cancellation.requested()) {
                return;
            }
            auto result = std::make_shared<RenderedMaps>();
            result->id = job.id;
            result->coarse = coarse;
            result->request = request;
            FunctionRequest finishing = request;
            finishing.threads = finishingThreads();
            result->maps = mapsOfValues(std::move(values), finishing, job.axes, nullptr);
            // The screen shows each map with its level curves and the
            // marks of the zeros and poles, if any.
            const auto shown = [&](const QImage& map, std::size_t index) {
                const auto& curves = result->maps.curves;
                const auto& marks = result->maps.marks;
                return !map.isNull() && (index < curves.size() || !marks.empty())
                           ? withCurvesAndMarks(
                                 map, index < curves.size() ? &curves[index] : nullptr, marks)
                           : screenCopy(map);
            };
            result->realShown = shown(result->maps.first, 0);
            result->imaginaryShown = shown(result->maps.second, 1);
            if (cancellation.requested()) {
                return;
            }
            if (!coarse) {
                noteFullPass(
                    job.expression,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                    result->maps.values.size());
            }
            emit rendered(std::shared_ptr<const RenderedMaps>(std::move(result)));
        }
    } catch (const RenderCancelled&) {
    } catch (const ExpressionError& error) {
        emit failed(job.id, translatedText(error));
    } catch (const std::bad_alloc&) {
        emit failed(job.id, tr("out of memory for maps of this size"));
    } catch (const std::system_error& error) {
        emit failed(job.id, tr("cannot start a thread: %1").arg(error.what()));
    }
}

}  // namespace complexplot
