#include "controller/IdleUtils.h"

#include "desktops/tileswitchUtils.h"

namespace ombrevane {

std::uint32_t IdleSecondsBetween(std::uint32_t lastInputTick, std::uint32_t now) {
    // Unsigned subtraction wraps as the tick count does.
    return static_cast<std::uint32_t>(now - lastInputTick) / 1000u;
}

void CheckIdle(DesktopPlatform& platform, IdleClock& clock, std::int32_t idleSeconds) {
    if (IsDefaultDesktop(platform) || !IsInputDesktop(platform) || idleSeconds <= 0) {
        return;
    }
    const std::optional<std::uint32_t> lastInput = clock.LastInputTick();
    if (!lastInput) {
        return;
    }
    if (IdleSecondsBetween(*lastInput, clock.TickCount()) >
        static_cast<std::uint32_t>(idleSeconds)) {
        SwitchToDesktopName(platform, kDefaultDesktopName);
    }
}

} // namespace ombrevane
