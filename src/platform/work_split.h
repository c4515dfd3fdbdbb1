#pragma once

#include <cstddef>
#include <functional>

namespace mv {

// The number of threads a long piece of work is given when the caller leaves
// it open: two at most, as the program's other long work is sized for.
unsigned DefaultWorkThreads();

// Calls work(begin, end) on consecutive batches of at most `batch` indexes
// until [0, count) is covered, on up to `threads` threads; the calling thread
// is one of them, so with one thread (or a thread that cannot be started)
// everything runs here, in order. Batches are taken in rising order. When
// `work` throws on any thread, no further batch is started and the first
// exception is thrown again here once every thread has ended.
void SplitWork(size_t count, unsigned threads, size_t batch,
               const std::function<void(size_t begin, size_t end)>& work);

}  // namespace mv
