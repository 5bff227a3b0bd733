#include "controller/MainformUnit.h"

#include "desktops/DesktopUtils.h"
#include "desktops/InternalMessages.h"
#include "desktops/tileswitchUtils.h"

#include <cstdio>
#include <string>

namespace ombrevane {

namespace {

// Message parameters carry desktop indexes as signed values.
int AsIndex(std::uintptr_t wParam) {
    return static_cast<int>(static_cast<std::intptr_t>(wParam));
}

template <typename... Args> std::string Format(const char* format, Args... args) {
    char buffer[512];
    std::snprintf(buffer, sizeof(buffer), format, args...);
    return buffer;
}

} // namespace

TTileSwitchMainForm::TTileSwitchMainForm(DesktopPlatform& platform, TrayIconView& trayIcon,
                                         std::function<void()> terminate)
    : platform_(platform), trayIcon_(trayIcon), terminate_(std::move(terminate)) {}

void TTileSwitchMainForm::FormCreate() {
    // The desktop number; a desktop that is not one of ours shows "0".
    trayIcon_.SetText(std::to_string(CurrentDesktopIndex(platform_) + 1));
    trayIcon_.SendMainFormToTray();
    trayIcon_.ShowBalloon("Ombrevane", "Started", BalloonIcon::Info, 10);
    const std::string desktop = CurrentDesktopName(platform_);
    platform_.DebugLine(Format("Ombrevane started on desktop %s index %d", desktop.c_str(),
                               CurrentDesktopIndex(platform_)));
}

void TTileSwitchMainForm::FormDestroy() {}

bool TTileSwitchMainForm::FormClose() {
    return false;
}

void TTileSwitchMainForm::ButtonExitClick() {
    BroadcastExit(platform_);
    // Leave the user on the first desktop rather than on one whose instance is gone.
    if (!IsDefaultDesktop(platform_) && IsInputDesktop(platform_)) {
        SwitchToDesktopName(platform_, kDefaultDesktopName);
    }
    terminate_();
}

bool TTileSwitchMainForm::HandleInternalMessage(std::uint32_t message, std::uintptr_t wParam,
                                                std::intptr_t) {
    switch (message) {
    case WM_INTERNAL_QUIT:
        OnInternalQuit();
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
    case WM_INTERNAL_DLL_NOTHING:
        return true;
    default:
        return false;
    }
}

void TTileSwitchMainForm::OnInternalQuit() {
    terminate_();
}

void TTileSwitchMainForm::OnInternalSwitch(std::uintptr_t wParam) {
    const int index = AsIndex(wParam);
    const int current = CurrentDesktopIndex(platform_);
    platform_.DebugLine(
        Format("receive WM_INTERNAL_SWITCH wParam is %d,CurrentIndex %d", index, current));
    if (index == current) {
        platform_.DebugLine("WM_INTERNAL_SWITCH this desktop");
    }
}

void TTileSwitchMainForm::OnInternalDllSwitch(std::uintptr_t wParam) {
    BroadcastToInstances(platform_, WM_INTERNAL_SWITCH, true, wParam, 0);
    platform_.DebugLine(Format("receive WM_INTERNAL_DLL_SWITCH wParam is %d,index is %d",
                               AsIndex(wParam), CurrentDesktopIndex(platform_)));
}

} // namespace ombrevane
