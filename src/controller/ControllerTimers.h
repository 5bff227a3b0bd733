#pragma once
// The controller's four timers. The platform gives plain system timers that start, restart
// and stop; the rules of the controller's timers are kept here: enabling an enabled timer
// changes nothing (its count goes on), a new interval restarts the count of a running timer,
// and a disabled timer does not tick.

#include <array>
#include <cstdint>

namespace ombrevane {

enum class ControllerTimer : std::uint32_t {
    Timer = 1,
    TimerRestore = 2,
    TimerHotkeyDelay = 3,
    TimerCreatorFree = 4,
};

inline constexpr std::uint32_t kTimerIntervalMs = 1000;
inline constexpr std::uint32_t kTimerRestoreIntervalMs = 10000;
inline constexpr std::uint32_t kTimerHotkeyDelayIntervalMs = 1000;
inline constexpr std::uint32_t kTimerCreatorFreeIntervalMs = 10000;

class TimerPlatform {
public:
    virtual ~TimerPlatform() = default;
    // Starts the timer's count afresh, also when it runs already.
    virtual void StartTimer(ControllerTimer timer, std::uint32_t intervalMs) = 0;
    virtual void StopTimer(ControllerTimer timer) = 0;
};

class TControllerTimers {
public:
    // Enabled and intervals as at the controller's creation; nothing runs before Activate.
    explicit TControllerTimers(TimerPlatform& platform);

    // The window exists now: the enabled timers start.
    void Activate();

    void SetEnabled(ControllerTimer timer, bool enabled);
    void SetIntervalMs(ControllerTimer timer, std::uint32_t intervalMs);
    bool Enabled(ControllerTimer timer) const;
    std::uint32_t IntervalMs(ControllerTimer timer) const;
    // Whether a tick of the timer counts: a late tick of a stopped timer does not.
    bool Running(ControllerTimer timer) const;

private:
    struct State {
        bool enabled = false;
        std::uint32_t intervalMs = 0;
        bool running = false;
    };

    State& StateOf(ControllerTimer timer);
    const State& StateOf(ControllerTimer timer) const;
    void Sync(ControllerTimer timer);

    TimerPlatform& platform_;
    bool active_ = false;
    std::array<State, 4> states_;
};

} // namespace ombrevane
