#pragma once
// The controller of an instance: what its hidden main window of class "TTileSwitchMainForm"
// does on creation, destruction, a close request and the internal messages. Portable, so
// that the window procedure (win32/MainformWindow) only forwards to it.

#include "controller/TrayIconView.h"
#include "platform/DesktopPlatform.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace ombrevane {

inline constexpr std::string_view kMainformClassName = "TTileSwitchMainForm";
// The main window lives off every screen.
inline constexpr int kMainformLeft = 10000;

class TTileSwitchMainForm {
public:
    // terminate ends the instance's message loop after the current message.
    TTileSwitchMainForm(DesktopPlatform& platform, TrayIconView& trayIcon,
                        std::function<void()> terminate);

    void FormCreate();
    void FormDestroy();
    // False: the main window is never closed by a close request.
    bool FormClose();
    // The exit routine that ends every instance.
    void ButtonExitClick();

    // True when the message is one of the internal messages this controller handles.
    bool HandleInternalMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

private:
    void OnInternalQuit();
    void OnInternalSwitch(std::uintptr_t wParam);
    void OnInternalDllSwitch(std::uintptr_t wParam);

    DesktopPlatform& platform_;
    TrayIconView& trayIcon_;
    std::function<void()> terminate_;
};

} // namespace ombrevane
