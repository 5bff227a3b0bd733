#pragma once
// A timer host driven by a fake clock: Advance() fires due timers in time order.

#include "components/SimpleTimer.h"

#include <cstdint>
#include <map>
#include <memory>

namespace ombrevane::testing {

class FakeTimerHost : public TimerHost {
public:
    std::uint64_t now = 0;
    bool refuseStart = false;
    int starts = 0;

    bool IsSystemTimerSet(std::uint32_t id) const { return active_.contains(id); }
    std::size_t SystemTimerCount() const { return active_.size(); }

    // Moves the clock to now + ms, firing every expiry on the way.
    void Advance(std::uint64_t ms) {
        std::uint64_t end = now + ms;
        for (;;) {
            auto next = active_.end();
            for (auto it = active_.begin(); it != active_.end(); ++it) {
                if (it->second.due <= end &&
                    (next == active_.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == active_.end()) {
                break;
            }
            now = next->second.due;
            next->second.due += next->second.interval;
            Dispatch(next->first);
        }
        now = end;
    }

private:
    struct Active {
        std::uint64_t interval;
        std::uint64_t due;
    };
    bool StartSystemTimer(std::uint32_t id, std::uint32_t intervalMs) override {
        if (refuseStart) {
            return false;
        }
        ++starts;
        active_[id] = {intervalMs, now + intervalMs};
        return true;
    }
    void StopSystemTimer(std::uint32_t id) override { active_.erase(id); }

    std::map<std::uint32_t, Active> active_;
};

} // namespace ombrevane::testing
