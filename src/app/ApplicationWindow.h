#pragma once
// The hidden top-level window of class "TApplication" that every instance owns: the instance
// registry finds an instance by it, and it owns the main window.

#include "platform/win32/BoundWindow.h"

#include <windows.h>

namespace ombrevane::win32 {

class ApplicationWindow final : private WindowOwner {
public:
    // An empty window when the class cannot be registered or the window cannot be created.
    ApplicationWindow();

    HWND Handle() const { return window_.get(); }
    explicit operator bool() const { return static_cast<bool>(window_); }

private:
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    BoundWindow window_;
};

} // namespace ombrevane::win32
