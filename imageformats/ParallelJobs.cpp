#include "imageformats/ParallelJobs.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace ParallelJobs {
namespace {

constexpr unsigned kMostWorkers = 8;

// Helper threads kept for the life of the process: starting a thread costs
// a stack mapping and its removal at the end, which on virtual machines take
// longer than decoding a strip. One run at a time uses them; a run that finds
// them busy (a picture loading on another thread) works alone.
class TPool {
public:
    ~TPool()
    {
        {
            const std::lock_guard<std::mutex> lock(lock_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }

    // Runs `work(worker)` on the calling thread as worker 0 and on up to
    // workers - 1 helpers; returns when all of them are done with it.
    void Run(unsigned workers, const std::function<void(unsigned worker)>& work)
    {
        std::unique_lock<std::mutex> running(runLock_, std::try_to_lock);
        const unsigned helpers = running.owns_lock() ? Start(workers - 1) : 0;
        if (helpers > 0) {
            {
                const std::lock_guard<std::mutex> lock(lock_);
                work_ = &work;
                wanted_ = helpers;
                busy_ = helpers;
                ++round_;
            }
            wake_.notify_all();
        }
        work(0);
        if (helpers > 0) {
            std::unique_lock<std::mutex> lock(lock_);
            done_.wait(lock, [this] { return busy_ == 0; });
            work_ = nullptr;
        }
    }

private:
    // Starts helpers until there are `count` (as far as the system gives
    // threads); returns how many there are.
    unsigned Start(unsigned count)
    {
        while (threads_.size() < count) {
            try {
                threads_.emplace_back([this, index = static_cast<unsigned>(threads_.size()) + 1] { Serve(index); });
            } catch (const std::system_error&) {
                break;
            }
        }
        return std::min(count, static_cast<unsigned>(threads_.size()));
    }

    void Serve(unsigned index)
    {
        std::uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(lock_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
            if (stopping_)
                return;
            seen = round_;
            if (index > wanted_)
                continue;
            const std::function<void(unsigned)>* work = work_;
            lock.unlock();
            (*work)(index);
            lock.lock();
            if (--busy_ == 0)
                done_.notify_one();
        }
    }

    std::mutex runLock_; // one run at a time
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::vector<std::thread> threads_;
    const std::function<void(unsigned)>* work_ = nullptr;
    unsigned wanted_ = 0; // helpers 1..wanted_ take part in the round
    unsigned busy_ = 0;   // helpers of the round not yet done
    std::uint64_t round_ = 0;
    bool stopping_ = false;
};

TPool& Pool()
{
    static TPool pool;
    return pool;
}

} // namespace

unsigned Workers(std::size_t count)
{
    const unsigned hardware = std::max(std::thread::hardware_concurrency(), 1u);
    return static_cast<unsigned>(std::min<std::size_t>({hardware, kMostWorkers, std::max<std::size_t>(count, 1)}));
}

void Run(std::size_t count, unsigned workers, const std::function<void(std::size_t index, unsigned worker)>& job)
{
    // Pieces are handed out one at a time, so a worker the machine's load
    // holds back takes fewer of them.
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr firstError;
    std::mutex errorLock;
    const std::function<void(unsigned)> work = [&](unsigned worker) {
        try {
            for (std::size_t index; !failed && (index = next++) < count;)
                job(index, worker);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(errorLock);
            if (!firstError)
                firstError = std::current_exception();
            failed = true;
        }
    };
    if (workers < 2)
        work(0);
    else
        Pool().Run(std::min(workers, kMostWorkers), work);
    if (firstError)
        std::rethrow_exception(firstError);
}

} // namespace ParallelJobs
