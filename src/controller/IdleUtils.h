#pragma once
// The idle switch: after more than the idle time without keyboard and mouse input the
// instance whose desktop is shown brings the user back to "Default".

#include "platform/DesktopPlatform.h"

#include <cstdint>
#include <optional>

namespace ombrevane {

// The platform's millisecond tick count, which wraps after about 49.7 days.
class IdleClock {
public:
    virtual ~IdleClock() = default;
    // Tick count of the last keyboard or mouse input; empty when the platform cannot tell.
    virtual std::optional<std::uint32_t> LastInputTick() = 0;
    virtual std::uint32_t TickCount() = 0;
};

// Whole seconds from lastInputTick to now, across a wrap of the tick count.
std::uint32_t IdleSecondsBetween(std::uint32_t lastInputTick, std::uint32_t now);

// Switches to "Default", without a password, when this instance's desktop is a created one,
// is shown, and has had no input for more than idleSeconds (0: never).
void CheckIdle(DesktopPlatform& platform, IdleClock& clock, std::int32_t idleSeconds);

} // namespace ombrevane
