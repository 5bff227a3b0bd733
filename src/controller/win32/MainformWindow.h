#pragma once
// The hidden main window of an instance, of class "TTileSwitchMainForm": the window that the
// instance broadcast posts to. It forwards its messages to TTileSwitchMainForm.

#include "controller/MainformUnit.h"
#include "controller/win32/MainformPorts.h"
#include "controller/win32/MainformTrayIcon.h"
#include "platform/win32/BoundWindow.h"
#include "platform/win32/Win32RegistryPlatform.h"

#include <windows.h>

#include <memory>

namespace ombrevane::win32 {

class MainformWindow final : private WindowOwner {
public:
    // Null when the class cannot be registered or the window cannot be created.
    static std::unique_ptr<MainformWindow> Create(HWND owner, DesktopPlatform& platform);
    // Use Create: the window needs the object's final address.
    explicit MainformWindow(DesktopPlatform& platform);
    MainformWindow(const MainformWindow&) = delete;
    MainformWindow& operator=(const MainformWindow&) = delete;

    HWND Handle() const { return window_.get(); }

private:
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Before the form, which uses them; after the window, so they go after the window.
    MainformTrayIcon trayIcon_;
    MainformHostWindow host_;
    Win32RegistryPlatform registry_;
    UnwiredControllerParts unwired_;
    TTileSwitchMainForm form_;
    // Last, so that the window is destroyed while the form still exists.
    BoundWindow window_;
};

} // namespace ombrevane::win32
