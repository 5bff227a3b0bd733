#pragma once
// The controller of an instance: what its hidden main window of class "TTileSwitchMainForm"
// does on creation, destruction, a close request, its timers and the internal messages.
// Portable: every outside dependency comes through the ports below, so that the window
// procedure (win32/MainformWindow) only forwards to it.

#include "config/ConfigUnit.h"
#include "controller/ControllerDialogs.h"
#include "controller/ControllerTimers.h"
#include "controller/DesktopFeatures.h"
#include "controller/IdleUtils.h"
#include "controller/InputLock.h"
#include "controller/MainformHost.h"
#include "controller/TrayIconView.h"
#include "desktops/DesktopCreatorUnit.h"
#include "desktops/tileswitchUtils.h"
#include "platform/DesktopPlatform.h"
#include "platform/RegistryPlatform.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ombrevane {

// The main window lives off every screen.
inline constexpr int kMainformLeft = 10000;

// Everything outside the controller that it uses; all outlive it.
struct MainformPorts {
    DesktopPlatform& desktops;
    TrayIconView& trayIcon;
    InputLock& inputLock;
    TimerPlatform& timers;
    IdleClock& idleClock;
    RegistryPlatform& registry;
    DesktopFeatures& features;
    ControllerDialogs& dialogs;
    DesktopCreation& creation;
    MainformHost& host;
    // The configuration folder, with its final separator.
    std::string configDir;
};

class TTileSwitchMainForm {
public:
    explicit TTileSwitchMainForm(MainformPorts ports);
    TTileSwitchMainForm(const TTileSwitchMainForm&) = delete;
    TTileSwitchMainForm& operator=(const TTileSwitchMainForm&) = delete;

    void FormCreate();
    void FormDestroy();
    // False: the main window is never closed by a close request.
    bool FormClose();
    // Re-reads the common settings and applies them.
    void ApplySettings();
    // The exit routine that ends every instance.
    void ButtonExitClick();
    void HideApplication();

    // True when the message is one of the internal messages this controller handles.
    bool HandleInternalMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // A tick of one of the timers; ticks of a stopped timer are dropped.
    void HandleTimer(ControllerTimer timer);
    // A system command the application's window received while hooked.
    void ApplicationSystemCommand(std::uint32_t command);

    void TimerTimer();
    void TimerRestoreTimer();
    void TimerHotkeyDelayTimer();
    void TimerCreatorFreeTimer();

    const TCommonConfig& CommonConfig() const { return config_; }
    const TControllerTimers& Timers() const { return timers_; }

private:
    void OnDesktopKey(std::uintptr_t wParam, std::intptr_t lParam);
    void OnMouseLR();
    void OnLockHotKey();
    void OnHotKey(std::uintptr_t wParam);
    void OnInternalSwitch(std::uintptr_t wParam);
    void OnInternalDllSwitch(std::uintptr_t wParam);
    bool ModifierChosen(std::intptr_t lParam) const;
    void RegisterStartWithWindows();

    MainformPorts ports_;
    PasswordGate gate_;
    TControllerTimers timers_;
    // The process's common settings, as the last ApplySettings (or 2231) read them.
    TCommonConfig config_;
    // The idle time handed over by the last ApplySettings.
    std::int32_t idleSeconds_ = 0;
    bool switchInProgress_ = false;
    bool hotkeyBusy_ = false;
    bool applicationHooked_ = false;
};

} // namespace ombrevane
