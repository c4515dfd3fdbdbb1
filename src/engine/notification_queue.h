// Per-player queue of notification records, filled by the decoder thread and
// drained on the caller's GUI thread. The caller's eventfd is signalled after
// every push so a QSocketNotifier can wake the GUI thread.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "engine/xaudio_engine.h"

namespace mv {

// A record under construction: numbers go to their record offsets, texts and
// the equalizer are owned here until the caller has drained the record.
class Notification {
  public:
    explicit Notification(int code);

    Notification& U8(int offset, std::uint8_t value);
    Notification& S16(int offset, std::int16_t value);
    Notification& U32(int offset, std::uint32_t value);
    Notification& Text(int offset, std::string text);
    Notification& Equalizer(const XA_EqualizerInfo& info);

    int Code() const { return message_.code; }
    // The record with its pointers aimed at this object's own storage.
    const XA_Message& Message();

  private:
    XA_Message message_{};
    std::string texts_[3];
    bool hasText_[3] = {false, false, false};
    std::optional<XA_EqualizerInfo> equalizer_;
};

class NotificationQueue {
  public:
    explicit NotificationQueue(int notifyFd) : notifyFd_(notifyFd) {}

    void Push(Notification notification);
    // Moves the oldest record into the drained slot and copies it to *out;
    // false when the queue is empty. The previous drained record is freed.
    bool Pop(XA_Message* out);
    std::size_t Size() const;

  private:
    void Signal() const;

    const int notifyFd_;
    mutable std::mutex mutex_;
    std::deque<Notification> records_;
    // The record last handed out; its texts stay valid until the next Pop.
    std::unique_ptr<Notification> drained_;
};

}  // namespace mv
