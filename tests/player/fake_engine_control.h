#pragma once

// What a test can see and steer of the fake engine libraries. The fake is a
// plain shared library; a test dlopens it beside the component and reaches
// its state through fake_engine_state().
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "engine/xaudio_engine.h"

struct FakeCommand {
    FakeCommand() = default;
    FakeCommand(std::string variant_, int code_, std::vector<int> ints_ = {},
                std::vector<std::string> texts_ = {}, const void* pointer_ = nullptr)
        : variant(std::move(variant_)),
          code(code_),
          ints(std::move(ints_)),
          texts(std::move(texts_)),
          pointer(pointer_) {}
    std::string variant;  // the letters of the send function: "N", "SI", ...
    int code = 0;
    std::vector<int> ints;
    std::vector<std::string> texts;
    const void* pointer = nullptr;
    bool operator==(const FakeCommand&) const = default;
};

struct FakeEngineState {
    int playerNewResult = 0;  // what player_new returns
    int playerNewCalls = 0;
    int playerDeleteCalls = 0;
    int* deleteCounter = nullptr;  // outlives an unloaded library
    int notifyFd = -1;             // as player_new received it
    std::vector<int> versionComponents;
    std::vector<int> priorityWrites;
    int priority = 3;
    int sendResult = 0;  // what every send function returns
    std::vector<FakeCommand> commands;
    std::deque<XA_Message> queue;  // records waiting to be drained
};

extern "C" {
// The fake's one state (null in a library built without it).
FakeEngineState* fake_engine_state();
// Queues a record and signals the descriptor, as the engine's threads do.
void fake_engine_push(const XA_Message* msg);
}
