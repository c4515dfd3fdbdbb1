// The replay driver: the main of a fuzz target in a build without libFuzzer,
// so every target is built and run by the test suite and cannot rot.
//   fuzz_<name> [--runs N] [--seed S] [--max-len L] [FILE|FOLDER]...
// Runs the target on every FILE and every file of each FOLDER (in name order),
// then on N inputs (default 20000) of at most L bytes (default 4096) drawn
// from seed S (default fixed): raw bytes, line-shaped text and mutations of
// the files given. The same arguments give the same inputs on every machine
// (std::mt19937_64 is fully specified; no std distribution is used). An input
// that stops the process is kept as ./replay-crash-<input number> for
// `fuzz_<name> --runs 0 replay-crash-<n>`.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define MV_REPLAY_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MV_REPLAY_SANITIZED 1
#endif
#endif
#ifdef MV_REPLAY_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

struct ReplayOptions {
    long runs = 20000;
    uint64_t seed = 0x6d7033766e64726cULL;
    size_t maxLength = 4096;
    std::vector<std::string> paths;
};

// The input being run, for the crash handler (which may only call async-safe
// functions, so everything it needs is prepared before the input runs).
const std::string* gCurrent = nullptr;
char gCrashName[64] = "replay-crash-seed";

void KeepCurrentInput() {
    if (gCurrent == nullptr) return;
    const int fd = ::open(gCrashName, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    if (::write(fd, gCurrent->data(), gCurrent->size()) >= 0) {
        constexpr char kNote[] = "replay: the failing input is kept as ";
        (void)!::write(2, kNote, sizeof kNote - 1);
        (void)!::write(2, gCrashName, std::strlen(gCrashName));
        (void)!::write(2, "\n", 1);
    }
    ::close(fd);
}

void OnFatalSignal(int signal) {
    KeepCurrentInput();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// A sanitizer report ends in its own death callback; without sanitizers the
// usual fatal signals are caught here. SIGABRT is FUZZ_CHECK's way out.
void InstallCrashKeeper() {
    ::signal(SIGABRT, OnFatalSignal);
#ifdef MV_REPLAY_SANITIZED
    __sanitizer_set_death_callback(KeepCurrentInput);
#else
    for (int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) ::signal(s, OnFatalSignal);
#endif
}

void RunOne(const std::string& input, const char* name) {
    std::snprintf(gCrashName, sizeof gCrashName, "replay-crash-%s", name);
    gCurrent = &input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    gCurrent = nullptr;
}

bool ParseNumber(const char* text, uint64_t& out) {
    char* end = nullptr;
    out = std::strtoull(text, &end, 0);
    return end != text && *end == '\0';
}

bool ParseOptions(int argc, char** argv, ReplayOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        uint64_t value = 0;
        const bool takesValue = arg == "--runs" || arg == "--seed" || arg == "--max-len";
        if (!takesValue) {
            options.paths.emplace_back(arg);
            continue;
        }
        if (i + 1 >= argc || !ParseNumber(argv[++i], value)) {
            std::fprintf(stderr, "replay: %s needs a number\n", argv[i - 1]);
            return false;
        }
        if (arg == "--runs") options.runs = static_cast<long>(value);
        if (arg == "--seed") options.seed = value;
        if (arg == "--max-len") options.maxLength = std::max<uint64_t>(value, 1);
    }
    return true;
}

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file named, and the files of every folder named, in name order.
bool CollectFiles(const std::vector<std::string>& paths, std::vector<std::filesystem::path>& out) {
    for (const std::string& given : paths) {
        std::error_code ec;
        if (std::filesystem::is_directory(given, ec)) {
            std::vector<std::filesystem::path> inFolder;
            for (const auto& entry : std::filesystem::directory_iterator(given, ec))
                if (entry.is_regular_file()) inFolder.push_back(entry.path());
            std::sort(inFolder.begin(), inFolder.end());
            out.insert(out.end(), inFolder.begin(), inFolder.end());
        } else if (std::filesystem::is_regular_file(given, ec)) {
            out.emplace_back(given);
        } else {
            std::fprintf(stderr, "replay: no such file or folder: %s\n", given.c_str());
            return false;
        }
    }
    return true;
}

// Deterministic inputs. Lengths lean short (most bugs need few bytes) but
// reach the maximum; bytes lean toward those the readers treat specially.
class InputMaker {
  public:
    InputMaker(uint64_t seed, size_t maxLength, const std::vector<std::string>& seeds)
        : rng_(seed), maxLength_(maxLength), seeds_(seeds) {}

    std::string Next() {
        switch (Below(4)) {
            case 0:
                return Raw();
            case 1:
                return LineShaped();
            default:
                return seeds_.empty() ? LineShaped() : Mutated();
        }
    }

  private:
    uint64_t Below(uint64_t n) { return n == 0 ? 0 : rng_() % n; }
    size_t Length() { return std::min<size_t>(Below(uint64_t{1} << Below(13)), maxLength_); }

    char SpecialByte() {
        static constexpr char kBytes[] = "\n\r\t\\/:=[]; .0129\"'\xff\x80\x7f\x1b";
        static constexpr std::string_view kSpecial(kBytes, sizeof kBytes - 1);
        return Below(8) == 0 ? '\0' : kSpecial[Below(kSpecial.size())];
    }

    char AnyByte() { return Below(3) == 0 ? SpecialByte() : static_cast<char>(Below(256)); }

    std::string Raw() {
        std::string out(Length(), '\0');
        for (char& c : out) c = AnyByte();
        return out;
    }

    std::string LineShaped() {
        std::string out(Length(), '\0');
        for (char& c : out) c = Below(5) == 0 ? SpecialByte() : static_cast<char>(' ' + Below(95));
        return out;
    }

    std::string Mutated();

    std::mt19937_64 rng_;
    size_t maxLength_;
    const std::vector<std::string>& seeds_;
};

// A seed file changed in a few places: bytes replaced, put in, taken out, a
// stretch repeated, or another seed's tail spliced on.
std::string InputMaker::Mutated() {
    std::string out = seeds_[Below(seeds_.size())];
    const uint64_t edits = 1 + Below(8);
    for (uint64_t e = 0; e < edits; ++e) {
        const size_t at = Below(out.size() + 1);
        switch (Below(5)) {
            case 0:
                if (at < out.size()) out[at] = AnyByte();
                break;
            case 1:
                out.insert(at, 1, AnyByte());
                break;
            case 2:
                out.erase(at, Below(16));
                break;
            case 3:
                out.insert(at, out.substr(at, Below(64)));
                break;
            default: {
                const std::string& other = seeds_[Below(seeds_.size())];
                out = out.substr(0, at) + other.substr(Below(other.size() + 1));
            }
        }
    }
    if (out.size() > maxLength_) out.resize(maxLength_);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
    ReplayOptions options;
    std::vector<std::filesystem::path> files;
    if (!ParseOptions(argc, argv, options) || !CollectFiles(options.paths, files)) return 2;
    InstallCrashKeeper();

    std::vector<std::string> seeds;
    for (const auto& file : files) {
        seeds.push_back(ReadWhole(file));
        RunOne(seeds.back(), file.filename().c_str());
    }
    InputMaker maker(options.seed, options.maxLength, seeds);
    for (long n = 0; n < options.runs; ++n) {
        const std::string input = maker.Next();
        RunOne(input, std::to_string(n).c_str());
    }
    std::printf("replay: %zu files and %ld generated inputs passed\n", files.size(), options.runs);
    return 0;
}
