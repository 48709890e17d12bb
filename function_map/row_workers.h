#pragma once

#include <functional>

namespace complexplot {

// Runs work(row, worker) for every row 0..rows-1, shared out over `workers`
// threads (worker is 0..workers-1), each taking the next row not yet taken.
// Each row is done exactly once, by one thread, whatever their number. While
// they work, the calling thread calls progress(rowsDone) about ten times a
// second, if given. The first exception a row raises ends the work and is
// raised again here.
void forEachRow(int rows, int workers, const std::function<void(int row, int worker)>& work,
                const std::function<void(int rowsDone)>& progress = {});

}  // namespace complexplot
