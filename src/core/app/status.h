#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace app {

// What the running one is doing, as `--status` and a panel ask it.
struct Status {
    enum class State { Idle, Counting, Warning };
    State state = State::Idle;
    std::int32_t left = 0; // seconds: of the countdown, or of the warning
    bool dryRun = false;

    bool operator==(const Status &) const = default;

    // "counting", "warning", "idle": the words the bus carries it in.
    std::string stateName() const;
    // The line `--status` prints, the end written by `clock` ("23:30"):
    // "counting down: 00:42:10 left, until 23:30", "warning open: 12 seconds left",
    // "not counting"; with " (dry run)" for a rehearsal.
    std::string line(std::time_t now, const std::function<std::string(std::time_t)> &clock) const;
    // 0 while counting or warning, 1 otherwise.
    int exitStatus() const { return state == State::Idle ? 1 : 0; }

    // In one number, for a window message's answer; none for a number no status packs into.
    std::int64_t packed() const;
    static std::optional<Status> unpacked(std::int64_t number);
};

} // namespace app
