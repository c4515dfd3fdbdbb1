#include "engine/notification_queue.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mv {

Notification::Notification(int code) {
    message_.code = code;
}

Notification& Notification::U8(int offset, std::uint8_t value) {
    message_.payload[offset - 4] = value;
    return *this;
}

Notification& Notification::S16(int offset, std::int16_t value) {
    const auto u = static_cast<std::uint16_t>(value);
    message_.payload[offset - 4] = static_cast<std::uint8_t>(u & 0xff);
    message_.payload[offset - 3] = static_cast<std::uint8_t>(u >> 8);
    return *this;
}

Notification& Notification::U32(int offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        message_.payload[offset - 4 + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xff);
    }
    return *this;
}

Notification& Notification::Text(int offset, std::string text) {
    const int slot = offset == 4 ? 0 : offset == 8 ? 1 : 2;
    texts_[slot] = std::move(text);
    hasText_[slot] = true;
    return *this;
}

Notification& Notification::Equalizer(const XA_EqualizerInfo& info) {
    equalizer_ = info;
    return *this;
}

const XA_Message& Notification::Message() {
    const void** slots[3] = {&message_.ptr4, &message_.ptr8, &message_.ptr12};
    for (int i = 0; i < 3; ++i) {
        *slots[i] = hasText_[i] ? texts_[i].c_str() : nullptr;
    }
    if (equalizer_) message_.ptr4 = &*equalizer_;
    return message_;
}

void NotificationQueue::Push(Notification notification) {
    std::lock_guard lock(mutex_);
    records_.push_back(std::move(notification));
    Signal();
}

bool NotificationQueue::Pop(XA_Message* out) {
    std::lock_guard lock(mutex_);
    if (records_.empty()) return false;
    drained_ = std::make_unique<Notification>(std::move(records_.front()));
    records_.pop_front();
    *out = drained_->Message();
    return true;
}

std::size_t NotificationQueue::Size() const {
    std::lock_guard lock(mutex_);
    return records_.size();
}

void NotificationQueue::Signal() const {
    if (notifyFd_ < 0) return;
    const std::uint64_t one = 1;
    // A full eventfd counter (never reached in practice) or a closed
    // descriptor must not stop the decoder; the records stay queued.
    while (write(notifyFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

}  // namespace mv
