#include "row_workers.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace complexplot {

void forEachRow(int rows, int workers, const std::function<void(int row, int worker)>& work,
                const std::function<void(int rowsDone)>& progress,
                const Cancellation* cancellation) {
    std::atomic<int> nextRow{0};
    std::atomic<int> rowsDone{0};
    std::mutex mutex;
    std::condition_variable finished;
    std::exception_ptr failure;
    int workersLeft = workers;

    auto runWorker = [&](int worker) {
        try {
            for (int row = nextRow++; row < rows; row = nextRow++) {
                if (cancellation != nullptr && cancellation->requested()) {
                    throw RenderCancelled();
                }
                work(row, worker);
                ++rowsDone;
            }
        } catch (...) {
            nextRow = rows;
            const std::lock_guard lock(mutex);
            if (!failure) {
                failure = std::current_exception();
            }
        }
        const std::lock_guard lock(mutex);
        if (--workersLeft == 0) {
            finished.notify_all();
        }
    };
    {
        std::vector<std::jthread> threads;
        threads.reserve(workers);
        for (int worker = 0; worker < workers; ++worker) {
            threads.emplace_back(runWorker, worker);
        }
        std::unique_lock lock(mutex);
        while (workersLeft > 0) {
            finished.wait_for(lock, std::chrono::milliseconds(100));
            if (progress && workersLeft > 0) {
                lock.unlock();
                progress(rowsDone);
                lock.lock();
            }
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace complexplot
