#pragma once

#include <QImage>
#include <QObject>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "function_maps.h"
#include "map_geometry.h"
#include "row_workers.h"

namespace complexplot {

// How the greys are chosen: worked out from the values (one range for both
// maps, or one for each), or fixed.
struct RangeSetting {
    bool fixed = false;
    bool forEach = false;
    GreyRange real;       // when fixed: the real map's, or both maps'
    GreyRange imaginary;  // when fixed for each map: the imaginary map's
};

// What a render draws.
struct RenderJob {
    std::uint64_t id = 0;
    std::string expression;
    MapGeometry view;
    RangeSetting range;
    // What the maps show; with |f| and arg a fixed range is |f|'s and one
    // for both, and the phase portrait has none.
    MapKind show = MapKind::realImaginary;
    GreyCurve greys = GreyCurve::linear;
    std::optional<double> symlogScale;  // automatic unless given
    bool contours = false;              // level curves at the default levels
    bool zeros = false;                 // zeros and poles, where f is meromorphic
    bool axes = false;
};

// The maps of one pass of a render: the coarse one, at a quarter of the
// resolution each way, or the full one.
struct RenderedMaps {
    std::uint64_t id = 0;
    bool coarse = false;
    FunctionRequest request;  // the view and the ranges as drawn
    FunctionMaps maps;
    // The maps as the screen takes them, converted on the worker so that
    // painting is a copy; the second null beside the phase portrait.
    QImage realShown;
    QImage imaginaryShown;
};

// Draws maps on worker threads, never on the caller's: each render computes
// on all cores but one, a coarse pass first unless the full one is due
// within a frame, and a new render cancels the one in progress within a
// block of points per worker. The results come back as signals, in the
// thread the renderer lives in.
class MapRenderer : public QObject {
    Q_OBJECT

public:
    explicit MapRenderer(QObject* parent = nullptr);
    ~MapRenderer() override;

    void render(const RenderJob& job);
    // Stops the render in progress and waits for its threads.
    void stop();
    // The threads a pass computes with.
    static int workerThreads();
    // The threads that turn the values into maps: all cores, since the
    // window waits for the maps and this is brief.
    static int finishingThreads();

signals:
    void rendered(std::shared_ptr<const RenderedMaps> maps);
    void progressed(quint64 id, int rowsDone, int rows);
    void failed(quint64 id, const QString& message);

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<Cancellation> cancellation;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void run(const RenderJob& job, bool coarseFirst, const Cancellation& cancellation);
    void reapFinished();
    // Whether the full pass of the job is expected to take longer than a
    // frame, from the last full pass of the same expression.
    bool fullPassIsSlow(const RenderJob& job);
    void noteFullPass(const std::string& expression, double seconds, std::size_t points);

    std::list<Worker> workers_;
    std::mutex costMutex_;
    std::string costedExpression_;
    double secondsPerPoint_ = 0;
};

}  // namespace complexplot
