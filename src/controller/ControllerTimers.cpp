#include "controller/ControllerTimers.h"

namespace ombrevane {

namespace {

constexpr ControllerTimer kAll[] = {ControllerTimer::Timer, ControllerTimer::TimerRestore,
                                    ControllerTimer::TimerHotkeyDelay,
                                    ControllerTimer::TimerCreatorFree};

std::size_t Slot(ControllerTimer timer) {
    return static_cast<std::size_t>(timer) - 1;
}

} // namespace

TControllerTimers::TControllerTimers(TimerPlatform& platform) : platform_(platform) {
    StateOf(ControllerTimer::Timer) = {true, kTimerIntervalMs, false};
    StateOf(ControllerTimer::TimerRestore) = {false, kTimerRestoreIntervalMs, false};
    StateOf(ControllerTimer::TimerHotkeyDelay) = {false, kTimerHotkeyDelayIntervalMs, false};
    StateOf(ControllerTimer::TimerCreatorFree) = {false, kTimerCreatorFreeIntervalMs, false};
}

void TControllerTimers::Activate() {
    active_ = true;
    for (const ControllerTimer timer : kAll) {
        Sync(timer);
    }
}

void TControllerTimers::SetEnabled(ControllerTimer timer, bool enabled) {
    StateOf(timer).enabled = enabled;
    Sync(timer);
}

void TControllerTimers::SetIntervalMs(ControllerTimer timer, std::uint32_t intervalMs) {
    State& state = StateOf(timer);
    if (state.intervalMs == intervalMs) {
        return;
    }
    state.intervalMs = intervalMs;
    if (state.running && intervalMs != 0) {
        platform_.StartTimer(timer, intervalMs);
        return;
    }
    Sync(timer);
}

bool TControllerTimers::Enabled(ControllerTimer timer) const {
    return StateOf(timer).enabled;
}

std::uint32_t TControllerTimers::IntervalMs(ControllerTimer timer) const {
    return StateOf(timer).intervalMs;
}

bool TControllerTimers::Running(ControllerTimer timer) const {
    return StateOf(timer).running;
}

TControllerTimers::State& TControllerTimers::StateOf(ControllerTimer timer) {
    return states_.at(Slot(timer));
}

const TControllerTimers::State& TControllerTimers::StateOf(ControllerTimer timer) const {
    return states_.at(Slot(timer));
}

void TControllerTimers::Sync(ControllerTimer timer) {
    State& state = StateOf(timer);
    // An interval of 0 keeps an enabled timer from ticking.
    const bool wanted = active_ && state.enabled && state.intervalMs != 0;
    if (wanted == state.running) {
        return;
    }
    state.running = wanted;
    if (wanted) {
        platform_.StartTimer(timer, state.intervalMs);
    } else {
        platform_.StopTimer(timer);
    }
}

} // namespace ombrevane
