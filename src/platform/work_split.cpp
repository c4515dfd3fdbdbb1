#include "platform/work_split.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace mv {

unsigned DefaultWorkThreads() {
    return std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
}

void SplitWork(size_t count, unsigned threads, size_t batch,
               const std::function<void(size_t begin, size_t end)>& work) {
    batch = std::max<size_t>(batch, 1);
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex mutex;
    std::exception_ptr failure;  // the first exception of any thread; guarded by mutex
    auto take = [&] {
        try {
            while (!failed.load(std::memory_order_relaxed)) {
                const size_t begin = next.fetch_add(batch);
                if (begin >= count) return;
                work(begin, std::min(count, begin + batch));
            }
        } catch (...) {
            // Escaping a helper thread would end the program.
            failed = true;
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
        }
    };
    const size_t batches = (count + batch - 1) / batch;
    threads = static_cast<unsigned>(std::clamp<size_t>(threads, 1, std::max<size_t>(1, batches)));
    {
        std::vector<std::jthread> helpers;
        try {
            helpers.reserve(threads - 1);
            for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(take);
        } catch (const std::system_error&) {
            // No thread to be had: fewer do the work.
        }
        take();
    }  // joins
    if (failure) std::rethrow_exception(failure);
}

}  // namespace mv
