#pragma once
// The process's shared timer window: one hidden window of the GUI thread receives WM_TIMER
// for every TSimpleTimer. Created by the first timer, destroyed with the last.

#include "components/SimpleTimer.h"

#include <windows.h>

#include <memory>

namespace ombrevane::win32 {

// The shared timer host, created on first use.
std::shared_ptr<TimerHost> AcquireSimpleTimerHandler();

// The hidden window of the live handler, or null when no timer exists.
HWND SimpleTimerWindow();

} // namespace ombrevane::win32
