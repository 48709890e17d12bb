#pragma once

#include <atomic>
#include <exception>
#include <functional>

namespace complexplot {

// A render that another thread may call off: once requested, the workers
// stop at the next block of points they start, and the render raises
// RenderCancelled instead of handing anything back.
class Cancellation {
public:
    void request() noexcept { requested_.store(true, std::memory_order_relaxed); }
    bool requested() const noexcept { return requested_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> requested_{false};
};

class RenderCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "the render was cancelled"; }
};

// Runs work(row, worker) for every row 0..rows-1, shared out over `workers`
// threads (worker is 0..workers-1), each taking the next row not yet taken.
// Each row is done exactly once, by one thread, whatever their number. While
// they work, the calling thread calls progress(rowsDone) about ten times a
// second, if given. The first exception a row raises ends the work and is
// raised again here; a cancellation ends it with RenderCancelled, once every
// worker has stopped.
void forEachRow(int rows, int workers, const std::function<void(int row, int worker)>& work,
                const std::function<void(int rowsDone)>& progress = {},
                const Cancellation* cancellation = nullptr);

}  // namespace complexplot
