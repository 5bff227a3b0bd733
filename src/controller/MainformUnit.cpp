#include "controller/MainformUnit.h"

#include "desktops/DesktopUtils.h"
#include "dialogs/StartWithWindows.h"
#include "platform/ErrorReport.h"
#include "controller/ControllerWindow.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace ombrevane {

namespace {

constexpr const char* kBalloonTitle = "Ombrevane";
constexpr int kBalloonSeconds = 10;

// Modifier kinds of WM_INTERNAL_DLL_DESKTOPKEY's lParam.
constexpr std::intptr_t kModifierAlt = 0;
constexpr std::intptr_t kModifierCtrl = 1;
constexpr std::intptr_t kModifierShift = 2;

// Message parameters carry desktop indexes as signed values.
int AsIndex(std::uintptr_t wParam) {
    return static_cast<int>(static_cast<std::intptr_t>(wParam));
}

template <typename... Args> std::string Format(const char* format, Args... args) {
    char buffer[512];
    std::snprintf(buffer, sizeof(buffer), format, args...);
    return buffer;
}

// Runs its action when the scope is left in any way, so a flag cannot stay set for good.
template <typename Action> class ScopeExit {
public:
    explicit ScopeExit(Action action) : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action action_;
};

} // namespace

TTileSwitchMainForm::TTileSwitchMainForm(MainformPorts ports)
    : ports_(std::move(ports)), timers_(ports_.timers) {
    gate_.readSetting = [configDir = ports_.configDir](int index) {
        return ReadDesktopPasswordSetting(index, configDir);
    };
    gate_.askPassword = [&dialogs = ports_.dialogs](const std::string& storedHash) {
        return dialogs.AskPassword(storedHash);
    };
}

void TTileSwitchMainForm::FormCreate() {
    // The timers belong to the window, which exists now.
    timers_.Activate();
    DesktopPlatform& desktops = ports_.desktops;
    TrayIconView& trayIcon = ports_.trayIcon;
    InputLock& inputLock = ports_.inputLock;

    ports_.host.SetMainWindowLeft(kMainformLeft);
    RegisterStartWithWindows();
    const int index = CurrentDesktopIndex(desktops);
    // The desktop number; a desktop that is not one of ours shows "0".
    trayIcon.SetText(std::to_string(index + 1));
    trayIcon.SendMainFormToTray();
    trayIcon.ShowBalloon(kBalloonTitle, "Started", BalloonIcon::Info, kBalloonSeconds);
    switchInProgress_ = false;
    hotkeyBusy_ = false;
    const bool onDefault = IsDefaultDesktop(desktops);
    if (onDefault) {
        inputLock.Initial();
    }
    if (inputLock.KeyboardEnable() == 0) {
        inputLock.SetKeyboard(-1);
    }
    if (inputLock.MouseEnable() == 0) {
        inputLock.SetMouse(-1);
    }
    ApplySettings();
    if (index != kNoDesktopIndex) {
        ports_.features.RunStartupPrograms(index);
    }
    if (onDefault && config_.ShowTips) {
        ports_.host.PostToMainWindow(WM_INTERNAL_SHOWTIPS, 0, 0);
    }
    ports_.host.HookApplicationWindow();
    applicationHooked_ = true;

    const std::string desktop = CurrentDesktopName(desktops);
    desktops.DebugLine(Format("Ombrevane started on desktop %s index %d", desktop.c_str(), index));
}

void TTileSwitchMainForm::RegisterStartWithWindows() {
    // The instance starts whatever the registry or the settings folder say.
    RunReportingErrors([this] {
        if (!RegisterOnFirstRun(ports_.registry, ports_.desktops.OwnImagePath(),
                                ports_.configDir)) {
            ports_.desktops.DebugLine("RegisterOnFirstRun: the registry refused the entry");
        }
    });
}

void TTileSwitchMainForm::ApplySettings() {
    DesktopPlatform& desktops = ports_.desktops;
    InputLock& inputLock = ports_.inputLock;

    LoadCommonConfig(config_, ports_.configDir);
    idleSeconds_ = config_.IdleSeconds;
    // Unticking the option does not bring a hidden icon back.
    if (config_.HideTrayIcon) {
        ports_.trayIcon.SetIconVisible(false);
    }
    inputLock.EnableLRMouseButton(config_.MouseLRPress ? 1 : 0);
    const HotKey next = ShortCutToHotKey(config_.NextDesktopHotKey);
    const HotKey options = ShortCutToHotKey(config_.ShowOptionsHotKey);
    const HotKey hideTray = ShortCutToHotKey(config_.HideTrayIconHotKey);
    inputLock.SetHotKey(kHotKeySlotNextDesktop, next.virtualKey, next.modifiers);
    inputLock.SetHotKey(kHotKeySlotShowOptions, options.virtualKey, options.modifiers);
    inputLock.SetHotKey(kHotKeySlotHideTrayIcon, hideTray.virtualKey, hideTray.modifiers);
    ports_.features.ApplyDesktopResolution(CurrentDesktopIndex(desktops));
    ports_.dialogs.RebuildDesktopMenu();
    if (IsDefaultDesktop(desktops)) {
        timers_.SetEnabled(ControllerTimer::TimerCreatorFree, true);
        ports_.creation.CreateDesktops();
    }
    HideApplication();
}

