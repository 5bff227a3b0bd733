#pragma once
// The hidden top-level window of class "TApplication" that every instance owns: the instance
// registry finds an instance by it, and it owns the main window.

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

namespace ombrevane::win32 {

class ApplicationWindow {
public:
    // An empty window when the class cannot be registered or the window cannot be created.
    explicit ApplicationWindow(HINSTANCE instance);

    HWND Handle() const { return window_.get(); }
    explicit operator bool() const { return static_cast<bool>(window_); }

private:
    UniqueWindow window_;
};

} // namespace ombrevane::win32
