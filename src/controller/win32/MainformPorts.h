#pragma once
// What the Win32 controller window hands its form today: the window side of the form, and
// stand-ins for the parts whose Win32 side the window does not drive yet (the input-lock
// library, its timers and the idle clock, the features, the dialogs and desktop creation).

#include "controller/ControllerDialogs.h"
#include "controller/ControllerTimers.h"
#include "controller/DesktopFeatures.h"
#include "controller/IdleUtils.h"
#include "controller/InputLock.h"
#include "controller/MainformHost.h"
#include "desktops/DesktopCreatorUnit.h"

#include <windows.h>

namespace ombrevane::win32 {

class MainformHostWindow : public MainformHost {
public:
    void Attach(HWND mainWindow, HWND applicationWindow);

    void SetMainWindowLeft(int left) override;
    void HideApplication() override;
    void PostToMainWindow(std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) override;
    void PostApplicationSystemCommand(std::uint32_t command) override;
    void HookApplicationWindow() override;
    void UnhookApplicationWindow() override;
    void Terminate() override;

private:
    HWND mainWindow_ = nullptr;
    HWND applicationWindow_ = nullptr;
};

// Does nothing and refuses every password: without the window's timers the creators would
// never be freed, and without the prompt no protected desktop may open.
class UnwiredControllerParts : public InputLock,
                               public TimerPlatform,
                               public IdleClock,
                               public DesktopFeatures,
                               public ControllerDialogs,
                               public DesktopCreation {
public:
    std::int32_t Initial() override { return 0; }
    std::int32_t KeyboardEnable() override { return 0; }
    std::int32_t SetKeyboard(std::int32_t) override { return 0; }
    std::int32_t MouseEnable() override { return 0; }
    std::int32_t SetMouse(std::int32_t) override { return 0; }
    std::int32_t EnableLRMouseButton(std::int32_t) override { return 0; }
    std::int32_t SetHotKey(std::int32_t, std::uint16_t, std::uint16_t) override { return 0; }
    std::int32_t LockShortcutKey(std::int32_t) override { return 0; }
    std::int32_t IsShortcutKeyLock() override { return 0; }
    std::int32_t EnablePassword(std::int32_t, std::int32_t) override { return 0; }

    void StartTimer(ControllerTimer, std::uint32_t) override {}
    void StopTimer(ControllerTimer) override {}

    std::optional<std::uint32_t> LastInputTick() override { return std::nullopt; }
    std::uint32_t TickCount() override { return 0; }

    void UpdateDesktopWindows() override {}
    void RestoreDesktopWindows() override {}
    void RunStartupPrograms(int) override {}
    void ApplyDesktopResolution(int) override {}

    bool AskPassword(const std::string&) override { return false; }
    void ShowOptionsDialog() override {}
    void ShowTipOfTheDay() override {}
    void ShowAbout() override {}
    void RebuildDesktopMenu() override {}

    void CreateDesktops() override {}
    void FreeDesktopCreators() override {}
};

} // namespace ombrevane::win32
