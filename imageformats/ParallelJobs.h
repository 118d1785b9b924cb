#pragma once
// Independent pieces of one picture (the strips of a TIFF, say) decoded on
// several cores at once. The calling thread works as one of the workers and
// returns when every piece is done; nothing runs on after it.

#include <cstddef>
#include <functional>

namespace ParallelJobs {

// The workers worth starting for `count` pieces: the machine's hardware
// threads, at most 8 and at most one a piece; 1 runs everything on the
// calling thread.
unsigned Workers(std::size_t count);

// Runs job(index, worker) for every index below `count`, spread over
// `workers` threads; `worker` (below `workers`) tells the job whose private
// state it may use. The first exception a job throws is raised here once all
// workers stopped; the pieces not begun by then are left undone.
void Run(std::size_t count, unsigned workers, const std::function<void(std::size_t index, unsigned worker)>& job);

} // namespace ParallelJobs
