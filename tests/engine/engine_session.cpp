#include "engine_session.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace mv::test {

EngineSession::EngineSession(const std::filesystem::path& wav)
    : output_(wav.empty() ? ScopedEnv::Unset("MP3VANDREL_AUDIO_OUT")
                          : ScopedEnv("MP3VANDREL_AUDIO_OUT", "wav:" + wav.string())) {
    fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (player_new(&player_, &fd_) != XA_SUCCESS) player_ = nullptr;
}

EngineSession::~EngineSession() {
    Delete();
    if (fd_ >= 0) ::close(fd_);
}

void EngineSession::Delete() {
    if (player_) player_delete(player_);
    player_ = nullptr;
}

void EngineSession::DrainOnce(std::chrono::milliseconds wait) {
    if (!player_) return;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) return;
    std::uint64_t count = 0;
    if (::read(fd_, &count, sizeof count) < 0) {
        // Nothing to reset; the queue is drained anyway.
    }
    XA_Message m{};
    while (control_win32_params_to_message(player_, &m, XA_NOTIFY_WINDOW_MESSAGE, 0, 0) ==
           XA_SUCCESS) {
        Record r;
        r.code = m.code;
        r.u8at4 = xa_message_u8(&m, 4);
        r.s16at6 = xa_message_s16(&m, 6);
        r.u32at4 = xa_message_u32(&m, 4);
        r.u32at8 = xa_message_u32(&m, 8);
        if (m.code == XA_NOTIFY_CODEC_EQUALIZER) {
            if (m.ptr4) r.equalizer = *static_cast<const XA_EqualizerInfo*>(m.ptr4);
        } else {
            r.text4 = xa_message_text(&m, 4);
            r.text8 = xa_message_text(&m, 8);
        }
        r.at = std::chrono::steady_clock::now();
        records_.push_back(std::move(r));
    }
}

std::optional<Record> EngineSession::WaitFor(const std::function<bool(const Record&)>& match,
                                             std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (; cursor_ < records_.size(); ++cursor_) {
            if (match(records_[cursor_])) return records_[cursor_++];
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= end || !player_) return std::nullopt;
        DrainOnce(std::min(std::chrono::duration_cast<std::chrono::milliseconds>(end - now),
                           std::chrono::milliseconds(50)));
    }
}

std::optional<Record> EngineSession::WaitForState(int state, std::chrono::milliseconds timeout) {
    return WaitFor(
        [state](const Record& r) { return r.code == XA_NOTIFY_PLAYER_STATE && r.u8at4 == state; },
        timeout);
}

bool EngineSession::AckOf(int code, std::chrono::milliseconds timeout) {
    // Answers are looked for from where the last answer was found, without
    // moving the cursor: the notifications a command caused stay to be waited for.
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (; answerCursor_ < records_.size(); ++answerCursor_) {
            const Record& r = records_[answerCursor_];
            if ((r.code == XA_NOTIFY_ACK || r.code == XA_NOTIFY_NACK) && r.u8at4 == code) {
                return records_[answerCursor_++].code == XA_NOTIFY_ACK;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= end || !player_) return false;
        DrainOnce(std::min(std::chrono::duration_cast<std::chrono::milliseconds>(end - now),
                           std::chrono::milliseconds(50)));
    }
}

void EngineSession::Mark() {
    DrainOnce(std::chrono::milliseconds(0));
    cursor_ = records_.size();
    answerCursor_ = std::max(answerCursor_, cursor_);
}

bool EngineSession::Command(int code, std::chrono::milliseconds timeout) {
    return control_message_send_N(player_, code) == XA_SUCCESS && AckOf(code, timeout);
}

bool EngineSession::CommandS(int code, const std::string& s, std::chrono::milliseconds timeout) {
    return control_message_send_S(player_, code, s.c_str()) == XA_SUCCESS && AckOf(code, timeout);
}

bool EngineSession::CommandI(int code, int i) {
    return control_message_send_I(player_, code, i) == XA_SUCCESS && AckOf(code, 3s);
}

bool EngineSession::CommandSS(int code, const std::string& s1, const std::string& s2) {
    return control_message_send_SS(player_, code, s1.c_str(), s2.c_str()) == XA_SUCCESS &&
           AckOf(code, 3s);
}

bool EngineSession::CommandSI(int code, const std::string& s, int i) {
    return control_message_send_SI(player_, code, s.c_str(), i) == XA_SUCCESS && AckOf(code, 3s);
}

bool EngineSession::CommandII(int code, int i1, int i2) {
    return control_message_send_II(player_, code, i1, i2) == XA_SUCCESS && AckOf(code, 3s);
}

bool EngineSession::CommandIII(int code, int i1, int i2, int i3) {
    return control_message_send_III(player_, code, i1, i2, i3) == XA_SUCCESS && AckOf(code, 3s);
}

bool EngineSession::CommandP(int code, const void* p) {
    return control_message_send_P(player_, code, p) == XA_SUCCESS && AckOf(code, 3s);
}

}  // namespace mv::test
