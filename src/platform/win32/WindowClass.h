#pragma once
// Window classes of the program: each registered once per process, in the program's module.

#include <windows.h>

namespace ombrevane::win32 {

// The module that the program's window classes and resources belong to.
HINSTANCE ProgramInstance();

struct WindowClass {
    const char* name = nullptr;
    WNDPROC procedure = nullptr;
    HCURSOR cursor = nullptr;    // null: the window sets its cursor itself
    HBRUSH background = nullptr; // null: the window erases its background itself
};

// Registers the class unless one of its name is registered already, which is then taken as
// it is. False when the class cannot be registered.
bool EnsureWindowClass(const WindowClass& windowClass);

// System cursors by number: the A functions get them whether or not UNICODE is defined.
inline constexpr WORD kIdcArrow = 32512;
inline constexpr WORD kIdcHand = 32649;
// The shared system cursor `id`; never destroyed.
HCURSOR SystemCursor(WORD id);

} // namespace ombrevane::win32