void TTileSwitchMainForm::HideApplication() {
    ports_.host.HideApplication();
}

void TTileSwitchMainForm::FormDestroy() {
    InputLock& inputLock = ports_.inputLock;
    if (inputLock.KeyboardEnable() != 0) {
        inputLock.SetKeyboard(0);
    }
    if (inputLock.MouseEnable() != 0) {
        inputLock.SetMouse(0);
    }
    ScopeExit unhook([this] {
        if (applicationHooked_) {
            applicationHooked_ = false;
            ports_.host.UnhookApplicationWindow();
        }
    });
    ports_.features.RestoreDesktopWindows();
}

bool TTileSwitchMainForm::FormClose() {
    // The hook on the application's window hides everything again.
    ports_.host.PostApplicationSystemCommand(kSysCommandMinimize);
    return false;
}

void TTileSwitchMainForm::ButtonExitClick() {
    DesktopPlatform& desktops = ports_.desktops;
    timers_.SetEnabled(ControllerTimer::Timer, false);
    BroadcastExit(desktops);
    // Leave the user on the first desktop rather than on one whose instance is gone.
    if (!IsDefaultDesktop(desktops) && IsInputDesktop(desktops)) {
        SwitchToDesktopName(desktops, kDefaultDesktopName);
    }
    ports_.host.Terminate();
}

bool TTileSwitchMainForm::HandleInternalMessage(std::uint32_t message, std::uintptr_t wParam,
                                                std::intptr_t lParam) {
    switch (message) {
    case WM_INTERNAL_QUIT:
        ports_.host.Terminate();
        return true;
    case WM_INTERNAL_RELOAD:
        ApplySettings();
        return true;
    case WM_INTERNAL_DLL_DESKTOPKEY:
        OnDesktopKey(wParam, lParam);
        return true;
    case WM_INTERNAL_DLL_MOUSELR:
        OnMouseLR();
        return true;
    case WM_INTERNAL_DLL_LOCKHOTKEY:
        OnLockHotKey();
        return true;
    case WM_INTERNAL_DLL_HOTKEY:
        OnHotKey(wParam);
        return true;
    case WM_INTERNAL_DLL_NOTHING:
        return true;
    case WM_INTERNAL_SWITCH:
        OnInternalSwitch(wParam);
        return true;
    case WM_INTERNAL_DLL_SWITCH:
        OnInternalDllSwitch(wParam);
        return true;
    case WM_INTERNAL_EXITALL:
        ButtonExitClick();
        return true;
    case WM_INTERNAL_SHOWTIPS:
        ports_.dialogs.ShowTipOfTheDay();
        return true;
    default:
        return false;
    }
}

bool TTileSwitchMainForm::ModifierChosen(std::intptr_t lParam) const {
    switch (lParam) {
    case kModifierAlt:
        return config_.SwitchWithAlt;
    case kModifierCtrl:
        return config_.SwitchWithCtrl;
    case kModifierShift:
        return config_.SwitchWithShift;
    default:
        return true;
    }
}

void TTileSwitchMainForm::OnDesktopKey(std::uintptr_t wParam, std::intptr_t lParam) {
    // A request that arrives while an earlier one waits in its password prompt is dropped.
    if (!ModifierChosen(lParam) || switchInProgress_) {
        return;
    }
    switchInProgress_ = true;
    ScopeExit clear([this] { switchInProgress_ = false; });
    const int index = AsIndex(wParam);
    if (!IsCurrentDesktop(ports_.desktops, index)) {
        SwitchToDesktop(ports_.desktops, gate_, index);
    }
}

void TTileSwitchMainForm::OnMouseLR() {
    DesktopPlatform& desktops = ports_.desktops;
    if (timers_.Enabled(ControllerTimer::TimerRestore)) {
        TimerRestoreTimer();
        return;
    }
    if (IsDefaultDesktop(desktops)) {
        if (config_.AutoHideTrayIcon) {
            InputLock& inputLock = ports_.inputLock;
            inputLock.LockShortcutKey(inputLock.IsShortcutKeyLock() == 0 ? 1 : 0);
        }
        return;
    }
    LoadCommonConfig(config_, ports_.configDir);
    if (config_.MouseLRPress) {
        SwitchToDesktop(desktops, gate_, 0);
    }
}

