#pragma once
// Registers a window class once per process; later calls find it registered.

#include <windows.h>

namespace ombrevane::win32 {

bool EnsureWindowClass(HINSTANCE instance, const char* className, WNDPROC procedure);

} // namespace ombrevane::win32
