#include "media/sound_print.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "media/chromaprint_library.h"
#include "platform/owned_fd.h"

namespace mv {

namespace {

constexpr char kNotMpeg[] = "not MPEG audio";
// Chromaprint works at 11025 Hz; decoding at half rate (when that stays at or
// above it) skips half of libmpg123's synthesis for the same print.
constexpr long kPrintRate = 11025;

struct HandleCloser {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Decoder = std::unique_ptr<mpg123_handle, HandleCloser>;

// Only a context the loaded library made is ever freed.
struct ContextFree {
    void operator()(ChromaprintContext* ctx) const { Chromaprint()->destroy(ctx); }
};
using Printer = std::unique_ptr<ChromaprintContext, ContextFree>;

SoundPrintResult Refused(SoundPrintStatus status, std::string problem) {
    SoundPrintResult result;
    result.status = status;
    result.problem = std::move(problem);
    return result;
}

// A decoder on `fd` giving mono 16-bit samples, at half rate when `halfRate`.
Decoder OpenDecoder(int fd, bool halfRate) {
    int error = MPG123_OK;
    Decoder handle(mpg123_new(nullptr, &error));
    if (!handle) return nullptr;
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_MONO_MIX, 0.0);
    mpg123_param(handle.get(), MPG123_DOWN_SAMPLE, halfRate ? 1 : 0, 0.0);
    mpg123_format_none(handle.get());
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) {
        mpg123_format(handle.get(), rates[i], MPG123_MONO, MPG123_ENC_SIGNED_16);
    }
    if (::lseek(fd, 0, SEEK_SET) != 0 || mpg123_open_fd(handle.get(), fd) != MPG123_OK) {
        return nullptr;
    }
    return handle;
}

// The rate libmpg123 decodes at; 0 when it finds no MPEG audio.
long DecodedRate(mpg123_handle* handle) {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK) return 0;
    return channels == 1 && encoding == MPG123_ENC_SIGNED_16 ? rate : 0;
}

// Feeds up to `maxSeconds` of decoded sound to `ctx`; the samples fed, or -1
// (problem set) on a decoder error before any sound.
long long Feed(const ChromaprintApi& api, mpg123_handle* handle, ChromaprintContext* ctx, long rate,
               int maxSeconds, std::string& problem) {
    const long long limit = static_cast<long long>(rate) * maxSeconds;
    long long fed = 0;
    std::int16_t buffer[8192];
    while (fed < limit) {
        size_t bytes = 0;
        const int rc = mpg123_read(handle, buffer, sizeof buffer, &bytes);
        long long samples = static_cast<long long>(bytes / sizeof(std::int16_t));
        if (fed + samples > limit) samples = limit - fed;
        if (samples > 0 && !api.feed(ctx, buffer, static_cast<int>(samples))) {
            problem = "the print could not be made";
            return -1;
        }
        fed += samples;
        if (rc == MPG123_DONE) break;
        // A damaged stretch late in a file still leaves a print of what came before.
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            if (fed == 0) problem = mpg123_plain_strerror(rc);
            break;
        }
    }
    return fed;
}

SoundPrintResult PrintOpened(int fd, int maxSeconds) {
    std::string problem;
    const ChromaprintApi* api = Chromaprint(&problem);
    if (api == nullptr) return Refused(SoundPrintStatus::Unreadable, problem);
    Decoder decoder = OpenDecoder(fd, false);
    long rate = decoder ? DecodedRate(decoder.get()) : 0;
    if (rate == 0) return Refused(SoundPrintStatus::NotMpegAudio, kNotMpeg);
    if (rate / 2 >= kPrintRate) {
        decoder = OpenDecoder(fd, true);
        rate = decoder ? DecodedRate(decoder.get()) : 0;
        if (rate == 0) return Refused(SoundPrintStatus::Unreadable, "the decoder failed");
    }
    Printer ctx(api->create(CHROMAPRINT_ALGORITHM_DEFAULT));
    if (!ctx || !api->start(ctx.get(), static_cast<int>(rate), 1)) {
        return Refused(SoundPrintStatus::Unreadable, "the print could not be started");
    }
    const long long fed = Feed(*api, decoder.get(), ctx.get(), rate, maxSeconds, problem);
    if (fed <= 0) {
        return Refused(
            problem.empty() ? SoundPrintStatus::NotMpegAudio : SoundPrintStatus::Unreadable,
            problem.empty() ? kNotMpeg : problem);
    }
    std::uint32_t* raw = nullptr;
    int size = 0;
    if (!api->finish(ctx.get()) || !api->rawFingerprint(ctx.get(), &raw, &size)) {
        return Refused(SoundPrintStatus::Unreadable, "the print could not be made");
    }
    SoundPrintResult result;
    result.status = SoundPrintStatus::Printed;
    result.print.items.assign(raw, raw + size);
    result.print.durationMs = fed * 1000 / rate;
    api->dealloc(raw);
    return result;
}

}  // namespace

SoundPrintResult ReadSoundPrint(const SoundPrintParams& params) {
    try {
        const OwnedFd fd(::open(params.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (fd.get() < 0) return Refused(SoundPrintStatus::Unreadable, std::strerror(errno));
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0) {
            return Refused(SoundPrintStatus::Unreadable, std::strerror(errno));
        }
        if (!S_ISREG(st.st_mode)) {
            return Refused(SoundPrintStatus::Unreadable,
                           S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file");
        }
        SoundPrintResult result = st.st_size == 0
                                      ? Refused(SoundPrintStatus::NotMpegAudio, kNotMpeg)
                                      : PrintOpened(fd.get(), params.maxSeconds);
        result.key = FileKeyOf(st);
        result.keyed = true;
        return result;
    } catch (const std::exception& e) {
        return Refused(SoundPrintStatus::Unreadable, e.what());
    }
}

double SoundPrintItemMs() {
    static const double ms = [] {
        const ChromaprintApi* api = Chromaprint();
        Printer ctx(api != nullptr ? api->create(CHROMAPRINT_ALGORITHM_DEFAULT) : nullptr);
        if (!ctx) return 1365.0 * 1000.0 / 11025.0;  // the default algorithm's figures
        return api->itemDuration(ctx.get()) * 1000.0 / api->sampleRate(ctx.get());
    }();
    return ms;
}

}  // namespace mv
