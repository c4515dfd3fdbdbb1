#include "engine/speed_resampler.h"

#include <syn123.h>

#include <cmath>

namespace mv {

SpeedResampler::~SpeedResampler() {
    if (handle_) syn123_del(handle_);
}

void SpeedResampler::Configure(long rate, int channels, double factor, long outRate) {
    if (outRate <= 0) outRate = rate;
    if (rate == rate_ && channels == channels_ && factor == factor_ && outRate == outRate_) return;
    if (channels != channels_ && handle_) {
        syn123_del(handle_);
        handle_ = nullptr;
    }
    rate_ = rate;
    channels_ = channels;
    factor_ = factor;
    outRate_ = outRate;
    ready_ = false;
    if ((factor_ == 1.0 && outRate_ == rate_) || rate_ <= 0 || channels_ <= 0) return;
    if (!handle_) handle_ = syn123_new(rate_, channels_, MPG123_ENC_FLOAT_32, 0, nullptr);
    if (!handle_) return;
    const long inRate = std::lround(static_cast<double>(rate_) * factor_);
    ready_ = syn123_setup_resample(handle_, inRate, outRate_, channels_, 0, 1) == SYN123_OK;
}

void SpeedResampler::Process(std::vector<float>& in, std::vector<float>& out) {
    if (channels_ <= 0) return;
    const std::size_t frames = in.size() / static_cast<std::size_t>(channels_);
    if (!ready_) {
        out.insert(out.end(), in.begin(), in.end());
        return;
    }
    const long inRate = std::lround(static_cast<double>(rate_) * factor_);
    const std::size_t capacity = syn123_resample_count(inRate, outRate_, frames);
    const std::size_t start = out.size();
    out.resize(start + capacity * static_cast<std::size_t>(channels_));
    const std::size_t produced = syn123_resample(handle_, out.data() + start, in.data(), frames);
    out.resize(start + produced * static_cast<std::size_t>(channels_));
}

void SpeedResampler::Reset() {
    // Forget the filter history (after a seek or a new file).
    const double factor = factor_;
    // Zero rates clear the resampler's state (the call reports a bad format).
    if (handle_) syn123_setup_resample(handle_, 0, 0, 0, 0, 0);
    factor_ = 0;
    Configure(rate_, channels_, factor, outRate_);
}

}  // namespace mv
