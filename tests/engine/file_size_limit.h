// Makes writes past a size fail (EFBIG) for this process and the children it
// starts meanwhile: a disk that fills up while the sound is written.
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace mv::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        // Ignored, so the write fails instead of the signal ending the
        // process (children started now inherit both).
        previousSignal_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        ::signal(SIGXFSZ, previousSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit previous_{};
    sighandler_t previousSignal_ = SIG_DFL;
};

}  // namespace mv::test
