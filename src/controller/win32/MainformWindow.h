#pragma once
// The hidden main window of an instance, of class "TTileSwitchMainForm": the window that the
// instance broadcast posts to. Its procedure forwards to TTileSwitchMainForm.

#include "controller/MainformUnit.h"
#include "controller/win32/MainformPorts.h"
#include "controller/win32/MainformTrayIcon.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32RegistryPlatform.h"

#include <windows.h>

#include <memory>

namespace ombrevane::win32 {

class MainformWindow {
public:
    // Null when the class cannot be registered or the window cannot be created.
    static std::unique_ptr<MainformWindow> Create(HINSTANCE instance, HWND owner,
                                                  DesktopPlatform& platform);
    // Use Create: the window needs the object's final address.
    explicit MainformWindow(DesktopPlatform& platform);
    MainformWindow(const MainformWindow&) = delete;
    MainformWindow& operator=(const MainformWindow&) = delete;

    HWND Handle() const { return window_.get(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Before the form, which uses them; after the window, so they go after the window.
    MainformTrayIcon trayIcon_;
    MainformHostWindow host_;
    Win32RegistryPlatform registry_;
    UnwiredControllerParts unwired_;
    TTileSwitchMainForm form_;
    // Last, so that the window is destroyed while the form still exists.
    UniqueWindow window_;
};

} // namespace ombrevane::win32
