#pragma once
// The instance broadcast: one internal message posted to the controller window of every
// running instance of this executable, on every desktop of the window station.

#include "platform/DesktopPlatform.h"
#include "controller/ControllerWindow.h"

#include <cstdint>
#include <string_view>

namespace ombrevane {

void BroadcastToInstances(DesktopPlatform& platform, std::uint32_t message, bool includeSelf,
                          std::uintptr_t wParam, std::intptr_t lParam);

// Tells every other instance to end.
void BroadcastExit(DesktopPlatform& platform);

} // namespace ombrevane
