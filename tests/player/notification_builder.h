#pragma once

#include <cstdint>
#include <cstring>

#include "engine/xaudio_engine.h"

// Crafts notification records as the engine lays them out: numbers at their
// byte offsets (little-endian), texts and references in the pointer fields.
class NotificationBuilder {
  public:
    explicit NotificationBuilder(int32_t code) { msg_.code = code; }

    NotificationBuilder& U8(int offset, uint8_t value) {
        msg_.payload[offset - 4] = value;
        return *this;
    }
    NotificationBuilder& S16(int offset, int16_t value) {
        const auto bits = static_cast<uint16_t>(value);
        U8(offset, static_cast<uint8_t>(bits & 0xFF));
        return U8(offset + 1, static_cast<uint8_t>(bits >> 8));
    }
    NotificationBuilder& U32(int offset, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            U8(offset + i, static_cast<uint8_t>(value >> (8 * i)));
        }
        return *this;
    }
    // A text or reference that the 32-bit record keeps at `offset` (4, 8, 12).
    NotificationBuilder& Ref(int offset, const void* pointer) {
        (offset == 4 ? msg_.ptr4 : offset == 8 ? msg_.ptr8 : msg_.ptr12) = pointer;
        return *this;
    }

    operator const XA_Message&() const { return msg_; }

  private:
    XA_Message msg_{};
};
