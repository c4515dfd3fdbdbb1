// The floor under reading the facts of many files: per file a stat, an open
// and a read of its first 4 KiB, on as many threads as the batch uses.
//   mv-bench-read-floor [--threads N] PATH...
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "files_of.h"

int main(int argc, char** argv) {
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--threads") == 0) {
        threads = static_cast<unsigned>(std::stoi(argv[2]));
        first = 3;
    }
    const std::vector<std::string> files = FilesOf(argc, argv, first);
    std::atomic<std::size_t> next{0}, bytes{0};
    auto work = [&] {
        char buffer[4096];
        for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
            struct stat st {};
            if (::stat(files[i].c_str(), &st) != 0) continue;
            const int fd = ::open(files[i].c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) bytes += static_cast<std::size_t>(n);
            ::close(fd);
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) pool.emplace_back(work);
    for (auto& thread : pool) thread.join();
    std::printf("%zu files, %zu bytes\n", files.size(), bytes.load());
    return 0;
}
