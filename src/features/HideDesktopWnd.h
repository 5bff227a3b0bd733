#pragma once
// Hiding the windows of a desktop while it is not on the screen. Each instance owns one
// THideDesktopWnd for its own desktop; the controller's one-second timer drives it, and the
// controller's destruction shows whatever it still has hidden.

#include "platform/DesktopPlatform.h"
#include "platform/TopLevelWindows.h"

#include <string_view>
#include <vector>

namespace ombrevane {

// Windows that the hiding step records but never hides: the task bar by class, the shell's
// desktop window by title (both compared ignoring case).
inline constexpr std::string_view kShellTrayClassName = "Shell_TrayWnd";
inline constexpr std::string_view kProgramManagerTitle = "Program Manager";

class THideDesktopWnd {
public:
    // desktops answers the desktop names; windows are those of the calling thread's desktop.
    THideDesktopWnd(DesktopPlatform& desktops, TopLevelWindows& windows);

    // The timer step: hides this desktop's windows when it has left the screen, shows them
    // again when it is back. Never acts on "Default".
    void UpdateDesktopWindows();
    // Hides every visible top-level window and records it; the two shell windows, when
    // visible, are recorded and left alone. Invisible windows are skipped.
    void HideDesktopWindows();
    // Shows every recorded window, last recorded first, and forgets them. Leaves the flag.
    void RestoreDesktopWindows();

    bool WindowsHidden() const { return windowsHidden_; }
    // In the order the enumeration met them.
    const std::vector<WindowId>& HiddenWindows() const { return hiddenWindows_; }

private:
    DesktopPlatform& desktops_;
    TopLevelWindows& windows_;
    std::vector<WindowId> hiddenWindows_;
    bool windowsHidden_ = false;
};

} // namespace ombrevane
