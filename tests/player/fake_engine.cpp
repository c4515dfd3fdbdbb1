// A stand-in for the engine library: records what it is asked, reports the
// version it is built with, and hands out records that tests queue.
#include <unistd.h>

#include <cstdint>

#include "fake_engine_control.h"

#ifndef FAKE_VERSION_MINOR
#define FAKE_VERSION_MINOR 8
#endif

namespace {

FakeEngineState& State() {
    static FakeEngineState state;
    return state;
}

XA_Player* ThePlayer() {
    return reinterpret_cast<XA_Player*>(&State());
}

int Record(XA_Player* player, FakeCommand command) {
    if (player != ThePlayer()) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    State().commands.push_back(std::move(command));
    return State().sendResult;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) FakeEngineState* fake_engine_state() {
    return &State();
}

__attribute__((visibility("default"))) void fake_engine_push(const XA_Message* msg) {
    State().queue.push_back(*msg);
    const uint64_t one = 1;
    if (State().notifyFd >= 0) {
        [[maybe_unused]] ssize_t n = ::write(State().notifyFd, &one, sizeof one);
    }
}

int player_new(XA_Player** player, const int* notify_fd) {
    ++State().playerNewCalls;
    if (State().playerNewResult != 0) {
        return State().playerNewResult;
    }
    State().notifyFd = notify_fd != nullptr ? *notify_fd : -1;
    *player = ThePlayer();
    return 0;
}

int player_delete(XA_Player* player) {
    if (player == ThePlayer()) {
        ++State().playerDeleteCalls;
        if (State().deleteCounter != nullptr) {
            ++*State().deleteCounter;
        }
        State().notifyFd = -1;
    }
    return 0;
}

int player_set_priority(XA_Player*, int priority) {
    State().priorityWrites.push_back(priority);
    State().priority = priority;
    return 0;
}

int player_get_priority(XA_Player*) {
    return State().priority;
}

const char* xaudio_error_string(int code) {
    return code == -4 ? "not supported" : "other";
}

unsigned long xaudio_get_version(int component) {
    State().versionComponents.push_back(component);
    return (3ul << 16) | (static_cast<unsigned long>(FAKE_VERSION_MINOR) << 8) | 0x42;
}

int control_message_send_N(XA_Player* p, int code) {
    return Record(p, {"N", code, {}, {}});
}
int control_message_send_P(XA_Player* p, int code, const void* ptr) {
    return Record(p, {"P", code, {}, {}, ptr});
}
int control_message_send_S(XA_Player* p, int code, const char* s) {
    return Record(p, {"S", code, {}, {s}});
}
int control_message_send_SS(XA_Player* p, int code, const char* s1, const char* s2) {
    return Record(p, {"SS", code, {}, {s1, s2}});
}
int control_message_send_SI(XA_Player* p, int code, const char* s, int i) {
    return Record(p, {"SI", code, {i}, {s}});
}
int control_message_send_IPI(XA_Player* p, int code, int i1, const void* ptr, int i2) {
    return Record(p, {"IPI", code, {i1, i2}, {}, ptr});
}
int control_message_send_I(XA_Player* p, int code, int i) {
    return Record(p, {"I", code, {i}, {}});
}
int control_message_send_II(XA_Player* p, int code, int i1, int i2) {
    return Record(p, {"II", code, {i1, i2}, {}});
}
int control_message_send_III(XA_Player* p, int code, int i1, int i2, int i3) {
    return Record(p, {"III", code, {i1, i2, i3}, {}});
}
int control_message_send_IIII(XA_Player* p, int code, int i1, int i2, int i3, int i4) {
    return Record(p, {"IIII", code, {i1, i2, i3, i4}, {}});
}

#ifndef FAKE_OMIT_LAST_ENTRY_POINT
int control_win32_params_to_message(XA_Player* player, XA_Message* msg, unsigned int message,
                                    uintptr_t, intptr_t) {
    if (player != ThePlayer() || msg == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    if (message != XA_NOTIFY_WINDOW_MESSAGE) {
        return XA_ERROR_NOT_A_MESSAGE;
    }
    if (State().queue.empty()) {
        return XA_ERROR_NO_MESSAGE;
    }
    *msg = State().queue.front();
    State().queue.pop_front();
    return 0;
}
#endif
}
