// Prints every file named (folders walked) on N threads, without a cache:
// the printing throughput to set beside fpcalc's on the same files.
//   mv-bench-print [--threads N] FILE|FOLDER...
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "../media/files_of.h"
#include "media/sound_print.h"

int main(int argc, char** argv) {
    int first = 1;
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    if (argc > 2 && std::strcmp(argv[1], "--threads") == 0) {
        threads = static_cast<unsigned>(std::max(1, std::atoi(argv[2])));
        first = 3;
    }
    const std::vector<std::string> files = FilesOf(argc, argv, first);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> printed{0};
    std::atomic<long long> items{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            for (std::size_t i = next++; i < files.size(); i = next++) {
                const mv::SoundPrintResult r = mv::ReadSoundPrint({files[i]});
                if (r.status != mv::SoundPrintStatus::Printed) continue;
                ++printed;
                items += static_cast<long long>(r.print.items.size());
            }
        });
    }
    for (auto& worker : workers) worker.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu of %zu files printed (%lld items) in %.2f s on %u threads: %.1f files/s\n",
                printed.load(), files.size(), items.load(), seconds, threads,
                static_cast<double>(printed.load()) / seconds);
    return printed == files.size() ? 0 : 1;
}