void TTileSwitchMainForm::OnLockHotKey() {
    // The library reports a long press of both buttons as this message. Without the
    // suspension option it is the same gesture as a short press, so it must still take the
    // user back to the first desktop.
    if (!config_.AutoHideTrayIcon) {
        OnMouseLR();
        return;
    }
    ports_.inputLock.LockShortcutKey(1);
    ports_.trayIcon.SendMainFormToTray();
    timers_.SetEnabled(ControllerTimer::TimerRestore, true);
    const auto seconds = static_cast<std::uint32_t>(std::max(config_.RestoreSeconds, 0));
    timers_.SetIntervalMs(ControllerTimer::TimerRestore, seconds * 1000u);
}

void TTileSwitchMainForm::OnHotKey(std::uintptr_t wParam) {
    if (hotkeyBusy_) {
        return;
    }
    hotkeyBusy_ = true;
    // Only the delay timer clears the flag, so it must be started whatever happens below.
    ScopeExit delay([this] { timers_.SetEnabled(ControllerTimer::TimerHotkeyDelay, true); });
    switch (wParam) {
    case HT_NEXT_DESKTOP:
        SwitchToNextDesktop(ports_.desktops, gate_);
        break;
    case HT_SHOW_OPTIONS:
        ports_.dialogs.ShowOptionsDialog();
        break;
    case HT_HIDE_TRAYICON:
        ports_.desktops.DebugLine("Msg.WParam = HT_HIDE_TRAYICON" +
                                  std::to_string(config_.HideTrayIconHotKey));
        ports_.trayIcon.SetIconVisible(!ports_.trayIcon.IconVisible());
        break;
    default:
        break;
    }
}

void TTileSwitchMainForm::OnInternalSwitch(std::uintptr_t wParam) {
    DesktopPlatform& desktops = ports_.desktops;
    const int index = AsIndex(wParam);
    const int current = CurrentDesktopIndex(desktops);
    desktops.DebugLine(
        Format("receive WM_INTERNAL_SWITCH wParam is %d,CurrentIndex %d", index, current));
    if (index != current) {
        return;
    }
    desktops.DebugLine("WM_INTERNAL_SWITCH this desktop");
    ports_.features.ApplyDesktopResolution(index);
    if (config_.ShowBalloonHint) {
        ports_.trayIcon.ShowBalloon(kBalloonTitle, "Desktop " + std::to_string(current + 1),
                                    BalloonIcon::Info, kBalloonSeconds);
    }
}

void TTileSwitchMainForm::OnInternalDllSwitch(std::uintptr_t wParam) {
    DesktopPlatform& desktops = ports_.desktops;
    BroadcastToInstances(desktops, WM_INTERNAL_SWITCH, true, wParam, 0);
    desktops.DebugLine(Format("receive WM_INTERNAL_DLL_SWITCH wParam is %d,index is %d",
                              AsIndex(wParam), CurrentDesktopIndex(desktops)));
}

void TTileSwitchMainForm::HandleTimer(ControllerTimer timer) {
    if (!timers_.Running(timer)) {
        return;
    }
    switch (timer) {
    case ControllerTimer::Timer:
        TimerTimer();
        break;
    case ControllerTimer::TimerRestore:
        TimerRestoreTimer();
        break;
    case ControllerTimer::TimerHotkeyDelay:
        TimerHotkeyDelayTimer();
        break;
    case ControllerTimer::TimerCreatorFree:
        TimerCreatorFreeTimer();
        break;
    }
}

void TTileSwitchMainForm::TimerTimer() {
    if (config_.HideInactiveWindows) {
        ports_.features.UpdateDesktopWindows();
    } else {
        ports_.features.RestoreDesktopWindows();
    }
    if (config_.AutoSwitch) {
        CheckIdle(ports_.desktops, ports_.idleClock, idleSeconds_);
    }
}

void TTileSwitchMainForm::TimerRestoreTimer() {
    ports_.inputLock.LockShortcutKey(0);
    ports_.trayIcon.SetIconVisible(true);
    timers_.SetEnabled(ControllerTimer::TimerRestore, false);
}

void TTileSwitchMainForm::TimerHotkeyDelayTimer() {
    timers_.SetEnabled(ControllerTimer::TimerHotkeyDelay, false);
    hotkeyBusy_ = false;
}

void TTileSwitchMainForm::TimerCreatorFreeTimer() {
    timers_.SetEnabled(ControllerTimer::TimerCreatorFree, false);
    ports_.creation.FreeDesktopCreators();
}

void TTileSwitchMainForm::ApplicationSystemCommand(std::uint32_t command) {
    if (!applicationHooked_) {
        return;
    }
    // The low four bits of a system command are the system's own.
    const std::uint32_t kind = command & 0xFFF0u;
    if (kind == kSysCommandMinimize || kind == kSysCommandRestore) {
        ports_.trayIcon.SendMainFormToTray();
        HideApplication();
    }
}

} // namespace ombrevane
