#include "desktops/DesktopUtils.h"

#include "controller/ControllerWindow.h"

namespace ombrevane {

namespace {

// Desktops the instances never live on; opening them only costs time or raises alerts.
bool IsSkippedDesktop(const std::string& name) {
    return name == "Winlogon" || name == "Disconnect";
}

void DeliverToProcess(DesktopPlatform& platform, const std::vector<std::string>& desktops,
                      std::uint32_t processId, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) {
    for (const std::string& desktop : desktops) {
        if (IsSkippedDesktop(desktop)) {
            continue;
        }
        platform.ForEachDesktopWindow(desktop, [&](WindowId window) {
            if (platform.WindowProcessId(window) != processId ||
                !platform.EqualsIgnoreCase(platform.WindowClassName(window, 256),
                                           kControllerClassName)) {
                return true;
            }
            platform.PostWindowMessage(window, message, wParam, lParam);
            return false;
        });
    }
}

// Our own path as the process list gives it, so that it is read by the same call as every
// other instance's: the path we were started under may be an 8.3 short path or on a
// substituted drive, and would then match nobody, not even ourselves.
std::string OwnListedPath(DesktopPlatform& platform, const std::vector<ProcessEntry>& processes,
                          std::uint32_t ownId) {
    for (const ProcessEntry& process : processes) {
        if (process.id == ownId) {
            return process.imagePath;
        }
    }
    return platform.OwnImagePath();
}

} // namespace

void BroadcastToInstances(DesktopPlatform& platform, std::uint32_t message, bool includeSelf,
                          std::uintptr_t wParam, std::intptr_t lParam) {
    const std::uint32_t ownId = platform.OwnProcessId();
    const std::vector<ProcessEntry> processes = platform.Processes();
    const std::string ownPath = OwnListedPath(platform, processes, ownId);
    const std::vector<std::string> desktops = platform.DesktopNames();
    for (const ProcessEntry& process : processes) {
        if (!platform.EqualsIgnoreCase(process.imagePath, ownPath)) {
            continue;
        }
        if (process.id == ownId && !includeSelf) {
            continue;
        }
        DeliverToProcess(platform, desktops, process.id, message, wParam, lParam);
    }
}

void BroadcastExit(DesktopPlatform& platform) {
    BroadcastToInstances(platform, WM_INTERNAL_QUIT, false, 0, 0);
}

} // namespace ombrevane
